// The loading screen: the loading picture with an orange progress bar that
// grows by ten columns after each effect init.
#pragma once

#include "display.h"
#include "pixmap.h"

struct loading_screen {
  const pixmap* picture;
  int32_t bar_end; // exclusive end column of the bar, starts at 90
};

constexpr uint32_t LOADING_BAR_COLOUR = 0xC4FF; // red 255, green 196, blue 0

void loading_begin(loading_screen* screen, const pixmap* picture);
// Redraws the picture and the bar into the frame, presents it, and grows the bar.
void loading_progress(loading_screen* screen, display_driver* driver, pixmap* frame);
