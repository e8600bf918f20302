// The typewriter: lines of text typed one after another, each at its own
// position, in one colour, one character per frame while the blinking block
// cursor shows. After the last line the first begins again.
#pragma once

#include "pixmap.h"

#include <cstdint>

struct typewriter_line {
  const char* text;
  int32_t x, y; // the first character's top-left corner
};

struct typewriter {
  const typewriter_line* lines;
  int32_t line_count;
  uint32_t colour; // of the text (added) and of the cursor (plain)
  int32_t line;    // the line being typed
  int32_t typed;   // characters typed beyond the first
  float blink;     // ticks / 10; the cursor shows while its whole part is odd
};

// Types on for fd ticks and draws the current line (and the cursor while it
// shows) into frame.
void typewriter_type(typewriter* t, pixmap* frame, float fd);
