#include "loading.h"

void loading_begin(loading_screen* screen, const pixmap* picture) {
  screen->picture = picture;
  screen->bar_end = 90;
}

void loading_progress(loading_screen* screen, display_driver* driver, pixmap* frame) {
  pixmap_blit(frame, 0, 0, screen->picture, 0, 0, 320, 240);
  pixmap_fill_rect(frame, 80, 40, screen->bar_end - 80, 4, LOADING_BAR_COLOUR);
  driver->present(0, 0, frame, 0, 0, 320, 240);
  screen->bar_end += 10;
}
