// Until this effect is written its frame step only ends the state.
#include "mirrors.h"

int32_t mirrors_init(pixmap* frame, music_clock* clock, uint8_t* shade) {
  (void)frame;
  (void)clock;
  (void)shade;
  return 1;
}

int32_t mirrors_frame() { return 0; }
