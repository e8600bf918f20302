// The mirror scene's particle emitters ("mothers"): a fixed pool of
// particles, respawned at the emitter on request and moved by one of four
// motion rules, with an optional sprite and pre-darkened copies of it.
#pragma once

#include "mirror_scene.h"

#include <cstdint>

// Motion rules.
constexpr int32_t EMITTER_FOUNTAIN = 0;
constexpr int32_t EMITTER_FALLING = 1;
constexpr int32_t EMITTER_RISING = 3;
constexpr int32_t EMITTER_SHELL = 5;

// Drawing styles.
constexpr int32_t EMITTER_STYLE_SQUARE = 9;   // a 5 x 5 grey square
constexpr int32_t EMITTER_STYLE_SPRITES = 10; // shaded sprites
constexpr int32_t EMITTER_STYLE_DOT = 15;     // one grey pixel, stored
constexpr int32_t EMITTER_STYLE_PLUS = 16;    // a grey pixel and its four neighbours, added

struct particle {
  double position[3];
  double view_position[3]; // camera space, written by the renderer
  double velocity[3];
  float life;
  int32_t seed; // shell particles: 5 to 74
  int32_t alive;
  int32_t visible; // in front of the camera and near enough, set by the renderer
  float sx, sy;    // screen position of a visible particle
};

struct emitter {
  int32_t kind;
  int32_t particle_count;
  int32_t spare[2];
  float sprite_size;
  particle* particles;
  double origin[3];
  double view_origin[3];
  double velocity[3];
  int32_t style;
  int32_t active;
  int32_t shade_count;
  rgb_image* sprite;
  rgb_image** shades;
  // Whether the sprite and shades are this emitter's own (not taken over
  // from another emitter).
  int32_t owns_sprite;
  // Made with the shades: shade_count tables of 256 bytes, table i giving
  // shade i's byte for each byte of the sprite. The renderer draws shade i
  // as the sprite through table i (the same pixels, from a picture that
  // stays in the cache).
  uint8_t* shade_levels;
};

// A new emitter, or none with particle_error set. A sprite path that cannot
// be read fails (PARTICLE_ERROR_OPEN).
emitter* emitter_create(int32_t kind, int32_t count, const double origin[3], const char* sprite_path, int32_t style,
                        int32_t shades, double radius, float sprite_size);
// Releases the emitter, its pool, and its sprite and shades if it owns them.
void emitter_free(emitter* e);
// Moves every particle one step and respawns at most n dead ones.
void emitter_update(emitter* e, int32_t n);
