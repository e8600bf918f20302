// Float-to-integer conversions and checks shared by the drawers. Conversions
// truncate toward zero like a plain cast, but saturate instead of overflowing,
// so that coordinates far outside the target stay defined.
#pragma once

#include "polygon.h"

#include <cmath>
#include <cstdint>

// a limited to [lo, hi]; a NaN becomes lo.
inline float raster_clamp(float a, float lo, float hi) {
  a = a > lo ? a : lo;
  return a < hi ? a : hi;
}

// Largest float below 2^31.
constexpr float RASTER_INT_MAX = 2147483520.0f;

inline int32_t raster_trunc(float a) { return int32_t(raster_clamp(a, -2147483648.0f, RASTER_INT_MAX)); }

// Ceiling taken through 16.16 fixed point: (trunc(a * 65536) + 0xFFFF) >> 16.
inline int32_t raster_ceil16(float a) {
  const int64_t f = int64_t(raster_clamp(a, -1073741824.0f, 1073741824.0f) * 65536.0f);
  return int32_t((f + 0xFFFF) >> 16);
}

// The step from a to its ceiling, ceil16(a) - a. Beyond 2^30 the ceiling is
// clamped; the step is then limited to a row (a float that large has no
// fraction left), so positions far outside the target step by a sane amount.
inline float raster_ceil_step(float a) { return raster_clamp(float(raster_ceil16(a)) - a, -1.0f, 1.0f); }

// trunc(a * 65536) with only the low 24 bits kept: a texel coordinate of the
// wrapping 256x256 routines, which use the 8 integer bits above the fraction.
inline int32_t raster_fixed16(float a) {
  const int64_t f = int64_t(raster_clamp(a * 65536.0f, -4.0e18f, 4.0e18f));
  return int32_t(f & 0xFFFFFF);
}

// trunc(a * 65536), saturated to 32 bits: a depth in 16.16.
inline int32_t raster_fixed16_depth(float a) {
  return int32_t(raster_clamp(a * 65536.0f, -2147483648.0f, RASTER_INT_MAX));
}

// The screen positions (and with z the depths) of the three vertices are finite.
inline bool raster_finite(const polygon* p, bool z) {
  for (int k = 0; k < 3; k++) {
    if (!std::isfinite(p->v[k].x) || !std::isfinite(p->v[k].y) || (z && !std::isfinite(p->v[k].z)))
      return false;
  }
  return true;
}

// The texture coordinates U0, V0, U1, V1, U2, V2 the texture drawers read, or
// none when layer[0] points outside the coordinate array.
inline const float* raster_uv(const polygon* p) {
  const int32_t offset = p->layer[0];
  if (offset < 0 || offset > POLY_UV_FLOATS - 6)
    return nullptr;
  return p->uv + offset;
}
