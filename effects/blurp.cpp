// Until this effect is written its frame step only ends the state. Its init
// already seeds the program's generator from the clock, as the real one does.
#include "blurp.h"

#include "random.h"

int32_t blurp_init(show_context* show) {
  (void)show;
  demo_srand_clock();
  return 1;
}

int32_t blurp_frame() { return 0; }
