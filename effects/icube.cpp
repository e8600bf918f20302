// The image cube: a large cube turning in front of the viewer with a picture
// animation on every face, the zoomer's flares flying on over it and a
// typewriter text. Ends when the song reaches order 11.
#include "icube.h"

#include "flares.h"
#include "icube_parts.h"
#include "jpeg.h"
#include "music.h"
#include "picture_fit.h"
#include "polygondrawer.h"
#include "timeline.h"
#include "vfs.h"

#include <cstdio>

const typewriter_line icube_lines[ICUBE_LINES] = {{"Dark times has come..", 20, 32},
                                                  {"Ninjas have taken over!", 160, 200},
                                                  {"But have no fear!", 180, 20},
                                                  {"Pexil will rock on..", 40, 120},
                                                  {"Let the game begin!", 100, 120}};

namespace {
icube_state cube;

void free_pictures(icube_state& s) {
  for (auto& set : s.pictures)
    for (pixmap*& p : set)
      if (p) {
        pixmap_free(p);
        p = nullptr;
      }
}

void icube_release() {
  icube_state& s = cube;
  free_pictures(s);
  for (polygon* p : s.triangle)
    if (p)
      polygon_free(p);
  s = icube_state{};
}

polygon* make_triangle(const float* uv) {
  polygon* p = polygon_create();
  if (!p)
    return nullptr;
  p->flags = ICUBE_POLY_FLAGS;
  p->colour = 0xFFFFFF;
  p->stride = 5;
  p->drawer = icube_draw_triangle;
  p->layer[0] = 0;
  p->uv_count = 6;
  for (int32_t k = 0; k < 6; k++)
    p->uv[k] = uv[k];
  return p;
}

// Picture k (1 to 16) of set "f" or "v"; the drawer reads it as a 256-wide
// array of at least 256 rows.
pixmap* load_picture(char set, int32_t k) {
  char entry[16], name[48];
  std::snprintf(entry, sizeof entry, "anim/%c%02d", set, int(k));
  std::snprintf(name, sizeof name, "data/icube/%s.jpg", entry);
  return picture_fit(jpeg_load(name), name, ICUBE_TEXTURE, ICUBE_TEXTURE);
}
} // namespace

icube_state* icube_get_state() { return &cube; }

int32_t icube_init(show_context* show) {
  icube_release();
  icube_state& s = cube;
  music_clock* clock = show->clock;
  pixmap* frame = show->frame;
  render_context* rc = show->rc;
  s.clock = clock;
  s.frame = frame;
  s.rc = rc;
  s.flares = show->flares;
  s.spin = 0.0f;
  s.anim_rate = 0.1f;
  s.text = typewriter{icube_lines, ICUBE_LINES, ICUBE_TEXT_COLOUR, 0, 0, 0.0f};
  if (!clock || !frame || !rc)
    return 0;
  s.triangle[0] = make_triangle(icube_faces[0].uv_a);
  s.triangle[1] = make_triangle(icube_faces[0].uv_b);
  if (!s.triangle[0] || !s.triangle[1])
    return 0;
  for (int32_t k = 1; k <= ICUBE_FRAMES; k++) {
    s.pictures[0][k - 1] = load_picture('f', k);
    if (!s.pictures[0][k - 1])
      return 0;
    s.pictures[1][k - 1] = load_picture('v', k);
    if (!s.pictures[1][k - 1])
      return 0;
  }
  return 1;
}

int32_t icube_frame() {
  icube_state& s = cube;
  // Once the pictures are released the scene is over for good.
  if (!s.pictures[0][0])
    return 0;
  const float fd = s.clock->frame_delta;
  if (!s.drawer_selected) {
    select_polygondrawer(POLYGONDRAWER_CORRECT);
    s.drawer_selected = 1;
  }
  pixmap_fill_rect(s.frame, 0, 0, 320, 240, 0);
  icube_draw_cube(&s, fd);
  flares_step(s.flares);
  typewriter_type(&s.text, s.frame, fd);
  if (timeline_order_reached(TIMELINE_ICUBE, s.clock->order)) {
    free_pictures(s);
    return 0;
  }
  return 1;
}
