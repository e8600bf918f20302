// Until this effect is written its frame step only ends the state.
#include "lobj.h"

int32_t lobj_init(music_clock* clock, pixmap* frame, render_context* rc) {
  (void)clock;
  (void)frame;
  (void)rc;
  return 1;
}

int32_t lobj_frame() { return 0; }
