// The intro's pieces: its tables, the tile wall, the title, the torus and the
// state the three sections animate. Shared by intro*.cpp and the tests.
#pragma once

#include "mat3.h"
#include "mesh.h"
#include "pixmap.h"
#include "polygon.h"
#include "render_context.h"
#include "vec3.h"

#include <cstdint>

struct display_driver;
struct music_clock;

constexpr int32_t INTRO_WIDTH = 320;
constexpr int32_t INTRO_HEIGHT = 240;
constexpr int32_t INTRO_PIXELS = INTRO_WIDTH * INTRO_HEIGHT;
constexpr int32_t INTRO_TILE_ROWS = 8;
constexpr int32_t INTRO_TILE_COLUMNS = 10;
constexpr int32_t INTRO_TILES = INTRO_TILE_ROWS * INTRO_TILE_COLUMNS;
constexpr int32_t INTRO_LOGOS = 4;
constexpr int32_t INTRO_LOGO_SIZE = 16;
constexpr int32_t INTRO_WAVE = 512;
// Bytes of the pattern map's header, skipped.
constexpr int32_t INTRO_MAP_HEADER = 778;

// The burn-in's lookup tables.
struct intro_tables {
  uint8_t scale[128][256]; // scale[a][v] = trunc(a v / 128)
  uint8_t glow[256];       // 0 up to 128, then rising quickly toward 255
  float depth_wave[INTRO_WAVE];
};

// One tile of the wall: a 32 x 30 square drawn as two textured triangles.
struct intro_tile {
  vec3 corner[4];
  vec3 transformed[4];
  vec3 position;
  vec3 transformed_position;
  float start_x, start_y;
  float velocity_x, velocity_y;
  float time; // negative: waiting its turn
  float angle[3];
  float speed[3];
  polygon* triangle[2]; // corners 1, 2, 3 and 2, 4, 3
};

struct intro_logo {
  pixmap* picture;
  int32_t x, y;
  int32_t phase; // frames, 255 down to 0
};

struct intro_state {
  music_clock* clock;
  display_driver* driver; // received, not used
  render_context* rc;
  uint8_t* shade;
  pixmap* pickle; // loaded and kept, never drawn
  intro_logo logos[INTRO_LOGOS];
  pixmap* picture;
  pixmap* bgtext; // loaded and kept, never drawn
  pixmap* background;
  pixmap* title;
  uint8_t* map;         // the pattern map, one byte per frame pixel
  uint8_t* map_inverse; // 255 - map
  uint8_t* work[2];     // [0] stays 0; [1] the burn-in level of every pixel
  intro_tables* tables;
  intro_tile* tiles;
  mesh_object* torus;
  polygon* line; // the torus faces are drawn through this one
  float rect_start[4], rect_step[4];

  // Section 0 (frames).
  int32_t level, phase;
  // Section 1 (ticks).
  float alpha, beta, gamma;
  float x_offset;
  float depth;
  float section1_time;
  float last_delta;
  int32_t section1_started;
  // Section 2 (ticks).
  float section2_time;
  float threshold;
  int32_t torus_brightness;
  float torus_angle;
  float blur_amount;
  int32_t pulse;
  int32_t done;
  int32_t torus_started;
  int32_t first_frame_done;
};

// The running effect's state (for the tests).
intro_state* intro_get_state();

// Fills the scale table, the glow curve and the depth wave.
void intro_build_tables(intro_tables* t);

// One burn-in frame of section 0: works out the level of every pixel for the
// current phase and level, draws the picture shaded by it, and moves level
// and phase on. Only for phases 0 to 2.
void intro_burn_step(intro_state* s, pixmap* frame);

// Builds the 80 tiles in rows with their triangles textured from picture.
// 1, or 0 when a polygon cannot be made.
int intro_make_tiles(intro_tile* tiles, pixmap* picture);
void intro_free_tiles(intro_tile* tiles);
// Moves one tile on by d ticks and submits its triangles, placed by the
// camera matrix, the shared depth and the x offset.
void intro_tile_step(intro_tile* tile, const mat3* camera, float depth, float x_offset, float d, render_context* rc);

// Blends the four pulsing logos over the frame and moves their phases on.
void intro_draw_logos(intro_state* s, pixmap* frame);

// The title's source rectangle (x0, y0, x1, y1) after t ticks of its zoom.
void intro_title_rect(const intro_state* s, float t, float rect[4]);
// Stretches the rectangle of the title over the whole frame where the title's
// red byte is nonzero.
void intro_title_stretch(pixmap* frame, const pixmap* title, const float rect[4]);
// Adds the title's red byte less the threshold to every colour byte.
void intro_title_glow(pixmap* frame, const pixmap* title, int32_t threshold);
// Moves the beat blur's amount on for this frame's row and delta.
void intro_beat_step(intro_state* s, uint32_t row, float fd);

// Reads the torus object, with its vertex normals and its faces turned
// round. 1 or 0.
int intro_load_torus(intro_state* s);
void intro_free_torus(intro_state* s);
// Makes the line polygon the torus faces are drawn through. 1 or 0.
int intro_make_torus_line(intro_state* s);
// Turns the torus and draws its faces as additive lines.
void intro_draw_torus(intro_state* s, float fd);
// The torus faces' drawer: the three edges of the projected face, each pixel
// brightened by the torus brightness, which the polygon carries in aux.
void intro_additive_lines(const polygon* p, pixmap* target);
