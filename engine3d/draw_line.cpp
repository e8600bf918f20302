#include "drawers.h"
#include "raster.h"

#include <algorithm>
#include <cstdlib>

namespace {
// Narrows the steps [first, end) of a point p0 + i * step to those whose
// coordinate can lie in (-1, limit), where its truncation is a valid index.
void line_narrow(float p0, float step, int32_t limit, int64_t* first, int64_t* end) {
  if (step == 0) {
    if (!(p0 > -1 && p0 < float(limit)))
      *end = *first;
    return;
  }
  double lo = (-1.0 - p0) / step, hi = (double(limit) - p0) / step;
  if (step < 0)
    std::swap(lo, hi);
  // A step of margin on both sides covers the rounding of the stepped positions.
  const double limit_steps = double(*end);
  *first = std::max<int64_t>(*first, int64_t(std::clamp(lo - 1, 0.0, limit_steps)));
  *end = std::min<int64_t>(*end, int64_t(std::clamp(hi + 2, 0.0, limit_steps)));
}
} // namespace

void float_line(pixmap* target, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) {
  const int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
  const float n = float(std::max(std::llabs(dx), std::llabs(dy)));
  if (n < 1)
    return;
  const float sx = float(dx) / n, sy = float(dy) / n;
  int64_t first = 0, end = int64_t(std::ceil(n));
  // Long lines are cut to the steps that can reach the target; a line that
  // lies in the target keeps its exact step-by-step positions.
  if (end > 4096) {
    line_narrow(float(x0), sx, target->width, &first, &end);
    line_narrow(float(y0), sy, target->height, &first, &end);
  }
  float x = float(double(x0) + double(first) * sx), y = float(double(y0) + double(first) * sy);
  for (int64_t i = first; i < end; i++) {
    const int32_t px = raster_trunc(x), py = raster_trunc(y);
    // The clipping of render_polygon keeps lines inside; direct callers may not.
    if (px >= 0 && py >= 0 && px < target->width && py < target->height)
      target->pixels[target->rows[py] + px] = colour;
    x += sx;
    y += sy;
  }
}

namespace {
void wire(const polygon* p, pixmap* target, line_routine line) {
  if (!target || !raster_finite(p, false))
    return;
  static constexpr uint32_t edge_flags[3] = {POLY_EDGE01, POLY_EDGE12, POLY_EDGE20};
  for (int k = 0; k < 3; k++) {
    if (p->flags & edge_flags[k]) {
      const vec3& a = p->v[k];
      const vec3& b = p->v[(k + 1) % 3];
      line(target, raster_trunc(a.x), raster_trunc(a.y), raster_trunc(b.x), raster_trunc(b.y), p->colour);
    }
  }
}
} // namespace

void float_wire(const polygon* p, pixmap* target) { wire(p, target, float_line); }
void safe_wire(const polygon* p, pixmap* target) { wire(p, target, safe_line); }
