#include "music.h"

#include "music_state.h"
#include "sound_fmod.h"
#include "sound_midas.h"
#include "timer.h"

static_assert(sizeof(std::atomic<float>) == 4 && std::atomic<float>::is_always_lock_free);
static_assert(sizeof(std::atomic<uint32_t>) == 4 && std::atomic<uint32_t>::is_always_lock_free);

music_clock music_clock_state;
std::atomic<uint32_t> music_timer_ident{0};
std::atomic<int32_t> music_timer_on{0};

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

void music_timer_callback(uint32_t id, void*) { music_tick(id); }

} // namespace

void music_read_position() {
  music_clock& c = music_clock_state;
  if (music_mode & MUSIC_USE_MIDAS) {
    midas_play_status status{};
    midas_get_play_status(music_play_handle.load(), &status);
    c.order.store(status.position, relaxed);
    c.pattern.store(status.pattern, relaxed);
    c.row.store(status.row, relaxed);
    c.sync_info.store(status.sync_info, relaxed);
    c.loop_count.store(status.loop_count, relaxed);
    return;
  }
  // One lock around both calls, so order and row come from the same moment.
  sound_lock();
  sound_song* song = music_song.load();
  const int32_t order = fmusic_get_order(song);
  const int32_t row = fmusic_get_row(song);
  sound_unlock();
  c.order.store(uint32_t(order), relaxed);
  c.row.store(uint32_t(row), relaxed);
}

void music_clock_clear() {
  music_clock& c = music_clock_state;
  c.frame_delta.store(0.0f);
  c.ticks.store(0.0f);
  c.frame_tick_delta.store(0);
  c.tick_count.store(0);
  c.order.store(0);
  c.pattern.store(0);
  c.row.store(0);
  c.sync_info.store(0);
  c.loop_count.store(0);
  c.last_ticks = 0.0f;
  c.last_tick_count = 0;
}

void music_tick(uint32_t id) {
  if (id == 0 || id != music_timer_ident.load(relaxed))
    return;
  music_clock& c = music_clock_state;
  // Only this routine writes the counters, so load and store suffice.
  c.ticks.store(c.ticks.load(relaxed) + 1.0f, relaxed);
  c.tick_count.store(int32_t(uint32_t(c.tick_count.load(relaxed)) + 1u), std::memory_order_release);
  music_read_position();
}

music_clock* music_clock_get() { return &music_clock_state; }

void music_clock_update() {
  if (!music_timer_on.load(relaxed))
    return;
  music_clock& c = music_clock_state;
  // The count first: a tick seen in it is then also seen in ticks.
  const int32_t count = c.tick_count.load(std::memory_order_acquire);
  const float ticks = c.ticks.load(relaxed);
  const float delta = ticks - c.last_ticks;
  c.frame_delta.store(delta, relaxed);
  if (delta > 0.0f) {
    c.frame_tick_delta.store(int32_t(uint32_t(count) - uint32_t(c.last_tick_count)), relaxed);
    c.last_tick_count = count;
    c.last_ticks = ticks;
  }
}

int music_timer_start(float) {
  if (music_virtual_on) {
    // Same identifier and running-flag rules, with ticks counted from now.
    music_timer_on.store(0);
    if (++music_virtual_ids == 0)
      music_virtual_ids = 1;
    music_timer_ident.store(music_virtual_ids);
    music_virtual_start = music_virtual_position;
    music_virtual_next = 1;
    music_timer_on.store(1);
    return 1;
  }
  timer_time time;
  timer_caps caps;
  if (!timer_get_system_time(&time, sizeof(time)) || !timer_get_dev_caps(&caps, sizeof(caps))) {
    music_error = MUSIC_ERROR_TIMER;
    return 0;
  }
  // A timer already running is stopped and joined, so only the new one ticks.
  if (music_timer_on.load())
    music_timer_stop();
  const uint32_t id = timer_set_event(MUSIC_TICK_MS, MUSIC_TICK_MS / 2, music_timer_callback, nullptr, TIMER_PERIODIC);
  if (!id) {
    music_error = MUSIC_ERROR_TIMER;
    return 0;
  }
  music_timer_ident.store(id);
  music_timer_on.store(1);
  return 1;
}

int music_timer_stop() {
  if (!music_timer_on.load())
    return 0;
  // Cleared identifier: a call of the old timer that is still on its way
  // (there is none once the thread is joined) would be ignored.
  const uint32_t id = music_timer_ident.exchange(0);
  if (!music_virtual_on)
    timer_kill_event(id);
  music_timer_on.store(0);
  return 1;
}

uint32_t music_timer_id() { return music_timer_ident.load(); }
int music_timer_running() { return music_timer_on.load(); }
