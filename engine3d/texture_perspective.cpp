// Perspective-correct texture mapping with one depth value per row: u/z, v/z
// and 1/z are interpolated across the triangle's plane and divided per pixel.
#include "drawers.h"
#include "raster.h"

#include <utility>

namespace {
// Distance from the eye to the projection plane the routine assumes.
constexpr float PERSPECTIVE_FOCAL = 256.0f;

struct persp_vertex {
  float x, y; // screen position shifted by half a pixel
  float z;    // distance from the eye
  float q;    // 1 / z
  float s, t; // u / z, v / z
};

// One edge, stepped per row: x and depth always, s, t and q on the left edge.
struct persp_edge {
  float x, z, s, t, q;
  float dx, dz, ds, dt, dq;

  // Starts the edge from a to b at the row trunc(a.y), with its values taken at trunc(a.y) + 1.
  void start(const persp_vertex& a, const persp_vertex& b) {
    const float height = b.y - a.y;
    const float k = height != 0 ? 1.0f / height : 0.0f;
    dx = (b.x - a.x) * k;
    dz = (b.z - a.z) * k;
    ds = (b.s - a.s) * k;
    dt = (b.t - a.t) * k;
    dq = (b.q - a.q) * k;
    const float pre = 1.0f - (a.y - float(raster_trunc(a.y)));
    x = a.x + pre * dx;
    z = a.z + pre * dz;
    s = a.s + pre * ds;
    t = a.t + pre * dt;
    q = a.q + pre * dq;
  }
  void advance(float rows) {
    x += rows * dx;
    z += rows * dz;
    s += rows * ds;
    t += rows * dt;
    q += rows * dq;
  }
  void step() {
    x += dx;
    z += dz;
    s += ds;
    t += dt;
    q += dq;
  }
};

struct persp_setup {
  pixmap* target;
  const pixmap* tex;
  float dsdx, dtdx, dqdx;
};

// Draws rows first .. end - 1 between the two edges; false once past the target's last row.
bool persp_rows(const persp_setup& ps, persp_edge& left, persp_edge& right, int32_t first, int32_t end) {
  pixmap* target = ps.target;
  const pixmap* tex = ps.tex;
  const float last_u = float(tex->width - 1), last_v = float(tex->height - 1);
  if (first < 0 && end > first) {
    // Rows above the target are stepped over in one go.
    const int32_t stop = end < 0 ? end : 0;
    const float skip = float(int64_t(stop) - first); // first may be as low as -2^31
    left.advance(skip);
    right.advance(skip);
    first = stop;
  }
  for (int32_t row = first; row < end; row++) {
    if (row >= target->height)
      return false;
    const float xl = left.x;
    int32_t l = raster_trunc(xl), r = raster_trunc(right.x);
    // The first pixel takes the values at trunc(xl) + 1: with the half-pixel
    // shift that is the centre of column trunc(xl), as trunc(y) + 1 is of the row.
    const float pre = 1.0f - (xl - float(l));
    float s = left.s + pre * ps.dsdx, t = left.t + pre * ps.dtdx, q = left.q + pre * ps.dqdx;
    const int32_t z = int32_t((int64_t(raster_trunc(left.z)) + raster_trunc(right.z)) / 2);
    if (l < 0) {
      const float skip = float(-int64_t(l));
      s += skip * ps.dsdx;
      t += skip * ps.dtdx;
      q += skip * ps.dqdx;
      l = 0;
    }
    if (r > target->width)
      r = target->width;
    uint32_t* out = target->pixels + target->rows[row];
    int32_t* depth = target->depth + target->rows[row];
    for (int32_t x = l; x < r; x++) {
      if (z < depth[x]) {
        // q stays positive inside the triangle; the guard keeps the edges' rounding finite.
        const float inv = 1.0f / (q > 1e-30f ? q : 1e-30f);
        const int32_t u = int32_t(raster_clamp(s * inv, 0, last_u));
        const int32_t v = int32_t(raster_clamp(t * inv, 0, last_v));
        out[x] = tex->pixels[tex->rows[v] + u];
        depth[x] = z;
      }
      s += ps.dsdx;
      t += ps.dtdx;
      q += ps.dqdx;
    }
    left.step();
    right.step();
  }
  return true;
}
} // namespace

void texture_perspective_z(const polygon* p, pixmap* target) {
  const float* uv = raster_uv(p);
  const pixmap* tex = p->texture[0];
  if (!target || !target->depth || target->width <= 0 || !uv || !tex || tex->width <= 0 || tex->height <= 0 ||
      !raster_finite(p, true))
    return;
  persp_vertex v[3];
  for (int k = 0; k < 3; k++) {
    const float z = p->v[k].z + PERSPECTIVE_FOCAL;
    // A vertex at or behind the eye cannot be projected.
    if (!(z > 0))
      return;
    const float q = 1.0f / z;
    v[k] = {p->v[k].x + 0.5f, p->v[k].y + 0.5f, z, q, uv[2 * k] * q, uv[2 * k + 1] * q};
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
  persp_setup ps;
  ps.target = target;
  ps.tex = tex;
  ps.dsdx = ((v[1].s - v[0].s) * dy2 - (v[2].s - v[0].s) * dy1) / area;
  ps.dtdx = ((v[1].t - v[0].t) * dy2 - (v[2].t - v[0].t) * dy1) / area;
  ps.dqdx = ((v[1].q - v[0].q) * dy2 - (v[2].q - v[0].q) * dy1) / area;
  // A negative area puts the middle vertex left of the long edge.
  const bool middle_left = area < 0;
  persp_edge long_edge, short_edge;
  long_edge.start(v[0], v[2]);
  short_edge.start(v[0], v[1]);
  const int32_t row0 = raster_trunc(v[0].y), row1 = raster_trunc(v[1].y), row2 = raster_trunc(v[2].y);
  persp_edge& left = middle_left ? short_edge : long_edge;
  persp_edge& right = middle_left ? long_edge : short_edge;
  if (!persp_rows(ps, left, right, row0, row1))
    return;
  short_edge.start(v[1], v[2]);
  persp_rows(ps, left, right, row1, row2);
}
