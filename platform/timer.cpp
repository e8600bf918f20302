#include "timer.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <stop_token>
#include <system_error>
#include <thread>

namespace {

using timer_clock = std::chrono::steady_clock;

enum : int32_t { TIMER_SLOTS = 16 };

struct timer_slot {
  uint32_t id = 0; // 0 = free; main thread only
  std::jthread thread;
  std::mutex mutex;
  std::condition_variable_any wake;
};

// Plain static storage: no allocation, and the threads are joined by
// timer_kill_all (registered at exit) before the slots go away.
timer_slot timer_slots[TIMER_SLOTS];
uint32_t timer_next_id = 1;
bool timer_exit_registered = false;
const timer_clock::time_point timer_epoch = timer_clock::now();

void timer_run(std::stop_token stop, timer_slot* slot, uint32_t id, uint32_t period_ms, timer_callback callback,
               void* user) {
  const auto period = std::chrono::milliseconds(period_ms);
  auto start = timer_clock::now();
  uint64_t k = 1;
  while (!stop.stop_requested()) {
    const auto due = start + period * k;
    {
      std::unique_lock<std::mutex> hold(slot->mutex);
      slot->wake.wait_until(hold, stop, due, [] { return false; });
    }
    if (stop.stop_requested())
      return;
    callback(id, user);
    k++;
    // After a long stall (a suspended process), start again from now rather
    // than firing a burst of stale ticks.
    const auto now = timer_clock::now();
    if (now > start + period * k + std::chrono::seconds(1)) {
      start = now;
      k = 1;
    }
  }
}

timer_slot* timer_find(uint32_t id) {
  if (id == 0)
    return nullptr;
  for (timer_slot& s : timer_slots)
    if (s.id == id)
      return &s;
  return nullptr;
}

} // namespace

int timer_get_system_time(timer_time* time, uint32_t size) {
  if (!time || size != sizeof(timer_time))
    return 0;
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(timer_clock::now() - timer_epoch).count();
  time->type = 1;
  time->ms = uint32_t(ms);
  time->reserved = 0;
  return 1;
}

int timer_get_dev_caps(timer_caps* caps, uint32_t size) {
  if (!caps || size != sizeof(timer_caps))
    return 0;
  caps->period_min = 1;
  caps->period_max = 1000000;
  return 1;
}

uint32_t timer_set_event(uint32_t period, uint32_t, timer_callback callback, void* user, uint32_t flags) {
  if (!callback || period < 1 || period > 1000000 || !(flags & TIMER_PERIODIC))
    return 0;
  timer_slot* slot = nullptr;
  for (timer_slot& s : timer_slots)
    if (s.id == 0 && !s.thread.joinable()) {
      slot = &s;
      break;
    }
  if (!slot)
    return 0;
  if (!timer_exit_registered) {
    std::atexit(timer_kill_all);
    timer_exit_registered = true;
  }
  const uint32_t id = timer_next_id++;
  if (timer_next_id == 0)
    timer_next_id = 1;
  try {
    slot->thread = std::jthread(timer_run, slot, id, period, callback, user);
  } catch (const std::system_error&) {
    return 0;
  }
  slot->id = id;
  return id;
}

int timer_kill_event(uint32_t id) {
  timer_slot* slot = timer_find(id);
  if (!slot)
    return 0;
  if (slot->thread.get_id() == std::this_thread::get_id())
    return 0; // from its own callback: joining would never return
  slot->thread.request_stop();
  if (slot->thread.joinable())
    slot->thread.join();
  slot->thread = std::jthread();
  slot->id = 0;
  return 1;
}

void timer_kill_all() {
  for (timer_slot& s : timer_slots)
    if (s.id)
      timer_kill_event(s.id);
}

int32_t timer_count() {
  int32_t n = 0;
  for (const timer_slot& s : timer_slots)
    if (s.id)
      n++;
  return n;
}
