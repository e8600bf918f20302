// The sequence zoomer's pieces: the polar map of the screen, the ring lookup
// into the three pictures, the fly-in and the state the frame step animates.
// Shared by seqzoom*.cpp and the tests.
#pragma once

#include "flares.h"
#include "pixmap.h"

#include <cstdint>

struct music_clock;

constexpr int32_t SEQZOOM_WIDTH = 320;
constexpr int32_t SEQZOOM_HEIGHT = 240;
constexpr int32_t SEQZOOM_PIXELS = SEQZOOM_WIDTH * SEQZOOM_HEIGHT;
constexpr int32_t SEQZOOM_ANGLES = 256;
constexpr int32_t SEQZOOM_BAND = 200; // ring rows per picture
constexpr int32_t SEQZOOM_PICTURES = 3;
constexpr int32_t SEQZOOM_RINGS = SEQZOOM_BAND * SEQZOOM_PICTURES;
// The depth of the centre pixel, whose radius has no logarithm: far below
// every ring row at any zoom.
constexpr int32_t SEQZOOM_NO_DEPTH = -1000000;

// One screen pixel of the polar map.
struct seqzoom_polar {
  int32_t angle; // 0 to 255
  int32_t depth; // ring row at zoom 0
};

struct seqzoom_state {
  music_clock* clock;
  pixmap* frame;
  const pixmap* ring_picture;         // the intro's, not owned; none skips the fly-in
  pixmap* pictures[SEQZOOM_PICTURES]; // 1, 2 and the last one
  seqzoom_polar* polar_map;           // SEQZOOM_PIXELS entries, row-major
  const uint32_t** ring_lookup;       // SEQZOOM_RINGS x SEQZOOM_ANGLES, null draws black
  float zoom;
  float approach;
  flare_set flares; // owned here; the image cube flies them on
};

// The running effect's state (for the tests).
seqzoom_state* seqzoom_get_state();

// The polar map entry of screen pixel (px, py).
seqzoom_polar seqzoom_polar_at(int32_t px, int32_t py);
void seqzoom_fill_polar_map(seqzoom_polar* map);

// Fills ring rows base to base + 199 from picture p: row base + i, column j
// refers to pixel (trunc(i cos t) + w/2, trunc(i sin t) + h/2) with
// t = pi + j pi / 128 when that lies strictly inside (column and row 0 and
// everything past the picture give null).
void seqzoom_fill_band(const uint32_t** lookup, int32_t base, const pixmap* p);

// One polar pass at zoom z: every pixel whose ring row z + depth lies
// strictly between 0 and 600 takes its lookup's pixel (black for null).
void seqzoom_polar_pass(pixmap* frame, const seqzoom_polar* map, const uint32_t* const* lookup, int32_t z);

// Stretches the ring picture's rectangle for this approach over the frame.
void seqzoom_fly_in(pixmap* frame, const pixmap* ring, float approach);
