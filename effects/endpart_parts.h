// The end part's pieces: its state and the steps of its frame that can be
// checked on their own. Shared by endpart*.cpp and the tests.
#pragma once

#include "block_fill.h"
#include "pixmap.h"

#include <cstdint>

struct music_clock;

// The ripple's grid: a corner for every 8 x 8 block of the frame.
constexpr int32_t ENDPART_GRID_COLUMNS = 42;
constexpr int32_t ENDPART_GRID_ROWS = 31;
constexpr int32_t ENDPART_BLOCK_COLUMNS = 40;
constexpr int32_t ENDPART_BLOCK_ROWS = 30;
// The end screen scrolls at most this far: it must hold this many rows and
// a frame's more.
constexpr float ENDPART_LAST_SCROLL = 1107.0f;
constexpr int32_t ENDPART_SCREEN_ROWS = 1107 + 240;
constexpr int32_t ENDPART_BLUR_WEIGHT = 58;
constexpr float ENDPART_BLUR_DIVISOR = 1024.0f;

struct endpart_state {
  music_clock* clock;
  pixmap* frame;
  pixmap* texture; // the ripple texture, 256 x 256
  pixmap* screen;  // the end screen, 320 wide and tall
  pixmap* work;
  block_corner grid[ENDPART_GRID_ROWS][ENDPART_GRID_COLUMNS];
  float reveal; // block rows drawn, 30 from the first frame
  float phi1, phi2, phi3, phi4;
  float psi; // angle of the blur's centre
  float fade;
  float scroll;
};

// The running effect's state (for the tests).
endpart_state* endpart_get_state();

// The ripple's texture coordinates at every grid corner, then the angles
// moved on by fd ticks.
void endpart_ripple(endpart_state* s, float fd);

// The work picture filled block by block from the grid.
void endpart_fill(endpart_state* s, float fd);

// Adds the end screen's rows from trunc(scroll) on to the frame where their
// first byte is not 0. Rows past the screen's end add nothing.
void endpart_add_screen(pixmap* frame, const pixmap* screen, float scroll);

// The scroll, from order 3 on, and the fades: in from black during orders 2
// and 3, out again after row 32 of order 17.
void endpart_scroll_and_fade(endpart_state* s, float fd, uint32_t order, uint32_t row);
