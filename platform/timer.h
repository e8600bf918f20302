// Periodic timer: each event runs a callback on its own thread at a fixed
// period, scheduled from the start time (no drift), waiting on a condition
// variable so that killing it is prompt. Start and kill from one thread (the
// main thread), never from inside a callback.
#pragma once

#include <cstdint>

enum : uint32_t {
  TIMER_PERIODIC = 1, // the only kind offered
};

// The system time record and the timer capabilities record.
struct timer_time {
  uint32_t type; // 1 = milliseconds
  uint32_t ms;   // milliseconds since the first timer call of the program
  uint32_t reserved;
};

struct timer_caps {
  uint32_t period_min; // ms
  uint32_t period_max; // ms
};

// Callback: the event's identifier and the user data given at start.
typedef void (*timer_callback)(uint32_t id, void* user);

// Fill the record when its size is right; 1 on success, 0 otherwise.
int timer_get_system_time(timer_time* time, uint32_t size);
int timer_get_dev_caps(timer_caps* caps, uint32_t size);

// Starts an event with a period in ms (1..1000000) and a resolution (accepted,
// not used: the steady clock is finer) and TIMER_PERIODIC. Returns its identifier (never 0), or
// 0 when it cannot start.
uint32_t timer_set_event(uint32_t period, uint32_t resolution, timer_callback callback, void* user, uint32_t flags);
// Stops the event and joins its thread. 1 when the identifier was running.
int timer_kill_event(uint32_t id);
// Stops every event (also run at exit).
void timer_kill_all();
// Number of events running.
int32_t timer_count();
