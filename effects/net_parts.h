// The net's pieces: the rippling point net whose projected positions warp
// the texture block by block, its normal-map shading, and the sheet of the
// last stage that folds the finished picture into a ball. Shared by net*.cpp
// and the tests.
#pragma once

#include "block_fill.h"
#include "pixmap.h"
#include "polygon.h"
#include "render_context.h"
#include "show_context.h"
#include "vec3.h"

#include <cstdint>

struct music_clock;

constexpr int32_t NET_COLUMNS = 42; // points per row
constexpr int32_t NET_ROWS = 32;
constexpr int32_t NET_POINTS = NET_COLUMNS * NET_ROWS;
constexpr int32_t NET_BLOCK_COLUMNS = 40; // 8 x 8 blocks over the 320 x 240 picture
constexpr int32_t NET_BLOCK_ROWS = 30;
constexpr int32_t NET_MAP_SIDE = 128; // the normal map, bytes 0 to 63
constexpr int32_t NET_MAP_BYTES = NET_MAP_SIDE * NET_MAP_SIDE;
constexpr int32_t NET_SHEET_SIDE = 8; // vertices per row and column of the sheet
constexpr int32_t NET_SHEET_VERTICES = NET_SHEET_SIDE * NET_SHEET_SIDE;
constexpr uint32_t NET_SHEET_FLAGS = POLY_TEXTURE | POLY_EDGE01 | POLY_EDGE12 | POLY_EDGE20 | POLY_CUSTOM;
constexpr float NET_SHEET_TIME = 512.0f; // ticks of the sheet stage
constexpr float NET_FOLD_START = 256.0f; // stage ticks before the sheet folds
constexpr float NET_FOLD_TIME = 128.0f;  // ticks a column takes to fold

// Where the normals look up the shading, and how far.
struct net_lookup {
  float offset_x, offset_y;
  float scale_x, scale_y;
};

struct net_sheet {
  vec3 position[NET_SHEET_VERTICES]; // row by row, flat at first
  vec3 velocity[NET_SHEET_VERTICES]; // towards the ball, per tick
  float timer[NET_SHEET_VERTICES];   // a vertex moves while its timer is in (0, 128)
  float x, y, z;                     // turning angles once folded
  float shift;                       // slide to the right once folded
  int32_t moved;                     // some vertex has moved
  int32_t folded;
  int32_t drawer_selected;
  polygon* triangle;
};

struct net_state {
  music_clock* clock;
  pixmap* frame;
  uint8_t* shade;
  render_context* rc;
  show_context* show; // the hypervoxel's backdrop is read from here
  pixmap* work;       // the last stage's net picture, the sheet's texture
  pixmap* background; // shared with the hypervoxel
  pixmap* envmap;
  uint8_t normal_map[NET_MAP_BYTES];
  vec3 base[NET_POINTS];
  vec3 moved[NET_POINTS]; // turned, rippled and projected
  float phase_a[NET_POINTS], phase_b[NET_POINTS];
  vec3 normal_sum[NET_POINTS];
  int32_t normal_count[NET_POINTS];
  block_corner corners[NET_POINTS];
  float tilt, spin, wobble;
  float reveal; // block rows shown, up to 30
  net_lookup lookup;
  net_sheet sheet;
  float stage_clock;
  float sheet_clock;
};

// The running effect's state (for the tests).
net_state* net_get_state();

// Base positions and phases of the points, the angles, the reveal and the
// lookup as at the start.
void net_reset_points(net_state* s);

// Turns, ripples and projects the points into the corner records' texture
// coordinates, then moves their phases on by fd ticks.
void net_move_points(net_state* s, float fd);

// Averages the cells' normals at the points and looks up their shades.
void net_shade_points(net_state* s);

// The normal map's index for a normal under the lookup, each coordinate
// kept inside the map.
int32_t net_map_index(const net_lookup* lookup, float nx, float ny);

// Fills the revealed block rows of p, then reveals on by fd ticks.
void net_fill_blocks(net_state* s, pixmap* p, float fd);

// Near the end the shading drifts and fades; the net tilts and spins.
void net_drift(net_state* s, uint32_t order, uint32_t row, float fd);

// The flat sheet, the ball it folds into, the velocities and timers.
void net_sheet_reset(net_sheet* sheet);

// Draws the sheet with the work picture through the render context (when
// there is one) and folds it on by fd ticks (from stage tick 256 on). Once
// the ball has slid 320 to the right nothing more happens.
void net_sheet_step(net_sheet* sheet, render_context* rc, pixmap* texture, float stage_clock, float fd);
