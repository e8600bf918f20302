// The intro: the burn-in (section 0), the tile wall (section 1) and the
// title with the torus and the beat blur (section 2).
#include "intro.h"

#include "blend.h"
#include "gif.h"
#include "intro_parts.h"
#include "mem.h"
#include "music.h"
#include "pcx.h"
#include "polygondrawer.h"
#include "tga.h"
#include "timeline.h"
#include "vfs.h"

#include <algorithm>
#include <cstdio>

namespace {
intro_state intro;

void intro_release() {
  intro_state& s = intro;
  for (pixmap* p : {s.pickle, s.picture, s.bgtext, s.background, s.title, s.logos[0].picture, s.logos[1].picture,
                    s.logos[2].picture, s.logos[3].picture})
    if (p)
      pixmap_free(p);
  for (uint8_t* b : {s.map, s.map_inverse, s.work[0], s.work[1]})
    if (b)
      mem_free(b);
  if (s.tiles) {
    intro_free_tiles(s.tiles);
    mem_free(s.tiles);
  }
  if (s.tables)
    mem_free(s.tables);
  intro_free_torus(&s);
  if (s.line)
    polygon_free(s.line);
  s = intro_state{};
}

// A picture that covers at least width x height; a smaller one is noted as
// the file that could not be loaded.
bool covers(const pixmap* p, const char* name, int32_t width, int32_t height) {
  if (p && (p->width < width || p->height < height))
    vfs_note_failure(name, "smaller than the effect draws it");
  return p && p->width >= width && p->height >= height;
}

// The pattern map: 320 x 240 bytes after the header.
int read_map(uint8_t* map) {
  vfs_file* f = vfs_open("data/intro/clmap1.scx", "rb");
  if (!f)
    return 0;
  vfs_seek(f, INTRO_MAP_HEADER, 0); // from the start
  const int32_t got = vfs_read(map, 1, INTRO_PIXELS, f);
  vfs_close(f);
  if (got != INTRO_PIXELS)
    vfs_note_failure("data/intro/clmap1.scx", "its 320 x 240 map is cut short");
  return got == INTRO_PIXELS;
}

int load_files(intro_state& s) {
  s.pickle = gif_load("data/intro/pickle.gif");
  if (!s.pickle)
    return 0;
  for (int32_t i = 0; i < INTRO_LOGOS; i++) {
    char name[32];
    std::snprintf(name, sizeof name, "data/intro/l%d.pcx", int(i + 1));
    s.logos[i].picture = pcx_load(name);
    if (!covers(s.logos[i].picture, name, INTRO_LOGO_SIZE, INTRO_LOGO_SIZE))
      return 0;
  }
  // The picture is drawn pixel for pixel over the frame.
  s.picture = gif_load("data/intro/getmet.gif");
  if (!s.picture || s.picture->width != INTRO_WIDTH || s.picture->height < INTRO_HEIGHT) {
    vfs_note_failure("data/intro/getmet.gif", "not 320 pixels wide and at least 240 high");
    return 0;
  }
  s.bgtext = gif_load("data/intro/bgtext.gif");
  if (!s.bgtext)
    return 0;
  s.background = pcx_load("data/intro/ringbild.pcx");
  if (!s.background)
    return 0;
  s.title = tga_load("data/intro/vorlane.tga");
  if (!covers(s.title, "data/intro/vorlane.tga", INTRO_WIDTH, INTRO_HEIGHT))
    return 0;
  s.map = mem_alloc_array<uint8_t>(INTRO_PIXELS);
  if (!s.map || !read_map(s.map))
    return 0;
  return intro_load_torus(&s);
}

int build(intro_state& s) {
  s.map_inverse = mem_alloc_array<uint8_t>(INTRO_PIXELS);
  s.work[0] = mem_alloc_array<uint8_t>(INTRO_PIXELS);
  s.work[1] = mem_alloc_array<uint8_t>(INTRO_PIXELS);
  s.tables = mem_alloc_array<intro_tables>(1);
  s.tiles = mem_alloc_array<intro_tile>(INTRO_TILES);
  if (!s.map_inverse || !s.work[0] || !s.work[1] || !s.tables || !s.tiles)
    return 0;
  for (int32_t i = 0; i < INTRO_PIXELS; i++)
    s.map_inverse[i] = uint8_t(255 - s.map[i]);
  intro_build_tables(s.tables);
  if (!intro_make_tiles(s.tiles, s.picture) || !intro_make_torus_line(&s))
    return 0;
  static const float start[4] = {163, 85, 165, 87}, end[4] = {0, 0, 320, 240};
  for (int32_t k = 0; k < 4; k++) {
    s.rect_start[k] = start[k];
    s.rect_step[k] = (end[k] - start[k]) / 128.0f;
  }
  static const int32_t logo_at[INTRO_LOGOS][3] = {{26, 218, 255}, {41, 218, 196}, {56, 218, 128}, {61, 113, 64}};
  for (int32_t i = 0; i < INTRO_LOGOS; i++) {
    s.logos[i].x = logo_at[i][0];
    s.logos[i].y = logo_at[i][1];
    s.logos[i].phase = logo_at[i][2];
  }
  s.alpha = 3.1415927f;
  s.torus_brightness = 255;
  s.blur_amount = 0.01f;
  return 1;
}

int32_t section_burn(intro_state& s, pixmap* frame) {
  if (s.phase < 3) {
    intro_burn_step(&s, frame);
    return 1;
  }
  if (timeline_order_reached(TIMELINE_INTRO_BURN, s.clock->order))
    return 0;
  pixmap_blit(frame, 0, 0, s.picture, 0, 0, INTRO_WIDTH, INTRO_HEIGHT);
  return 1;
}

int32_t section_tiles(intro_state& s, pixmap* frame) {
  pixmap_blit(frame, 0, 0, s.background, 0, 0, INTRO_WIDTH, INTRO_HEIGHT);
  intro_draw_logos(&s, frame);
  if (!s.section1_started) {
    select_polygondrawer(POLYGONDRAWER_CORRECT);
    s.section1_started = 1;
  }
  mat3 camera;
  mat3_rotation_xyz(&camera, s.alpha, s.beta, s.gamma);
  const float d = s.last_delta;
  for (int32_t i = 0; i < INTRO_TILES; i++)
    intro_tile_step(&s.tiles[i], &camera, s.depth, s.x_offset, d, s.rc);
  s.section1_time += d;
  if (!(s.section1_time < 512.0f))
    return 0;
  s.depth = s.tables->depth_wave[std::clamp(int32_t(s.section1_time), 0, INTRO_WAVE - 1)];
  s.gamma -= 0.0062831854f * d;
  s.x_offset += 0.064453125f * d;
  s.last_delta = s.clock->frame_delta;
  return 1;
}

int32_t section_title(intro_state& s, pixmap* frame) {
  const float fd = s.clock->frame_delta;
  pixmap_blit(frame, 0, 0, s.background, 0, 0, INTRO_WIDTH, INTRO_HEIGHT);
  intro_draw_logos(&s, frame);
  const float t = s.section2_time;
  if (!s.done) {
    if (t < 128.0f) {
      float rect[4];
      intro_title_rect(&s, t, rect);
      intro_title_stretch(frame, s.title, rect);
    } else if (s.threshold <= 255.0f) {
      intro_title_glow(frame, s.title, int32_t(s.threshold));
      if (t > 256.0f) {
        s.threshold += 1.25f * fd;
        s.torus_brightness = int32_t(float(s.torus_brightness) - 1.25f * fd);
      }
    } else if (timeline_order_reached(TIMELINE_INTRO_TITLE, s.clock->order)) {
      s.done = 1;
    }
  }
  if (s.torus_brightness > 0)
    intro_draw_torus(&s, fd);
  intro_beat_step(&s, s.clock->row, fd);
  radial_blur(frame, frame, 160.0f, 120.0f, s.blur_amount);
  s.section2_time = t + fd;
  return s.done && !s.pulse ? 0 : 1;
}
} // namespace

intro_state* intro_get_state() { return &intro; }

int32_t intro_init(show_context* show) {
  intro_release();
  render_context* rc = show->rc;
  intro.clock = show->clock;
  intro.driver = show->driver;
  intro.rc = rc;
  intro.shade = show->shade;
  // Every section draws the whole 320 x 240 frame.
  if (!rc || !covers(rc->target, nullptr, INTRO_WIDTH, INTRO_HEIGHT) || !load_files(intro) || !build(intro))
    return 0;
  // The ring picture is the tile wall's background; the zoomer flies into it.
  show->pictures.ring = intro.background;
  return 1;
}

int32_t intro_frame(int32_t section) {
  intro_state& s = intro;
  pixmap* frame = s.rc->target;
  if (!s.first_frame_done) {
    pixmap_fill_rect(frame, 0, 0, frame->width, frame->height, 0x400000);
    s.first_frame_done = 1;
  }
  switch (section) {
  case 0:
    return section_burn(s, frame);
  case 1:
    return section_tiles(s, frame);
  case 2:
    return section_title(s, frame);
  default:
    return 0;
  }
}
