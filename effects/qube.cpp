// Until this effect is written its frame step only ends the state.
#include "qube.h"

int32_t qube_init(show_context* show) {
  (void)show;
  return 1;
}

int32_t qube_frame() { return 0; }
