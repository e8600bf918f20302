// The show's entry routine: start-up, the part sequencer, the end part and
// shut-down, on whichever display driver the program binds.
#pragma once

#include "display.h"

#include <cstdint>

// The state the sequencer reports for frames of the end part.
constexpr int32_t SHELL_END_PART = 15;

// What one frame did, for programs that measure the show.
struct shell_frame_info {
  int32_t part_state; // the state whose step ran (SHELL_END_PART in the end part)
  int32_t stepped;    // 0 while paused
  double step_us;     // wall time of the effect step
  uint32_t order;     // music position after the frame's clock update
  uint32_t row;
  uint32_t frame_flags; // flags of the frame pixmap after the frame
};

// How the show ended.
struct shell_result {
  int32_t final_state;   // part_state when the main sequence was left
  int32_t end_part_ran;  // 1 when the end part was played
  const char* exit_path; // "end", "escape", "limit" or "fatal"
};

// How a program runs the show.
struct shell_config {
  display_driver* driver;
  // Shows a fatal message to the person watching (the windowed programs'
  // message box); fatal messages always go to standard error as well.
  void (*message_box)(const char* text, const char* caption);
  // Optional: called after every frame of the sequence and the end part.
  void (*frame_observer)(void* context, const shell_frame_info* info);
  // Optional: asked after every frame; nonzero ends the show at once, as a
  // normal end without the end part (demo_render's frame and time limits).
  int (*stop_requested)(void* context);
  void* context;
  shell_result* result; // optional
};

// Runs the whole show; returns the process exit status (0 after a normal
// end, 1 after a fatal error).
int shell_run(const shell_config* config);
