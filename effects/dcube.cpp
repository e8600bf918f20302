// Until this effect is written its frame step only ends the state.
#include "dcube.h"

int32_t dcube_init(music_clock* clock, display_driver* driver, pixmap* frame, uint8_t* shade) {
  (void)clock;
  (void)driver;
  (void)frame;
  (void)shade;
  return 1;
}

int32_t dcube_frame() { return 0; }
