// Until this effect is written its frame step only ends the state.
#include "mirrors.h"

int32_t mirrors_init(show_context* show) {
  (void)show;
  return 1;
}

int32_t mirrors_frame() { return 0; }
