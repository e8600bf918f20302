// The radial-blur credits' pieces: their state and the steps of their frame
// that can be checked on their own. Shared by blurp*.cpp and the tests.
#pragma once

#include "pixmap.h"
#include "scx.h"
#include "show_context.h"

#include <cstdint>

struct music_clock;

constexpr int32_t BLURP_CREDITS = 15;
// A launched credit is drawn while 0 < stage < 64: 128 ticks.
constexpr float BLURP_LAST_STAGE = 64.0f;
// Plate values above this are letters.
constexpr int32_t BLURP_LETTER = 128;
// The phases of order 12: the background shows up to this row, then the
// picture cross-fades into the mirror hall's; the weighted blur wanders up to
// the second row, then relaxes.
constexpr uint32_t BLURP_FADE_ORDER = 12;
constexpr uint32_t BLURP_BACKGROUND_LAST_ROW = 64;
constexpr uint32_t BLURP_BLUR_LAST_ROW = 110;
constexpr float BLURP_FADE_STEPS = 64.0f;
constexpr int32_t BLURP_BLUR_WEIGHT = 52;
// Random places are drawn at most this often before a plate that never fits
// is pushed inside the frame.
constexpr int32_t BLURP_PLACE_TRIES = 1000;

struct blurp_credit {
  scx_bitmap* bitmap;
  float stage;              // below -1 while waiting, then rising
  float x0, y0, x1, y1;     // current rectangle
  float sx0, sy0, sx1, sy1; // start rectangle
  float dx0, dy0, dx1, dy1; // step of each coordinate per stage
};

struct blurp_state {
  music_clock* clock;
  pixmap* frame;
  uint8_t* shade;     // received, not used
  show_context* show; // the mirror hall's picture is read from here
  pixmap* background;
  scx_bitmap* text;
  pixmap* dot;
  pixmap* work;
  pixmap* black; // what the picture fades into while the mirror hall has none
  blurp_credit credits[BLURP_CREDITS];
  int32_t next_credit;
  int32_t beat;
  float scroll, scroll_frac, scroll_angle;
  float blur_factor;
  float centre_x, centre_y;
  float angle1, angle2, angle3;
  float fade;
};

// The running effect's state (for the tests).
blurp_state* blurp_get_state();

// Places a credit of its bitmap's size: the start rectangle twice the size
// at a random place, the target half the size at another, and the steps
// between them. Both rectangles lie inside the 320 x 240 frame whatever the
// size (the random draws are those of the show for plates that fit).
void blurp_place_credit(blurp_credit* c);

// Adds level (its low 8 bits) to every colour channel of the pixels where
// the bitmap, stretched over [x0, x1) x [y0, y1), is above 128; clipped to
// the destination.
void blurp_draw_credit(pixmap* dst, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const scx_bitmap* bitmap,
                       int32_t level);

// Draws the launched credits into the work picture, moves them on by fd
// ticks, and launches the next one at the start of a 16-row bar.
void blurp_credits_step(blurp_state* s, float fd, uint32_t row);

// The rotating dot scroller, into the work picture; nothing once it has
// passed the text's end.
void blurp_scroller(blurp_state* s, float fd);

// The picture the credits fade into: the mirror hall's opening picture, or
// black while there is none of the frame's size.
const pixmap* blurp_fade_target(const blurp_state* s);

// The work picture's base: the background, later the cross-fade.
void blurp_base(blurp_state* s, float fd, uint32_t order, uint32_t row);

// The work picture smeared into the frame by the wandering weighted blur,
// later by the plain blur as it relaxes, at last copied.
void blurp_blur(blurp_state* s, float fd, uint32_t order, uint32_t row);
