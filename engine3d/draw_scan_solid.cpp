#include "drawers.h"
#include "scan_frame.h"

void scan_solid(const polygon* p, pixmap* target) {
  if (!target)
    return;
  uint32_t colour = p->colour;
  if (p->flags & POLY_FLAT_LIT) {
    // Grey of the flat light intensity.
    colour = uint32_t(p->shade & 255) * 0x010101u;
  }
  const vec3* v = p->v;
  uint32_t* pixels = target->pixels;
  const int32_t* rows = target->rows;
  scan_triangle<0, true>({v[0].y, {v[0].x}}, {v[1].y, {v[1].x}}, {v[2].y, {v[2].x}}, target->width, target->height,
                         [&](int32_t row, int32_t l, int32_t r, const scan_values&, const scan_values&) {
                           uint32_t* out = pixels + rows[row];
                           for (int32_t x = l; x < r; x++)
                             out[x] = colour;
                         });
}
