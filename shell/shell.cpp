// The entry routine: start-up, the main sequence, the end part when the
// sequence reached its end, and shut-down.
#include "shell.h"

#include "effect.h"
#include "shell_parts.h"
#include "vfs.h"

#include <cstdio>
#include <cstring>

shell_show shell_state;

int shell_fatal(const shell_config* config, const char* message) {
  music_shutdown();
  if (const char* note = vfs_failure_text())
    std::fprintf(stderr, "%s\n", note);
  std::fputs(message, stderr);
  const size_t len = std::strlen(message);
  if (len == 0 || message[len - 1] != '\n')
    std::fputc('\n', stderr);
  if (config->message_box)
    config->message_box(message, "Error");
  if (config->result)
    config->result->exit_path = "fatal";
  return 1;
}

int32_t shell_finish_frame() {
  display_driver* d = shell_state.driver;
  if (shell_state.hidden_mode)
    hidden_sprite_step(&shell_state.sprite, shell_state.frame);
  d->present(0, 0, shell_state.frame, 0, 0, shell_state.frame->width, shell_state.frame->height);
  return d->read_key();
}

void shell_observe(const shell_config* config, int32_t state, int32_t stepped, double step_us) {
  if (!config->frame_observer)
    return;
  const shell_frame_info info{.part_state = state,
                              .stepped = stepped,
                              .step_us = step_us,
                              .order = shell_state.clock->order,
                              .row = shell_state.clock->row,
                              .frame_flags = shell_state.frame->flags};
  config->frame_observer(config->context, &info);
}

double shell_elapsed_us(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - since).count();
}

int shell_run(const shell_config* config) {
  shell_result local{};
  shell_result* result = config->result ? config->result : &local;
  *result = shell_result{.final_state = TIMELINE_FIRST_STATE, .end_part_ran = 0, .exit_path = "end"};

  int status = shell_start(config);
  if (status >= 0)
    return status;
  status = shell_init_effects(config);
  if (status >= 0)
    return status;

  music_play(0);
  music_timer_start(0.1f);

  display_driver* d = config->driver;
  if (shell_sequence(config, result)) {
    if (!effect_end_part.init(&shell_state.context)) {
      d->close();
      return shell_fatal(config, effect_end_part.init_message);
    }
    result->end_part_ran = 1;
    result->exit_path = shell_end_part(config);
  }

  music_shutdown();
  d->close();
  return 0;
}
