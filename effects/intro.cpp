// Until this effect is written its frame step only ends the state.
#include "intro.h"

int32_t intro_init(music_clock* clock, display_driver* driver, render_context* rc, uint8_t* shade) {
  (void)clock;
  (void)driver;
  (void)rc;
  (void)shade;
  return 1;
}

int32_t intro_frame(int32_t section) {
  (void)section;
  return 0;
}
