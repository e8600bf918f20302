// Until this effect is written its frame step only ends the state.
#include "endpart.h"

int32_t endpart_init(show_context* show) {
  (void)show;
  return 1;
}

int32_t endpart_frame() { return 0; }
