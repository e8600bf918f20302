// The net: a sheet of 42 x 32 points, rippled by two phases per point, turned
// and projected; the projected positions are the texture coordinates of the
// 8 x 8 blocks' corners, so the texture warps as the sheet moves. The cells'
// normals pick shades from a lit-sphere map. From order 29 the finished
// picture lies on a flat sheet over the hypervoxel's backdrop and folds into
// a ball that turns and rolls off to the right.
#include "net.h"

#include "drawers.h"
#include "jpeg.h"
#include "mem.h"
#include "music.h"
#include "net_parts.h"
#include "pcx.h"
#include "picture_fit.h"
#include "scx.h"
#include "timeline.h"
#include "vfs.h"

#include <cstdio>

namespace {
net_state net;

void net_release() {
  net_state& s = net;
  for (pixmap* p : {s.work, s.background, s.envmap})
    if (p)
      pixmap_free(p);
  if (s.sheet.triangle)
    polygon_free(s.sheet.triangle);
  if (s.show && s.show->pictures.hvoxel_background == s.background)
    s.show->pictures.hvoxel_background = nullptr;
  s = net_state{};
}

// The normal map: the 128 x 128 bytes after the header, each shifted right
// by 2. A file that holds fewer fails.
int net_read_normal_map(uint8_t* map) {
  vfs_file* f = vfs_open("data/netnet/env.scx", "rb");
  if (!f)
    return 0;
  vfs_seek(f, SCX_DATA_OFFSET, 0); // from the start
  const int32_t got = vfs_read(map, 1, NET_MAP_BYTES, f);
  vfs_close(f);
  if (got != NET_MAP_BYTES) {
    vfs_note_failure("data/netnet/env.scx", "its 128 x 128 map is cut short");
    return 0;
  }
  for (int32_t i = 0; i < NET_MAP_BYTES; i++)
    map[i] = uint8_t(map[i] >> 2);
  return 1;
}

int net_load(net_state& s) {
  s.work = pixmap_create(320, 240, PIXMAP_CLEAR);
  if (!s.work) {
    std::printf("%s\n", pixmap_error_text());
    return 0;
  }
  s.background = jpeg_load("data/hvoxel/bgpic.jpg");
  if (!s.background)
    return 0;
  s.envmap =
      picture_fit(pcx_load("data/netnet/envmap.pcx"), "data/netnet/envmap.pcx", BLOCK_TEXTURE_SIZE, BLOCK_TEXTURE_SIZE);
  if (!block_texture_fits(s.envmap) || !net_read_normal_map(s.normal_map))
    return 0;
  net_reset_points(&s);
  s.sheet.triangle = polygon_create();
  if (!s.sheet.triangle)
    return 0;
  polygon* t = s.sheet.triangle;
  t->flags = NET_SHEET_FLAGS;
  t->stride = 5;
  t->drawer = texture_general;
  t->texture[0] = s.work;
  t->layer[0] = 0;
  t->uv_count = 6;
  net_sheet_reset(&s.sheet);
  return 1;
}
} // namespace

net_state* net_get_state() { return &net; }

int32_t net_init(show_context* show) {
  net_release();
  net_state& s = net;
  if (!show || !show->clock || !show->frame || !show->shade || !show->rc)
    return 0;
  s.clock = show->clock;
  s.frame = show->frame;
  s.shade = show->shade;
  s.rc = show->rc;
  s.show = show;
  if (!net_load(s)) {
    net_release();
    return 0;
  }
  show->pictures.hvoxel_background = s.background;
  return 1;
}

void net_draw(pixmap* p) {
  net_state& s = net;
  if (!s.envmap || !p)
    return;
  const float fd = s.clock->frame_delta;
  net_move_points(&s, fd);
  net_shade_points(&s);
  net_fill_blocks(&s, p, fd);
  net_drift(&s, s.clock->order, s.clock->row, fd);
}

int32_t net_frame() {
  net_state& s = net;
  if (!s.envmap)
    return 0; // nothing to show
  const float fd = s.clock->frame_delta;
  // The last stage, the sheet, starts at the net's order on the timeline.
  if (timeline_order_reached(TIMELINE_NET, s.clock->order)) {
    net_draw(s.work);
    // The backdrop is the hypervoxel's; without it the sheet turns over black.
    const pixmap* backdrop = s.show->pictures.hvoxel_backdrop;
    if (backdrop && backdrop->width == s.frame->width && backdrop->height == s.frame->height)
      mem_copy_words(s.frame->pixels, backdrop->pixels, size_t(s.frame->width) * size_t(s.frame->height));
    else
      pixmap_fill_rect(s.frame, 0, 0, s.frame->width, s.frame->height, 0);
    net_sheet_step(&s.sheet, s.rc, s.work, s.stage_clock, fd);
    if (s.sheet_clock > NET_SHEET_TIME)
      return 0;
    s.sheet_clock += fd;
  } else {
    net_draw(s.frame);
  }
  s.stage_clock += fd;
  return 1;
}
