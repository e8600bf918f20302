// The show's entry routine: start-up, the part sequencer, the end part and
// shut-down, on whichever display driver the program binds.
#pragma once

#include "display.h"

#include <cstdint>

// How a program runs the show.
struct shell_config {
  display_driver* driver;
  // Shows a fatal message to the person watching (the windowed programs'
  // message box); fatal messages always go to standard error as well.
  void (*message_box)(const char* text, const char* caption);
};

// Runs the whole show; returns the process exit status (0 after a normal
// end, 1 after a fatal error).
int shell_run(const shell_config* config);
