// The diffuse cube: four blobs float inside an invisible turning cube; the
// cube's volume is drawn as a lattice of glows sized by the blobs' density,
// over a background picture. On every bar the cube jumps an eighth of a turn.
#include "dcube.h"

#include "dcube_parts.h"
#include "gif.h"
#include "music.h"
#include "pcx.h"
#include "timeline.h"
#include "vfs.h"

namespace {
dcube_state dcube;

void dcube_release() {
  for (pixmap* p : {dcube.glow, dcube.background})
    if (p)
      pixmap_free(p);
  dcube = dcube_state{};
}
} // namespace

dcube_state* dcube_get_state() { return &dcube; }

int32_t dcube_init(show_context* show) {
  dcube_release();
  dcube.clock = show->clock;
  dcube.driver = show->driver;
  dcube.frame = show->frame;
  dcube.shade = show->shade;
  dcube_reset_motion(&dcube);

  dcube.glow = gif_load("data/seqzoom/flares/flare3.gif");
  if (!dcube.glow)
    return 0;
  dcube.background = pcx_load("data/diffuse/bgpic.pcx");
  // The background is copied whole over the 320 x 240 frame.
  if (!dcube.background || dcube.background->width < 320 || dcube.background->height < 240) {
    vfs_note_failure("data/diffuse/bgpic.pcx", "smaller than 320 x 240");
    // Neither picture is kept from a failed init.
    for (pixmap** p : {&dcube.background, &dcube.glow}) {
      if (*p)
        pixmap_free(*p);
      *p = nullptr;
    }
    return 0;
  }
  show->pictures.dcube_background = dcube.background;
  return 1;
}

int32_t dcube_frame() {
  dcube_state& s = dcube;
  const float fd = s.clock->frame_delta;
  const uint32_t row = s.clock->row;

  pixmap_blit(s.frame, 0, 0, s.background, 0, 0, 320, 240);
  dcube_fill_density(s.density, s.blobs);
  dcube_move_blobs(s.blobs, fd);
  dcube_project(s.vertices, s.a0, s.a1, s.a2, s.t, s.projected);
  dcube_turn(&s, fd, row);
  dcube_draw_lattice(s.frame, s.glow, s.projected, s.density);
  return timeline_order_reached(TIMELINE_DCUBE, s.clock->order) ? 0 : 1;
}
