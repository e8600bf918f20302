// The sequence zoomer: flies into the intro's ring picture, then plunges
// through three pictures laid out as nested discs in a log-polar mapping,
// each opening out of the centre of the one before.
#include "seqzoom.h"

#include "gif.h"
#include "jpeg.h"
#include "mem.h"
#include "music.h"
#include "pcx.h"
#include "seqzoom_parts.h"

#include <cstdio>

namespace {
seqzoom_state zoomer;

void seqzoom_release() {
  seqzoom_state& s = zoomer;
  for (pixmap* p : s.pictures)
    if (p)
      pixmap_free(p);
  for (pixmap* p : s.flares.images)
    if (p)
      pixmap_free(p);
  if (s.polar_map)
    mem_free(s.polar_map);
  if (s.ring_lookup)
    mem_free(s.ring_lookup);
  s = seqzoom_state{};
}

int load_files(seqzoom_state& s) {
  s.pictures[0] = jpeg_load("data/seqzoom/p1.jpg");
  if (!s.pictures[0])
    return 0;
  s.pictures[1] = jpeg_load("data/seqzoom/p2.jpg");
  if (!s.pictures[1])
    return 0;
  s.pictures[2] = pcx_load("data/seqzoom/lastpic.pcx");
  if (!s.pictures[2])
    return 0;
  for (int32_t k = 0; k < FLARES_IMAGES; k++) {
    char name[48];
    std::snprintf(name, sizeof name, "data/seqzoom/flares/flare%d.gif", int(k + 1));
    s.flares.images[k] = gif_load(name);
    if (!s.flares.images[k])
      return 0;
  }
  return 1;
}

int build(seqzoom_state& s) {
  s.polar_map = mem_alloc_array<seqzoom_polar>(SEQZOOM_PIXELS);
  s.ring_lookup = mem_alloc_array<const uint32_t*>(SEQZOOM_RINGS * SEQZOOM_ANGLES);
  if (!s.polar_map || !s.ring_lookup)
    return 0;
  seqzoom_fill_polar_map(s.polar_map);
  // The innermost band is the last picture, the outermost the first.
  for (int32_t k = 0; k < SEQZOOM_PICTURES; k++)
    seqzoom_fill_band(s.ring_lookup, SEQZOOM_BAND * k, s.pictures[SEQZOOM_PICTURES - 1 - k]);
  return 1;
}
} // namespace

seqzoom_state* seqzoom_get_state() { return &zoomer; }

int32_t seqzoom_init(show_context* show) {
  seqzoom_release();
  music_clock* clock = show->clock;
  pixmap* frame = show->frame;
  zoomer.clock = clock;
  zoomer.frame = frame;
  zoomer.zoom = 800.0f;
  zoomer.approach = 0.0f;
  flares_reset(zoomer.flares.flares);
  show->flares = &zoomer.flares;
  // The polar map covers a 320 x 240 frame.
  if (!clock || !frame || frame->width < SEQZOOM_WIDTH || frame->height < SEQZOOM_HEIGHT)
    return 0;
  // The intro loads its ring picture before this init runs.
  zoomer.ring_picture = show->pictures.ring;
  if (!load_files(zoomer) || !build(zoomer))
    return 0;
  // The flares run from the zoomer's first frame on.
  zoomer.flares.clock = clock;
  zoomer.flares.frame = frame;
  return 1;
}

int32_t seqzoom_frame() {
  seqzoom_state& s = zoomer;
  if (!(s.zoom > 0.0f))
    return 0; // also ends a zoom that is not a number
  const float fd = s.clock->frame_delta;
  if (s.zoom > 400.0f) {
    seqzoom_fly_in(s.frame, s.ring_picture, s.approach);
    s.approach += fd;
  }
  seqzoom_polar_pass(s.frame, s.polar_map, s.ring_lookup, int32_t(s.zoom));
  flares_step(&s.flares);
  s.zoom = float(double(s.zoom) - 1.6 * double(fd));
  return 1;
}
