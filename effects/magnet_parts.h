// The magnet's pieces: the field of four turning poles that bends the
// texture over the block grid, the beats that jump the poles, and the
// glowing wire cube. Shared by magnet*.cpp and the tests.
#pragma once

#include "block_fill.h"
#include "pixmap.h"
#include "show_context.h"
#include "vec3.h"

#include <cstdint>

struct music_clock;

constexpr int32_t MAGNET_COLUMNS = 42; // corner records per row
constexpr int32_t MAGNET_ROWS = 31;
constexpr int32_t MAGNET_BLOCK_COLUMNS = 40;
constexpr int32_t MAGNET_BLOCK_ROWS = 30;
constexpr int32_t MAGNET_POLES = 4;
constexpr float MAGNET_END_STRENGTH = 164.0f; // beyond it the net takes over
constexpr float MAGNET_SCENE_TIME = 2048.0f;  // ticks at the most
constexpr float MAGNET_GLOW_MAX = 128.0f;

struct magnet_field {
  vec3 poles[MAGNET_POLES];
  vec3 turned[MAGNET_POLES];
  float angle[MAGNET_POLES]; // p0 .. p3 (p3 advances unused)
  float speed[MAGNET_POLES]; // s0 .. s3, per tick before the factor 0.25
  float strength;
  float countdown;
  float flash;
  int32_t scroll; // texture columns, 0 to 255
  int32_t beat;   // set once the span's beat happened
  int32_t beats;  // counted
  block_corner corners[MAGNET_ROWS * MAGNET_COLUMNS];
};

struct magnet_cube {
  vec3 vertices[8];
  vec3 screen[8]; // projected x and y
  float c0, c1;   // angles; the third is 0
  float glow;     // line intensity, up to 128
  float distance, speed, lift;
  int32_t end_phase;
  int32_t done;
};

struct magnet_state {
  music_clock* clock;
  pixmap* frame;
  uint8_t* shade;
  render_context* rc; // received, not used
  pixmap* texture;
  magnet_field field;
  magnet_cube cube;
  float scene_clock;
};

// The running effect's state (for the tests).
magnet_state* magnet_get_state();

// Poles, angles and speeds, strength, countdown, flash, scroll and beats as
// at the start.
void magnet_field_reset(magnet_field* f);
void magnet_cube_reset(magnet_cube* c);

// The poles' speeds change as the countdown runs out; below 16 the glow
// grows and the beats of the row jump the poles; after five beats or from
// order 24 the field grows stronger.
void magnet_field_advance(magnet_field* f, magnet_cube* c, uint32_t order, uint32_t row, float fd);

// Turns the poles and fills the corner records from their potential.
void magnet_field_corners(magnet_field* f);

// The corner records, the texture's scroll, the blocks of p, the poles'
// turn by fd ticks and the fading flash.
void magnet_field_draw(magnet_field* f, pixmap* p, const pixmap* texture, const uint8_t* shade, float fd);

// The record of a grid corner for a potential P: texture column and row,
// and the shade.
block_corner magnet_corner(float potential, const magnet_field* f, int32_t r, int32_t j);

// Moves the cube (flying off in the end phase), projects it and draws its
// faces as sweeps of glowing lines into p; then turns it by fd ticks.
void magnet_cube_step(magnet_cube* c, pixmap* p, float fd);

// A face is drawn outside the end phase when its screen triple (p, q, s)
// turns one way: (p - q) x (s - q) > 0, edge-on (0) not.
bool magnet_face_visible(const vec3& p, const vec3& q, const vec3& s);

// Adds intensity g to every channel of the points of the line from (x0, y0)
// to (x1, y1) that lie strictly inside p.
void magnet_glow_line(pixmap* p, float x0, float y0, float x1, float y1, int32_t g);
