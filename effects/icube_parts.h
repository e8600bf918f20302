// The image cube's pieces: the cube and its faces, the perspective texture
// drawer of its triangles, the typewriter and the state the frame step
// animates. Shared by icube*.cpp and the tests.
#pragma once

#include "pixmap.h"
#include "polygon.h"
#include "render_context.h"
#include "typewriter.h"
#include "vec3.h"

#include <cstdint>

struct flare_set;
struct music_clock;

constexpr int32_t ICUBE_FRAMES = 16; // pictures per animation
constexpr int32_t ICUBE_SETS = 2;    // the f and the v pictures
constexpr int32_t ICUBE_FACES = 6;
constexpr int32_t ICUBE_TEXTURE = 256; // pictures are read as 256-wide arrays
constexpr uint32_t ICUBE_POLY_FLAGS = POLY_TEXTURE | POLY_EDGE01 | POLY_EDGE12 | POLY_EDGE20 | POLY_CUSTOM;
constexpr uint32_t ICUBE_TEXT_COLOUR = 0x20A420;
constexpr int32_t ICUBE_LINES = 5;
// The drawer's eye distance: camera z plus the render context's focal length.
constexpr float ICUBE_FOCAL = 400.0f;

struct icube_face {
  int32_t a[3], b[3]; // cube vertex numbers of triangles A and B
  float speed;
  int32_t set;
  float uv_a[6], uv_b[6];
};

// The six faces, in drawing order.
extern const icube_face icube_faces[ICUBE_FACES];
// The eight corners in object space.
extern const vec3 icube_corners[8];

// The typewriter's five lines.
extern const typewriter_line icube_lines[ICUBE_LINES];

struct icube_state {
  music_clock* clock;
  pixmap* frame;
  render_context* rc;
  flare_set* flares;    // the zoomer's, flown on over the cube; not owned
  polygon* triangle[2]; // A and B, reused for every face
  pixmap* pictures[ICUBE_SETS][ICUBE_FRAMES];
  float counter[ICUBE_FACES];
  float anim_rate;
  float spin;
  typewriter text; // the typed lines
  int32_t drawer_selected;
};

// The running effect's state (for the tests).
icube_state* icube_get_state();

// The picture index an animation counter shows: trunc(counter) AND 15.
int32_t icube_frame_index(float counter);

// The triangles' drawer: texture[0] as a 256 x 256 array (coordinates wrap),
// perspective-correct with one division per pixel, no blending, no depth.
void icube_draw_triangle(const polygon* p, pixmap* target);

// Turns the cube for spin and draws its six faces through the two triangles,
// moving the animation counters on by fd ticks.
void icube_draw_cube(icube_state* s, float fd);
