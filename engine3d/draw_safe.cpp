// The SAFE set: integer routines that build per-row edge tables and store
// through bounds tests.
#include "drawers.h"
#include "raster.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace {
// Rows the edge tables hold; rows outside 0 .. SAFE_ROWS - 1 are not drawn.
constexpr int32_t SAFE_ROWS = 1024;

// Edge tables for edges that run up and down the screen: x, texture u and v,
// and light intensity. Shared by all calls (one drawing at a time).
struct safe_tables {
  int32_t up[SAFE_ROWS];
  int32_t down[SAFE_ROWS];
};
safe_tables table_x, table_u, table_v, table_i;

// Walks one edge from its upper row to its lower row (upper < lower), storing
// trunc(value) per row; value starts at start and grows by slope per row.
void safe_walk(int32_t* table, int32_t upper, int32_t lower, float start, float slope) {
  float value = start;
  int64_t y = upper;
  if (y < 0) {
    value += slope * float(-y);
    y = 0;
  }
  const int64_t last = std::min<int64_t>(lower, SAFE_ROWS - 1);
  for (; y <= last; y++) {
    table[y] = raster_trunc(value);
    value += slope;
  }
}

// The triangle's vertices with truncated screen coordinates, and the rows it spans.
struct safe_triangle {
  int32_t x[3];
  int32_t y[3];
  int32_t top, bottom;
};

// Truncates the vertices; false when the triangle is not finite or lies on one row.
bool safe_setup(const polygon* p, safe_triangle* t) {
  if (!raster_finite(p, false))
    return false;
  for (int k = 0; k < 3; k++) {
    t->x[k] = raster_trunc(p->v[k].x);
    t->y[k] = raster_trunc(p->v[k].y);
  }
  t->top = std::min({t->y[0], t->y[1], t->y[2]});
  t->bottom = std::max({t->y[0], t->y[1], t->y[2]});
  // Three vertices on one row walk no edge: nothing is drawn.
  return t->top != t->bottom;
}

// Walks the three edges V0-V1, V1-V2, V2-V0 with the per-vertex values into
// tables: horizontal edges are skipped; an edge whose end is higher on the
// screen than its start goes into the up table, else into the down table.
void safe_edges(const safe_triangle& t, const float value[3], safe_tables* tables) {
  for (int k = 0; k < 3; k++) {
    const int s = k, e = (k + 1) % 3;
    if (t.y[s] == t.y[e])
      continue;
    const bool upwards = t.y[e] < t.y[s];
    const int hi = upwards ? e : s, lo = upwards ? s : e;
    const float slope = (value[lo] - value[hi]) / float(int64_t(t.y[lo]) - t.y[hi]);
    safe_walk(upwards ? tables->up : tables->down, t.y[hi], t.y[lo], value[hi], slope);
  }
}

// The x tables, walked from the truncated screen positions.
void safe_edges_x(const safe_triangle& t) {
  const float x[3] = {float(t.x[0]), float(t.x[1]), float(t.x[2])};
  safe_edges(t, x, &table_x);
}

// Rows of the triangle that the tables hold and the target has.
void safe_rows(const safe_triangle& t, int32_t height, int32_t* first, int32_t* last) {
  *first = std::max(t.top, 0);
  *last = std::min({t.bottom, SAFE_ROWS - 1, height - 1});
}

// Texel at (trunc(u), trunc(v)), clamped to the texture's edges.
inline uint32_t safe_texel(const pixmap* tex, float u, float v) {
  const int32_t col = int32_t(raster_clamp(u, 0, float(tex->width - 1)));
  const int32_t row = int32_t(raster_clamp(v, 0, float(tex->height - 1)));
  return tex->pixels[tex->rows[row] + col];
}

// Shared body of the two texture routines; with gouraud each texel is
// modulated by the interpolated vertex intensity.
template <bool GOURAUD> void safe_texture_draw(const polygon* p, pixmap* target) {
  const float* uv = raster_uv(p);
  const pixmap* tex = p->texture[0];
  safe_triangle t;
  if (!target || !uv || !tex || tex->width <= 0 || tex->height <= 0 || !safe_setup(p, &t))
    return;
  safe_edges_x(t);
  const float u[3] = {uv[0], uv[2], uv[4]}, v[3] = {uv[1], uv[3], uv[5]};
  safe_edges(t, u, &table_u);
  safe_edges(t, v, &table_v);
  if (GOURAUD) {
    const float i[3] = {float(p->vertex_shade[0]), float(p->vertex_shade[1]), float(p->vertex_shade[2])};
    safe_edges(t, i, &table_i);
  }
  const float inv255 = std::bit_cast<float>(0x3B808081u);
  int32_t first, last;
  safe_rows(t, target->height, &first, &last);
  for (int32_t y = first; y <= last; y++) {
    const int32_t left = table_x.up[y], right = table_x.down[y];
    const int64_t n = int64_t(right) - left;
    if (n < 0)
      continue;
    // A one-pixel span has no width to divide by; its steps are never used.
    const float width = float(n);
    const float du = n ? float(int64_t(table_u.down[y]) - table_u.up[y]) / width : 0.0f;
    const float dv = n ? float(int64_t(table_v.down[y]) - table_v.up[y]) / width : 0.0f;
    const float di = GOURAUD && n ? float(int64_t(table_i.down[y]) - table_i.up[y]) / width : 0.0f;
    float uu = float(table_u.up[y]), vv = float(table_v.up[y]), ii = GOURAUD ? float(table_i.up[y]) : 0.0f;
    int32_t x = left;
    const int32_t end = std::min(right, target->width - 1);
    if (x < 0) {
      // Columns left of the target are skipped, not drawn.
      const float skip = float(-int64_t(x));
      uu += du * skip;
      vv += dv * skip;
      ii += di * skip;
      x = 0;
    }
    uint32_t* out = target->pixels + target->rows[y];
    for (; x <= end; x++) {
      const uint32_t texel = safe_texel(tex, uu, vv);
      if (GOURAUD) {
        uint32_t pixel = out[x] & 0xFF000000u;
        for (int k = 0; k < 3; k++) {
          const float c = ii * float((texel >> (8 * k)) & 255) * inv255;
          pixel |= uint32_t(raster_clamp(c, 0, 255)) << (8 * k);
        }
        out[x] = pixel;
        ii += di;
      } else {
        out[x] = texel;
      }
      uu += du;
      vv += dv;
    }
  }
}
} // namespace

void safe_line(pixmap* target, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) {
  if (!target)
    return;
  int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
  if (std::llabs(dy) < std::llabs(dx)) {
    if (x1 < x0) {
      std::swap(x0, x1);
      std::swap(y0, y1);
      dx = -dx;
      dy = -dy;
    }
    // 8 fraction bits; only the columns of the target are walked, which
    // gives the same rows as stepping from the start.
    const int64_t slope = dy * 256 / dx;
    const int64_t first = std::max<int64_t>(x0, 0), last = std::min<int64_t>(x1, target->width - 1);
    int64_t y = int64_t(y0) * 256 + (first - x0) * slope;
    for (int64_t x = first; x <= last; x++) {
      const int64_t row = y >> 8;
      if (row >= 0 && row < target->height)
        pixmap_put_pixel(target, int32_t(x), int32_t(row), colour);
      y += slope;
    }
  } else {
    // A line of length zero draws nothing.
    if (y0 == y1)
      return;
    if (y1 < y0) {
      std::swap(x0, x1);
      std::swap(y0, y1);
      dx = -dx;
      dy = -dy;
    }
    const int64_t slope = dx * 256 / dy;
    const int64_t first = std::max<int64_t>(y0, 0), last = std::min<int64_t>(y1, target->height - 1);
    int64_t x = int64_t(x0) * 256 + (first - y0) * slope;
    for (int64_t y = first; y <= last; y++) {
      const int64_t col = x >> 8;
      if (col >= 0 && col < target->width)
        pixmap_put_pixel(target, int32_t(col), int32_t(y), colour);
      x += slope;
    }
  }
}

void safe_solid(const polygon* p, pixmap* target) {
  safe_triangle t;
  if (!target || !safe_setup(p, &t))
    return;
  safe_edges_x(t);
  int32_t first, last;
  safe_rows(t, target->height, &first, &last);
  for (int32_t y = first; y <= last; y++) {
    // Columns outside the target would be skipped by the bounds test anyway.
    const int32_t left = std::max(table_x.up[y], 0), right = std::min(table_x.down[y], target->width - 1);
    for (int32_t x = left; x <= right; x++)
      pixmap_put_pixel(target, x, y, p->colour);
  }
}

void safe_texture(const polygon* p, pixmap* target) { safe_texture_draw<false>(p, target); }

void safe_texture_gouraud(const polygon* p, pixmap* target) { safe_texture_draw<true>(p, target); }
