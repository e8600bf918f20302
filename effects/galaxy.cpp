// Until this effect is written its frame step only ends the state.
#include "galaxy.h"

int32_t galaxy_init(music_clock* clock, pixmap* frame, uint8_t* shade) {
  (void)clock;
  (void)frame;
  (void)shade;
  return 1;
}

int32_t galaxy_frame() {
  return 1; // the sequencer leaves this state on a music order
}
