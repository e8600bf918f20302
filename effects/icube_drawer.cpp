// The cube's texture drawer: 1/z, u/z and v/z are interpolated over the
// screen and divided at every pixel, so the faces that reach past the viewer
// stay undistorted. Textures are 256 x 256 and wrap.
#include "icube_parts.h"

#include "raster.h"

#include <cmath>
#include <utility>

namespace {
struct cube_vertex {
  float x, y; // screen position shifted by half a pixel
  float q;    // 1 / eye distance
  float s, t; // u / eye distance, v / eye distance
};

// One edge stepped per row: x always, s, t and q for the left edge.
struct cube_edge {
  float x, s, t, q;
  float dx, ds, dt, dq;

  // Starts the edge from a to b with its values taken at row trunc(a.y) + 1.
  void start(const cube_vertex& a, const cube_vertex& b) {
    const float height = b.y - a.y;
    const float k = height != 0 ? 1.0f / height : 0.0f;
    dx = (b.x - a.x) * k;
    ds = (b.s - a.s) * k;
    dt = (b.t - a.t) * k;
    dq = (b.q - a.q) * k;
    const float pre = 1.0f - (a.y - float(raster_trunc(a.y)));
    x = a.x + pre * dx;
    s = a.s + pre * ds;
    t = a.t + pre * dt;
    q = a.q + pre * dq;
  }
  void advance(float rows) {
    x += rows * dx;
    s += rows * ds;
    t += rows * dt;
    q += rows * dq;
  }
};

struct cube_setup {
  pixmap* target;
  const uint32_t* texels; // 256 x 256
  float dsdx, dtdx, dqdx;
};

// A texel coordinate: trunc toward zero, then the low 8 bits. Values beyond
// the integer range (a q rounded to nearly 0 at a clipped edge) saturate.
inline int32_t wrap(float a) { return raster_trunc(a) & 255; }

// Draws rows first .. end - 1 between the edges; false once past the last row.
bool cube_rows(const cube_setup& cs, cube_edge& left, cube_edge& right, int32_t first, int32_t end) {
  pixmap* target = cs.target;
  if (first < 0 && end > first) {
    // Rows above the target are stepped over in one go.
    const int32_t skip = (end < 0 ? end : 0) - first;
    left.advance(float(skip));
    right.advance(float(skip));
    first += skip;
  }
  for (int32_t row = first; row < end; row++) {
    if (row >= target->height)
      return false;
    const float xl = left.x;
    int32_t l = raster_trunc(xl), r = raster_trunc(right.x);
    const float pre = 1.0f - (xl - float(l));
    float s = left.s + pre * cs.dsdx, t = left.t + pre * cs.dtdx, q = left.q + pre * cs.dqdx;
    if (l < 0) {
      const float skip = float(-int64_t(l));
      s += skip * cs.dsdx;
      t += skip * cs.dtdx;
      q += skip * cs.dqdx;
      l = 0;
    }
    if (r > target->width)
      r = target->width;
    uint32_t* out = target->pixels + target->rows[row];
    for (int32_t x = l; x < r; x++) {
      const float w = 1.0f / q;
      out[x] = cs.texels[wrap(t * w) * ICUBE_TEXTURE + wrap(s * w)];
      s += cs.dsdx;
      t += cs.dtdx;
      q += cs.dqdx;
    }
    left.advance(1.0f);
    right.advance(1.0f);
  }
  return true;
}
} // namespace

void icube_draw_triangle(const polygon* p, pixmap* target) {
  const float* uv = raster_uv(p);
  const pixmap* tex = p->texture[0];
  if (!target || target->width <= 0 || !uv || !tex || tex->width != ICUBE_TEXTURE || tex->height < ICUBE_TEXTURE ||
      !raster_finite(p, true))
    return;
  cube_vertex v[3];
  for (int k = 0; k < 3; k++) {
    const float z = p->v[k].z + ICUBE_FOCAL;
    // The pipeline clips to the view pyramid, so every vertex is in front
    // of the eye; a vertex at or behind it cannot be projected.
    if (!(z > 0))
      return;
    const float q = 1.0f / z;
    v[k] = {p->v[k].x + 0.5f, p->v[k].y + 0.5f, q, uv[2 * k] * q, uv[2 * k + 1] * q};
  }
  if (v[0].y > v[1].y)
    std::swap(v[0], v[1]);
  if (v[0].y > v[2].y)
    std::swap(v[0], v[2]);
  if (v[1].y > v[2].y)
    std::swap(v[1], v[2]);
  // Gradients across x from the triangle's plane; zero area draws nothing.
  const float dy1 = v[1].y - v[0].y, dy2 = v[2].y - v[0].y;
  const float area = (v[1].x - v[0].x) * dy2 - (v[2].x - v[0].x) * dy1;
  if (area == 0 || !std::isfinite(area))
    return;
  cube_setup cs;
  cs.target = target;
  cs.texels = tex->pixels + tex->rows[0];
  cs.dsdx = ((v[1].s - v[0].s) * dy2 - (v[2].s - v[0].s) * dy1) / area;
  cs.dtdx = ((v[1].t - v[0].t) * dy2 - (v[2].t - v[0].t) * dy1) / area;
  cs.dqdx = ((v[1].q - v[0].q) * dy2 - (v[2].q - v[0].q) * dy1) / area;
  // A negative area puts the middle vertex left of the long edge.
  const bool middle_left = area < 0;
  cube_edge long_edge, short_edge;
  long_edge.start(v[0], v[2]);
  short_edge.start(v[0], v[1]);
  const int32_t row0 = raster_trunc(v[0].y), row1 = raster_trunc(v[1].y), row2 = raster_trunc(v[2].y);
  cube_edge& left = middle_left ? short_edge : long_edge;
  cube_edge& right = middle_left ? long_edge : short_edge;
  if (!cube_rows(cs, left, right, row0, row1))
    return;
  short_edge.start(v[1], v[2]);
  cube_rows(cs, left, right, row1, row2);
}
