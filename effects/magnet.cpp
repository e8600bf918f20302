// Until this effect is written its frame step only ends the state.
#include "magnet.h"

int32_t magnet_init(show_context* show) {
  (void)show;
  return 1;
}

int32_t magnet_frame() { return 0; }
