// The scan converter shared by the solid fill and the texture routines:
// vertex sorting, trivial rejection, edge slopes, clipping at the top, and the
// row loop. The routines differ only in what the edges carry besides x and in
// what they do with each row's span.
#pragma once

#include "pixel4.h"
#include "raster.h"

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <utility>

// A vertex of the converter: screen y, then screen x and N attributes.
template <int N> struct scan_vertex {
  float y;
  float c[N + 1];
};

// An edge's x and its attributes (up to three; the lanes beyond are zero),
// stepped together: each lane is computed as the scalar code would, so the
// values are the same bits.
using scan_values = floats4;

template <int N> inline scan_values scan_values_of(const scan_vertex<N>& v) {
  static_assert(N >= 0 && N <= 3, "x and at most three attributes");
  scan_values s = {};
  for (int i = 0; i <= N; i++)
    s[i] = v.c[i];
  return s;
}

// Scan-converts the triangle (a, b, c) into a width x height target. For every
// row with a non-empty span, row_fn(row, l, r, left, right) is called: columns
// l .. r - 1 (0 <= l < r <= width - 1), and the edge values (x, then the
// attributes: scan_values) of the left and right edges at this row. SOLID selects the solid
// fill's variant: a flat top keeps equal x unswapped and the right end is
// ceil16(right x) instead of trunc(right x). Rows that hold a vertex exactly at
// their top edge take their values there; otherwise, as the row counter starts
// at trunc(y), the values of the next whole y.
template <int N, bool SOLID, typename RowFn>
inline void scan_triangle(scan_vertex<N> a, scan_vertex<N> b, scan_vertex<N> c, int32_t width, int32_t height,
                          RowFn&& row_fn) {
  if (width <= 0 || height <= 0)
    return;
  for (const scan_vertex<N>* v : {&a, &b, &c}) {
    if (!std::isfinite(v->y) || !std::isfinite(v->c[0]))
      return;
  }
  if (a.y > b.y)
    std::swap(a, b);
  if (a.y > c.y)
    std::swap(a, c);
  if (b.y > c.y)
    std::swap(b, c);
  // A flat top has its left vertex first.
  if (a.y == b.y && (SOLID ? a.c[0] > b.c[0] : a.c[0] >= b.c[0]))
    std::swap(a, b);

  const float last_col = float(width - 1), last_row = float(height - 1);
  const float x0 = a.c[0], x1 = b.c[0], x2 = c.c[0];
  if (a.y > last_row || c.y < 0)
    return;
  if ((x0 < x1 && x0 < x2 && x0 > last_col) || (x1 < x0 && x1 < x2 && x1 > last_col) ||
      (x2 < x0 && x2 < x1 && x2 > last_col))
    return;
  if ((x0 > x1 && x0 > x2 && x0 < 0) || (x1 > x0 && x1 > x2 && x1 < 0) || (x2 > x0 && x2 > x1 && x2 < 0))
    return;
  if (c.y == a.y)
    return;

  // Slopes per unit y of x and of every attribute: long edge, upper and lower short edges.
  const scan_values va = scan_values_of(a), vb = scan_values_of(b), vc = scan_values_of(c);
  const scan_values long_slope = (vc - va) / (c.y - a.y);
  const scan_values upper_slope = b.y != a.y ? (vb - va) / (b.y - a.y) : scan_values{};
  const scan_values lower_slope = c.y != b.y ? (vc - vb) / (c.y - b.y) : scan_values{};

  scan_values left, right, left_slope = long_slope, right_slope = long_slope;
  auto advance = [&](float steps) {
    left += steps * left_slope;
    right += steps * right_slope;
  };
  // Draws rows first .. end - 1; false once a row is beyond the target, which ends the triangle.
  auto run_rows = [&](int32_t row, int32_t end) {
    for (; row < end; row++) {
      int32_t l = raster_trunc(left[0]);
      int32_t r = SOLID ? raster_ceil16(right[0]) : raster_trunc(right[0]);
      if (l < 0)
        l = 0;
      if (r > width - 1)
        r = width - 1;
      if (r < 0)
        r = 0;
      if (l > width - 1)
        l = width - 1;
      if (row > height - 1)
        return false;
      if (l < r)
        row_fn(row, l, r, static_cast<const scan_values&>(left), static_cast<const scan_values&>(right));
      left += left_slope;
      right += right_slope;
    }
    return true;
  };

  const bool flat_top = b.y == a.y;
  // In the upper half the edge of smaller slope is on the left; the long edge keeps its side below.
  const bool long_left = !(upper_slope[0] < long_slope[0]);
  if (!flat_top) {
    left = right = va;
    left_slope = long_left ? long_slope : upper_slope;
    right_slope = long_left ? upper_slope : long_slope;
    float current = a.y;
    if (a.y < 0) {
      advance(b.y < 0 ? b.y - a.y : -a.y);
      current = 0;
    }
    advance(raster_ceil_step(a.y));
    if (!run_rows(raster_trunc(current), raster_trunc(b.y)))
      return;
  }
  if (c.y == b.y)
    return;
  if (flat_top) {
    // Both edges start unstepped at the two top vertices.
    left = va;
    right = vb;
    left_slope = long_slope;
    right_slope = lower_slope;
  } else {
    // The short side restarts at the middle vertex, stepped to its ceiling.
    const float pre = raster_ceil_step(b.y);
    (long_left ? right : left) = vb + pre * lower_slope;
    (long_left ? right_slope : left_slope) = lower_slope;
  }
  float current = b.y;
  if (b.y < 0) {
    advance(-b.y);
    current = 0;
  }
  run_rows(raster_trunc(current), raster_trunc(c.y));
}

// Start values at a span's first pixel and per-pixel steps of the N
// attributes, from the left and right edge values of the row.
template <int N> inline void scan_span_start(const scan_values& left, const scan_values& right, float* a, float* da) {
  const float xl = left[0], span = right[0] - xl;
  const float pre = raster_ceil_step(xl);
  // A span of zero width draws nothing; its step is never used. (Lane 0,
  // x over the span, is not used either.)
  const scan_values d = span != 0 ? (right - left) / span : scan_values{};
  scan_values s = left + pre * d;
  // A span starting left of the target starts at column 0.
  if (xl < 0)
    s -= xl * d;
  for (int i = 0; i < N; i++) {
    da[i] = d[i + 1];
    a[i] = s[i + 1];
  }
}
