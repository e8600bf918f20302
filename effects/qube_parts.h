// The qube's pieces: the feedback copy of the last picture into the cube's
// texture, the cube with its flares, and the blur's centre. Shared by
// qube.cpp and the tests.
#pragma once

#include "pixmap.h"
#include "polygon.h"
#include "render_context.h"
#include "show_context.h"
#include "vec3.h"

#include <cstdint>

struct music_clock;

constexpr int32_t QUBE_TEXTURE_SIDE = 256; // the drawer reads 256 x 256 and wraps
constexpr int32_t QUBE_INSET = 32;         // the feedback square's corner in the texture
constexpr int32_t QUBE_INSET_SIDE = 192;
constexpr uint32_t QUBE_POLY_FLAGS = POLY_TEXTURE | POLY_EDGE01 | POLY_EDGE12 | POLY_EDGE20;

struct qube_state {
  music_clock* clock;
  pixmap* frame;
  pixmap* work;
  render_context* context; // private, on the work picture
  pixmap* flare;
  pixmap* texture;
  polygon* triangle[2]; // A and B
  vec3 turned[8];       // the corners after the turn, the rise and the depth
  float q0, q1, q2;     // the cube's angles
  float b1, b2;         // blur weight and factor angles
  float rise;
  float blur_fade;
  int32_t started;
};

// The running effect's state (for the tests).
qube_state* qube_get_state();

// Stretches the whole source into the 192 x 192 square at (32, 32) of the
// texture, nearest neighbour.
void qube_feedback(pixmap* texture, const pixmap* source);

// Turns the cube, raises it by rise and pushes it 160 deep; draws its twelve
// triangles through the context and a flare at each corner into p.
void qube_draw_cube(qube_state* s, pixmap* p);

// The blur's centre for corner 0: (x + 160, y + 120), truncated, kept
// within 1 to 319 and 1 to 239.
void qube_blur_centre(const vec3& corner, int32_t* x, int32_t* y);
