// Until this effect is written its frame step only ends the state.
#include "hypervoxel.h"

#include "pixmap.h"

static pixmap* hypervoxel_frame_pixmap = nullptr;

int32_t hypervoxel_init(show_context* show) {
  hypervoxel_frame_pixmap = show->frame;
  return 1;
}

int32_t hypervoxel_frame() {
  // The first frame sets the frame's whole flag word to depth only; the last
  // toggles the depth bit off again. Here the first frame is the last.
  hypervoxel_frame_pixmap->flags = PIXMAP_DEPTH;
  hypervoxel_frame_pixmap->flags ^= PIXMAP_DEPTH;
  return 0;
}
