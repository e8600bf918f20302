// The shell's pieces: what start-up creates, and the steps of shell_run in
// their own files (start-up, the sequence, the end part).
#pragma once

#include "hidden.h"
#include "loading.h"
#include "music.h"
#include "render_context.h"
#include "shade.h"
#include "shell.h"
#include "show_context.h"

#include <chrono>
#include <cstdint>

// Keys as the driver's read_key translates them.
constexpr int32_t SHELL_KEY_ESCAPE = VK_ESCAPE;
constexpr int32_t SHELL_KEY_SPACE = VK_SPACE;
constexpr int32_t SHELL_KEY_PAUSE = 'p'; // lower case only: not with Shift or Caps Lock

// Everything start-up creates. It lives until the process ends and stays
// reachable from here.
struct shell_show {
  display_driver* driver;
  pixmap* frame;
  render_context* rc;
  uint8_t shade[SHADE_TABLE_BYTES];
  music_clock* clock;
  pixmap* loading_picture;
  loading_screen loading;
  int32_t hidden_mode;
  pixmap* sprite_picture;
  hidden_sprite sprite;
  show_context context; // what the effects' inits receive
};
extern shell_show shell_state;

// The one error path of start-up: the music stops (closing the audio
// device), the message goes to standard error and to the person watching.
// Standard error first names the file that could not be loaded, if any.
// Returns the exit status.
int shell_fatal(const shell_config* config, const char* message);

// Start-up up to the open display (shell_startup.cpp). Returns -1 when it
// went well, else the exit status.
int shell_start(const shell_config* config);
// Runs the effects' inits in their order, each followed by a step of the
// loading bar. Returns -1 when all succeeded, else the exit status.
int shell_init_effects(const shell_config* config);

// The main sequence from state -1 (shell_sequence.cpp). Records how it was
// left in result; returns 1 when the last state was reached.
int32_t shell_sequence(const shell_config* config, shell_result* result);

// The end part with its own song (shell_end_part.cpp); returns how it was left.
const char* shell_end_part(const shell_config* config);

// The common tail of every frame: the hidden sprite if its mode is on, the
// frame presented, one key read and returned.
int32_t shell_finish_frame();
// Hands one frame's figures to the program's observer, if it has one.
void shell_observe(const shell_config* config, int32_t state, int32_t stepped, double step_us);
double shell_elapsed_us(std::chrono::steady_clock::time_point since);
