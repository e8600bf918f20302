#include "music.h"

#include "music_state.h"
#include "sound.h"

#include <cstring>

int32_t music_virtual_on = 0;
uint64_t music_virtual_position = 0;
uint64_t music_virtual_start = 0;
uint64_t music_virtual_next = 1;
uint32_t music_virtual_ids = 0;

namespace {

enum : uint32_t { MUSIC_RENDER_FRAMES = 4096 };

int16_t music_render_buffer[2 * MUSIC_RENDER_FRAMES];

// Renders the playing song from the current position up to `to` and hands
// the samples on.
void music_virtual_render(uint64_t to, const music_virtual_output* output) {
  while (music_virtual_position < to) {
    const uint64_t left = to - music_virtual_position;
    const uint32_t n = left < MUSIC_RENDER_FRAMES ? uint32_t(left) : uint32_t(MUSIC_RENDER_FRAMES);
    // With no output open (music not initialised) time passes in silence.
    if (!sound_render(music_render_buffer, n))
      std::memset(music_render_buffer, 0, size_t(n) * 4);
    if (output && output->samples)
      output->samples(output->user, music_render_buffer, n);
    music_virtual_position += n;
  }
}

} // namespace

int music_virtual_enable(int on) {
  if (sound_is_open() || music_timer_on.load())
    return 0;
  if (!sound_set_virtual(on))
    return 0;
  music_virtual_on = on ? 1 : 0;
  music_virtual_position = 0;
  music_virtual_start = 0;
  music_virtual_next = 1;
  return 1;
}

int music_virtual_active() { return music_virtual_on; }

uint64_t music_virtual_tick_sample(uint64_t k) {
  // 14 ms = 617.4 samples = 3087 / 5; k * 3087 stays exact below 2^64 / 3087.
  return k / 5 * 3087 + k % 5 * 3087 / 5;
}

uint64_t music_virtual_frame_sample(uint64_t frame, uint32_t fps) {
  if (fps == 0)
    return 0;
  return frame / fps * MUSIC_SAMPLE_RATE + frame % fps * MUSIC_SAMPLE_RATE / fps;
}

uint64_t music_virtual_now() { return music_virtual_position; }

int64_t music_virtual_advance_to(uint64_t position, const music_virtual_output* output) {
  if (!music_virtual_on)
    return -1;
  int64_t ticks = 0;
  while (music_timer_on.load()) {
    const uint64_t due = music_virtual_start + music_virtual_tick_sample(music_virtual_next);
    if (due > position)
      break;
    music_virtual_render(due, output);
    music_virtual_next++;
    music_tick(music_timer_ident.load());
    ticks++;
    if (output && output->tick)
      output->tick(output->user, music_clock_get());
  }
  music_virtual_render(position, output);
  return ticks;
}

int64_t music_virtual_advance(uint64_t span, const music_virtual_output* output) {
  if (!music_virtual_on)
    return -1;
  return music_virtual_advance_to(music_virtual_position + span, output);
}

int64_t music_virtual_advance_frame(uint64_t frame, uint32_t fps, const music_virtual_output* output) {
  if (!music_virtual_on)
    return -1;
  return music_virtual_advance_to(music_virtual_frame_sample(frame + 1, fps), output);
}
