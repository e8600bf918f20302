// The hypervoxel: a lumpy, environment-mapped ball over a background that
// zooms out from an 8x close-up of its corner. The ball's radius follows a
// smooth height field that morphs back and forth between two shapes and
// scrolls over it; the ball drops in with a damped bounce, drifts and turns,
// while a verse is typed in the corner. Ends at order 34. Its init also
// makes the backdrop the net's last stage shows.
#include "hypervoxel.h"

#include "hypervoxel_parts.h"
#include "jpeg.h"
#include "mem.h"
#include "music.h"
#include "picture_fit.h"
#include "polygondrawer.h"
#include "scx.h"
#include "timeline.h"
#include "vfs.h"

#include <cmath>

const typewriter_line hvoxel_lines[HVOXEL_LINES] = {{"I walk my path..", 0, 4},
                                                    {"To the virtual quarmland..", 0, 14},
                                                    {"Facing my destiny..", 0, 24},
                                                    {"At the edge of destruction....", 0, 34},
                                                    {"Reaching out for my life..", 0, 44}};

namespace {
constexpr float PI = 3.14159265358979323846f;
constexpr int32_t HVOXEL_ENVMAP_SIDE = 256; // the drawer wraps at 256
constexpr float HVOXEL_DROP = 200.0f;       // the bounce's start

hvoxel_state hvoxel;

void hvoxel_release() {
  hvoxel_state& s = hvoxel;
  for (pixmap* p : {s.backdrop, s.envmap})
    if (p)
      pixmap_free(p);
  for (float* f : {s.field, s.target, s.step})
    if (f)
      mem_free(f);
  if (s.ball.triangle)
    polygon_free(s.ball.triangle);
  if (s.show && s.show->pictures.hvoxel_backdrop == s.backdrop)
    s.show->pictures.hvoxel_backdrop = nullptr;
  s = hvoxel_state{};
}

// A height map of at least 128 x 128 bytes, or none.
scx_bitmap* hvoxel_load_map(const char* path) {
  scx_bitmap* m = scx_load(path);
  if (m && (m->width < HVOXEL_FIELD_SIDE || m->height < HVOXEL_FIELD_SIDE || !m->pixels)) {
    vfs_note_failure(path, "smaller than 128 x 128");
    scx_free(m);
    return nullptr;
  }
  return m;
}

int hvoxel_load(hvoxel_state& s, const pixmap* background) {
  s.backdrop = pixmap_create(320, 240, PIXMAP_CLEAR);
  if (!s.backdrop)
    return 0;
  s.envmap = picture_fit(jpeg_load("data/hvoxel/envmap.jpg"), "data/hvoxel/envmap.jpg", HVOXEL_ENVMAP_SIDE,
                         HVOXEL_ENVMAP_SIDE);
  if (!s.envmap)
    return 0;
  scx_bitmap* first = hvoxel_load_map("data/hvoxel/hdata7.scx");
  if (!first)
    return 0;
  s.field = mem_alloc_array<float>(HVOXEL_FIELD_CELLS);
  s.target = mem_alloc_array<float>(HVOXEL_FIELD_CELLS);
  s.step = mem_alloc_array<float>(HVOXEL_FIELD_CELLS);
  float* scratch = mem_alloc_array<float>(HVOXEL_FIELD_CELLS);
  if (!s.field || !s.target || !s.step || !scratch) {
    scx_free(first);
    if (scratch)
      mem_free(scratch);
    return 0;
  }
  hvoxel_heights(s.field, scratch, first->pixels, first->width, 64.0f, 0.5f, 128.0f);
  scx_free(first);
  scx_bitmap* second = hvoxel_load_map("data/hvoxel/hdata4.scx");
  if (!second) {
    mem_free(scratch);
    return 0;
  }
  hvoxel_heights(s.target, scratch, second->pixels, second->width, 64.0f, 1.0f, 192.0f);
  scx_free(second);
  mem_free(scratch);
  for (int32_t i = 0; i < HVOXEL_FIELD_CELLS; i++)
    s.step[i] = (s.target[i] - s.field[i]) / float(HVOXEL_MORPH_STEPS);

  hvoxel_build_zoom_table(s.zoom_table);
  // The backdrop is the first zoom step; the show's zoom starts there too.
  float at = 0.0f;
  hvoxel_zoom_copy(s.backdrop, background, s.zoom_table, &at, 0.0f);
  s.zoom = 0.0f;
  s.zooming = 1;

  s.ball.triangle = polygon_create();
  if (!s.ball.triangle)
    return 0;
  polygon* t = s.ball.triangle;
  t->flags = POLY_TEXTURE;
  t->stride = 5;
  t->texture[0] = s.envmap;
  t->layer[0] = 0;
  t->uv_count = 6;
  hvoxel_ball_build(&s.ball);
  s.ball.position = {0.0f, HVOXEL_DROP, 0.0f};
  s.morph = 0.0f;
  s.bounce = HVOXEL_DROP;
  s.text = typewriter{hvoxel_lines, HVOXEL_LINES, HVOXEL_TEXT_COLOUR, 0, 0, 0.0f};
  return 1;
}

// The background: zoomed while the zoom runs, then the picture as it is.
void hvoxel_background(hvoxel_state& s, const pixmap* background, float fd) {
  if (s.zooming && !hvoxel_zoom_copy(s.frame, background, s.zoom_table, &s.zoom, fd))
    s.zooming = 0;
  if (!s.zooming)
    pixmap_blit(s.frame, 0, 0, background, 0, 0, background->width, background->height);
}

// Moves the field one step towards the target shape, or back after 128
// frames; a whole period is 257 frames.
void hvoxel_morph(hvoxel_state& s) {
  float* a = s.field;
  const float* d = s.step;
  if (s.morph >= float(HVOXEL_MORPH_STEPS))
    for (int32_t i = 0; i < HVOXEL_FIELD_CELLS; i++)
      a[i] -= d[i];
  else
    for (int32_t i = 0; i < HVOXEL_FIELD_CELLS; i++)
      a[i] += d[i];
  s.morph += 1.0f;
  if (s.morph > float(2 * HVOXEL_MORPH_STEPS))
    s.morph = 0.0f;
}
} // namespace

hvoxel_state* hvoxel_get_state() { return &hvoxel; }

int32_t hypervoxel_init(show_context* show) {
  hvoxel_release();
  hvoxel_state& s = hvoxel;
  if (!show || !show->clock || !show->frame || !show->rc)
    return 0;
  s.clock = show->clock;
  s.frame = show->frame;
  s.rc = show->rc;
  s.show = show;
  // The background is the net's; the zoom reads a full frame of it.
  const pixmap* background = show->pictures.hvoxel_background;
  if (!background || background->width < s.frame->width || background->height < s.frame->height ||
      !hvoxel_load(s, background)) {
    hvoxel_release();
    return 0;
  }
  show->pictures.hvoxel_backdrop = s.backdrop;
  return 1;
}

int32_t hypervoxel_frame() {
  hvoxel_state& s = hvoxel;
  if (!s.field)
    return 0; // nothing to show
  pixmap* f = s.frame;
  const float fd = s.clock->frame_delta;
  if (!s.started) {
    select_polygondrawer(POLYGONDRAWER_FAST_Z);
    f->flags = PIXMAP_DEPTH;
    s.started = 1;
  }
  hvoxel_ball& b = s.ball;
  const float z = 256.0f * std::sin(s.theta), r = (z + 256.0f) * 0.3f;
  b.position = {r * std::cos(1.2f * s.phi), r * std::sin(s.phi), z};
  s.phi += 0.003359992142876784f * fd;

  if (f->depth)
    mem_fill_words(f->depth, uint32_t(PIXMAP_FAR_DEPTH), size_t(f->width) * size_t(f->height));
  // The net's picture may have gone since init (a later init of the net).
  const pixmap* background = s.show->pictures.hvoxel_background;
  if (background && background->width >= f->width && background->height >= f->height)
    hvoxel_background(s, background, fd);
  typewriter_type(&s.text, f, fd);

  if (s.bounce > 0.0f) {
    b.position.y = s.bounce * std::cos(s.psi);
    s.psi += PI / 256.0f * fd;
    s.bounce -= 0.5f * fd;
  } else {
    b.position.y = 0.0f;
  }
  hvoxel_ball_draw(&b, s.field, s.rc);
  hvoxel_morph(s);

  b.rx += 0.002945243112740431f * fd;
  b.ry -= 0.0019234240736264038f * fd;
  b.rz += 0.005563236990731926f * fd;
  b.scroll += 0.25f * fd;
  if (b.scroll > 255.0f)
    b.scroll -= 255.0f;
  s.theta += 0.0058611803238615545f * fd;

  if (timeline_order_reached(TIMELINE_HYPERVOXEL, s.clock->order)) {
    f->flags ^= PIXMAP_DEPTH;
    return 0;
  }
  return 1;
}
