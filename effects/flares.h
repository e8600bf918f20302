// The four lens flares: the sequence zoomer starts them and the image cube
// flies them on from where the zoomer left them. The zoomer owns the set and
// hands it over through the show context (show->flares).
#pragma once

#include "pixmap.h"

#include <cstdint>

struct music_clock;

constexpr int32_t FLARES_COUNT = 4;
constexpr int32_t FLARES_IMAGES = 3;

struct flare {
  float life;
  float target_x, target_y; // where it spawned
  float x, y;               // current centre
  float travel;
  int32_t image; // 0 to 2
};

struct flare_set {
  music_clock* clock; // none: the set is not running
  pixmap* frame;
  pixmap* images[FLARES_IMAGES];
  flare flares[FLARES_COUNT];
};

// The flares' starting records.
void flares_reset(flare* flares);
// Draws each flare and moves it on by fd ticks; row decides respawns.
void flares_draw(flare* flares, pixmap* const* images, pixmap* frame, uint32_t row, float fd);
// One frame of the set at its clock's row and delta; nothing when the set
// is not running.
void flares_step(flare_set* set);
