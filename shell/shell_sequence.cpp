// The main sequence: one frame per iteration, the current state's effect
// step, the clock, the frame shown, and the keys (Escape ends the show,
// Space skips to the next state and moves the music there, p pauses).
#include "effect.h"
#include "shell_parts.h"

namespace {
// One step of the current state; returns the state for the next frame.
// Reaching the last state sets done and quit.
int32_t sequence_step(int32_t state, int32_t* quit, int32_t* done) {
  if (state >= TIMELINE_DONE) {
    *done = 1;
    *quit = 1;
    return state;
  }
  const effect& e = effect_of_state(state);
  const int32_t running = e.frame();
  const bool over =
      e.ends == EFFECT_ENDS_ON_ORDER ? timeline_order_reached(state, shell_state.clock->order) : running == 0;
  if (!over)
    return state;
  if (e.leave)
    e.leave();
  return state + 1;
}
} // namespace

int32_t shell_sequence(const shell_config* config, shell_result* result) {
  display_driver* d = config->driver;
  int32_t state = TIMELINE_FIRST_STATE, paused = 0, quit = 0, done = 0, limited = 0;
  while (!quit) {
    const int32_t ran = state;
    const auto t0 = std::chrono::steady_clock::now();
    if (!paused)
      state = sequence_step(state, &quit, &done);
    const double us = shell_elapsed_us(t0);
    d->wait_retrace();
    music_clock_update();
    const int32_t key = shell_finish_frame();
    shell_observe(config, ran, !paused, us);
    if (key == SHELL_KEY_ESCAPE) {
      quit = 1;
      result->exit_path = "escape";
    } else if (key == SHELL_KEY_SPACE && state < TIMELINE_DONE) {
      // Space in the frame that reached the last state is ignored: the
      // sequence is over.
      music_set_order(timeline_skip_order(state));
      state++;
    } else if (key == SHELL_KEY_PAUSE) {
      paused = !paused;
    }
    if (!quit && config->stop_requested && config->stop_requested(config->context)) {
      quit = 1;
      limited = 1;
    }
  }
  result->final_state = state;
  if (limited)
    result->exit_path = "limit";
  return done;
}
