// The hypervoxel's pieces: the two smoothed height fields and their morph,
// the background zoom, and the lumpy ball whose radius the live field
// scales. Shared by hypervoxel*.cpp and the tests.
#pragma once

#include "pixmap.h"
#include "polygon.h"
#include "render_context.h"
#include "show_context.h"
#include "typewriter.h"
#include "vec3.h"

#include <cstdint>

struct music_clock;

constexpr int32_t HVOXEL_FIELD_SIDE = 128; // height fields are 128 x 128
constexpr int32_t HVOXEL_FIELD_CELLS = HVOXEL_FIELD_SIDE * HVOXEL_FIELD_SIDE;
constexpr int32_t HVOXEL_SMOOTHING = 7; // box filter passes
constexpr int32_t HVOXEL_MORPH_STEPS = 128;
constexpr int32_t HVOXEL_ZOOM_STEPS = 256;
constexpr int32_t HVOXEL_BALL_SIDE = 24; // rows and columns of the ball's grid
constexpr int32_t HVOXEL_BALL_VERTICES = HVOXEL_BALL_SIDE * HVOXEL_BALL_SIDE;
constexpr float HVOXEL_BALL_RADIUS = 64.0f;
constexpr uint32_t HVOXEL_TEXT_COLOUR = 0x104010;
constexpr int32_t HVOXEL_LINES = 5;

extern const typewriter_line hvoxel_lines[HVOXEL_LINES];

struct hvoxel_ball {
  vec3 base[HVOXEL_BALL_VERTICES]; // unit sphere times the radius, row by row
  int32_t u[HVOXEL_BALL_VERTICES], v[HVOXEL_BALL_VERTICES];
  vec3 turned[HVOXEL_BALL_VERTICES]; // scaled, turned and placed
  vec3 position;
  float column_offset; // into the height field
  float scroll;        // height-field row, 0 to 255
  float offset_u, offset_v;
  float rx, ry, rz;
  polygon* triangle;
};

struct hvoxel_state {
  music_clock* clock;
  pixmap* frame;
  render_context* rc;
  show_context* show; // the background picture is the net's
  pixmap* backdrop;   // the background at the first zoom step, for the net
  pixmap* envmap;
  float* field;  // A, the live heights
  float* target; // B
  float* step;   // D = (B - A) / 128
  float zoom_table[HVOXEL_ZOOM_STEPS];
  float zoom;      // zoom position
  int32_t zooming; // the zoom still runs
  float morph;
  float theta, phi; // depth and drift angles
  float bounce, psi;
  typewriter text;
  hvoxel_ball ball;
  int32_t started;
};

// The running effect's state (for the tests).
hvoxel_state* hvoxel_get_state();

// One pass of the box filter over a 128 x 128 field: every element becomes
// the mean of itself and those of its eight neighbours that exist.
void hvoxel_box_filter(float* dst, const float* src);

// Heights from the top-left 128 x 128 bytes of a map: (bias + weight * byte)
// / divisor, smoothed by seven box-filter passes (scratch is a second field).
void hvoxel_heights(float* out, float* scratch, const uint8_t* bytes, int32_t width, float bias, float weight,
                    float divisor);

// Entry k = min(1, 0.625 - 0.5 cos(k pi / 256)).
void hvoxel_build_zoom_table(float* table);

// One step of the zoom: dst gets src magnified by the table entry at the
// position, which then moves on by fd / 2. Non-zero while the zoom goes on.
// src must cover dst.
int32_t hvoxel_zoom_copy(pixmap* dst, const pixmap* src, const float* table, float* position, float fd);

// The ball's grid: base positions on a sphere of the radius, texture
// coordinates from the normals.
void hvoxel_ball_build(hvoxel_ball* ball);

// The height-field row and column grid vertex (i, j) reads, and the blend
// between the row and the next.
struct hvoxel_sample {
  int32_t row, next_row, column;
  float t;
};
hvoxel_sample hvoxel_sample_at(float scroll, float column_offset, int32_t i, int32_t j);

// Scales, turns and places the ball's vertices by the field and draws its
// triangles through the context.
void hvoxel_ball_draw(hvoxel_ball* ball, const float* field, render_context* rc);
