// The diffuse cube's pieces: the density grid of the four blobs, their
// motion, the turning cube and the lattice of glows drawn inside it. Shared
// by dcube*.cpp and the tests.
#pragma once

#include "pixmap.h"
#include "vec3.h"

#include <cstdint>

struct display_driver;
struct music_clock;

constexpr int32_t DCUBE_SIDE = 16;
constexpr int32_t DCUBE_POINTS = DCUBE_SIDE * DCUBE_SIDE * DCUBE_SIDE;
constexpr int32_t DCUBE_BLOBS = 4;
// Below this a density or a glow's side draws nothing.
constexpr int32_t DCUBE_MIN_SIZE = 8;

struct dcube_blob {
  float x, y, z;    // position
  float ax, ay, az; // angles
  float sx, sy, sz; // angle speeds per tick (before the axes' own factors)
};

struct dcube_state {
  music_clock* clock;
  display_driver* driver; // received, not used
  pixmap* frame;
  uint8_t* shade; // received, not used
  pixmap* glow;
  pixmap* background;
  // Point (column k, row j, layer l) at k + 16 j + 256 l.
  uint8_t density[DCUBE_POINTS];
  dcube_blob blobs[DCUBE_BLOBS];
  vec3 vertices[8];  // the cube's corners
  vec3 projected[8]; // screen x, y and the rotated z
  float a0, a1, a2;  // the cube's angles
  float t;           // phase of its distance
  int32_t beat;      // set once the bar's jump happened
};

// The running effect's state (for the tests).
dcube_state* dcube_get_state();

// Blobs at the origin with their angles 0 and their own speeds; the cube's
// corners; angles, phase and beat flag cleared.
void dcube_reset_motion(dcube_state* s);

// Density of every grid point: the sum over the blobs of 128 / distance,
// at most 128, truncated. A point on a blob counts 128.
void dcube_fill_density(uint8_t* density, const dcube_blob* blobs);

// Places every blob by its angles, then turns the angles on by fd ticks.
void dcube_move_blobs(dcube_blob* blobs, float fd);

// Rotates the corners by the angles and projects them at distance
// 600 + 50 sin t; out keeps the rotated z.
void dcube_project(const vec3* vertices, float a0, float a1, float a2, float t, vec3* out);

// Turns the cube on by fd ticks and applies the bar's jump for row.
void dcube_turn(dcube_state* s, float fd, uint32_t row);

// Adds one glow per lattice point inside the projected cube, sized by the
// density there.
void dcube_draw_lattice(pixmap* frame, const pixmap* glow, const vec3* projected, const uint8_t* density);
