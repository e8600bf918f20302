#include "picture_fit.h"

#include "vfs.h"

#include <cstdio>

pixmap* picture_fit(pixmap* p, const char* name, int32_t width, int32_t height) {
  if (!p || (p->pixels && p->width == width && p->height >= height))
    return p;
  char why[64];
  std::snprintf(why, sizeof why, "not %d pixels wide and at least %d high", int(width), int(height));
  vfs_note_failure(name, why);
  pixmap_free(p);
  return nullptr;
}
