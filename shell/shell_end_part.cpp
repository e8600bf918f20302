// The end part: the main song gives way to the end song, and the end part's
// frames run until it finishes or Escape is pressed. No pause here.
#include "effect.h"
#include "shell_parts.h"

const char* shell_end_part(const shell_config* config) {
  display_driver* d = shell_state.driver;
  music_timer_stop();
  music_stop(0);
  music_load("data/endpart.xm"); // a song that fails to load is not reported
  music_play(0);
  music_timer_start(0.1f);
  for (;;) {
    const auto t0 = std::chrono::steady_clock::now();
    const int32_t running = effect_end_part.frame();
    const double us = shell_elapsed_us(t0);
    d->wait_retrace();
    music_clock_update();
    const int32_t key = shell_finish_frame();
    shell_observe(config, SHELL_END_PART, 1, us);
    if (key == SHELL_KEY_ESCAPE)
      return "escape";
    if (!running)
      return "end";
    if (config->stop_requested && config->stop_requested(config->context))
      return "limit";
  }
}
