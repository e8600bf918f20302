// Until this effect is written its frame step only ends the state.
#include "tunnel.h"

#include "pixmap.h"

static pixmap* tunnel_frame_pixmap = nullptr;
static int32_t tunnel_started = 0;

int32_t tunnel_init(music_clock* clock, pixmap* frame) {
  (void)clock;
  tunnel_frame_pixmap = frame;
  tunnel_started = 0;
  return 1;
}

int32_t tunnel_frame() {
  // The flight draws with depth: its first frame switches the frame's depth
  // handling on (the sequencer switches it off when the state is left).
  if (!tunnel_started) {
    tunnel_started = 1;
    tunnel_frame_pixmap->flags |= PIXMAP_DEPTH;
  }
  return 0; // the sequencer leaves this state on a music order
}
