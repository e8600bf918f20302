// The galaxy's pieces: the star field, the logos' wipe tables and the state
// the frame step animates. Shared by galaxy*.cpp and the tests.
#pragma once

#include "mat3.h"
#include "pixmap.h"
#include "vec3.h"

#include <cstdint>

struct music_clock;

constexpr int32_t GALAXY_ARMS = 8;
constexpr int32_t GALAXY_RINGS = 96;
constexpr int32_t GALAXY_STARS = GALAXY_ARMS * GALAXY_RINGS;

// Star r * GALAXY_ARMS + k is ring r of arm k.
struct galaxy_stars {
  vec3 position[GALAXY_STARS];
  vec3 transformed[GALAXY_STARS]; // rotated every frame
  float size[GALAXY_STARS];
};

// The logos: a picture and one wipe value per pixel (how far the pixel still
// is from showing: above 1 not yet, 0 fully).
struct galaxy_logo {
  pixmap* picture;
  float* wipe;
  int32_t x;
  int32_t y;
};

struct galaxy_state {
  music_clock* clock;
  pixmap* frame;
  uint8_t* shade; // received, not used
  pixmap* flare;
  pixmap* background;
  galaxy_logo logos[2];
  galaxy_stars* stars;
  int32_t stamped; // the logos are in the background for good
  float scroll;
  float fade;
  float tilt_phase;
  float spin;
  float time;
  float size_factor;
  float path_radius;
  float path_angle;
  float zoom;
  float stars_per_arm;
};

// The running effect's state (for the tests).
galaxy_state* galaxy_get_state();

// Fills the star field: eight arms of 96 rings, two values of the shared
// generator per star, ring by ring. Ring 0 has radius 0 and no defined angle:
// its stars sit on the axis.
void galaxy_make_stars(galaxy_stars* stars);

// Wipe values of a logo drawn in from its top-left corner (from_end 0) or from
// just past its bottom-right corner (from_end 1): 1 + distance / 100. A new
// block of width * height floats, or none.
float* galaxy_make_wipe(const pixmap* logo, int32_t from_end);

// Writes every logo pixel whose red byte is nonzero into dst at (x, y).
void galaxy_stamp_logo(pixmap* dst, const galaxy_logo* logo);

// Blends the logo over the frame by its wipe values, then moves every wipe
// value on by fd ticks (0.01 a tick, not below 0).
void galaxy_fade_logo(pixmap* frame, galaxy_logo* logo, float fd);

// Rotates the stars and adds a flare for the first stars_per_arm rings of
// every arm, around (cx, cy).
void galaxy_draw_stars(galaxy_state* g, float cx, float cy);
