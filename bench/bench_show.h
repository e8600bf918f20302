// What the effects' benchmarks share: the build's data.dat opened once as the
// archive, the frame, the shade table, a render context and the show context
// on a clock the benchmark sets, as the show gives them to the inits.
#pragma once

#include "music.h"
#include "render_context.h"
#include "shade.h"
#include "show_context.h"

#include <cstdint>

struct bench_show {
  music_clock clock{};
  pixmap* frame = nullptr;
  render_context* rc = nullptr;
  uint8_t shade[SHADE_TABLE_BYTES];
  show_context show{};
};

// Opens build/bin/data.dat and makes the show context the first time (the
// frame with frame_flags, e.g. PIXMAP_DEPTH); null when there is no archive.
bench_show* bench_show_open(uint32_t frame_flags);

// Standard output muted (1) or back (0): the readers print progress lines.
void bench_mute(int muted);

// Runs f with the readers' progress lines kept off standard output.
template <typename F> auto bench_quietly(F f) {
  bench_mute(1);
  auto result = f();
  bench_mute(0);
  return result;
}

// The song's position and the ticks since the last frame.
inline void bench_set_clock(music_clock* c, float frame_delta, uint32_t order, uint32_t row) {
  c->frame_delta = frame_delta;
  c->order = order;
  c->row = row;
}
