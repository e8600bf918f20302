// The galaxy's logos: wipe tables, the fade-in over the frame and the
// stamping into the background.
#include "galaxy_parts.h"
#include "mem.h"

#include <algorithm>
#include <cmath>

float* galaxy_make_wipe(const pixmap* logo, int32_t from_end) {
  const int32_t w = logo->width, h = logo->height;
  float* wipe = mem_alloc_array<float>(size_t(w) * size_t(h));
  if (!wipe)
    return nullptr;
  for (int32_t row = 0; row < h; row++)
    for (int32_t col = 0; col < w; col++) {
      const float dx = float(from_end ? w - col : col), dy = float(from_end ? h - row : row);
      wipe[size_t(row) * size_t(w) + size_t(col)] = 1.0f + 0.01f * std::sqrt(dy * dy + dx * dx);
    }
  return wipe;
}

namespace {
// The part of a logo placed at (x, y) that lies inside dst: logo columns
// [c0, c1) and rows [r0, r1).
struct logo_span {
  int32_t c0, c1, r0, r1;
};

logo_span logo_inside(const pixmap* dst, const galaxy_logo* logo) {
  const pixmap* p = logo->picture;
  logo_span s;
  s.c0 = std::max(0, -logo->x);
  s.r0 = std::max(0, -logo->y);
  s.c1 = int32_t(std::clamp<int64_t>(int64_t(dst->width) - logo->x, 0, p->width));
  s.r1 = int32_t(std::clamp<int64_t>(int64_t(dst->height) - logo->y, 0, p->height));
  return s;
}
} // namespace

void galaxy_stamp_logo(pixmap* dst, const galaxy_logo* logo) {
  const pixmap* p = logo->picture;
  const logo_span s = logo_inside(dst, logo);
  for (int32_t row = s.r0; row < s.r1; row++) {
    const uint32_t* src = p->pixels + p->rows[row];
    uint32_t* out = dst->pixels + dst->rows[logo->y + row] + logo->x;
    for (int32_t col = s.c0; col < s.c1; col++)
      if (src[col] & 255)
        out[col] = src[col];
  }
}

void galaxy_fade_logo(pixmap* frame, galaxy_logo* logo, float fd) {
  const pixmap* p = logo->picture;
  const logo_span s = logo_inside(frame, logo);
  for (int32_t row = s.r0; row < s.r1; row++) {
    const uint32_t* src = p->pixels + p->rows[row];
    const float* wipe = logo->wipe + size_t(row) * size_t(p->width);
    uint32_t* out = frame->pixels + frame->rows[logo->y + row] + logo->x;
    for (int32_t col = s.c0; col < s.c1; col++) {
      const uint32_t l = src[col];
      if (!(l & 255))
        continue;
      const float f = std::min(wipe[col], 1.0f);
      uint32_t d = out[col];
      uint32_t mixed = d & 0xFF000000u;
      for (int32_t shift = 0; shift < 24; shift += 8) {
        const float lb = float((l >> shift) & 255), db = float((d >> shift) & 255);
        mixed |= uint32_t(int32_t((1.0f - f) * lb) + int32_t(f * db)) << shift;
      }
      out[col] = mixed;
    }
  }
  // Every wipe value moves on, whether its pixel was drawn or not.
  const size_t count = size_t(p->width) * size_t(p->height);
  const float step = 0.01f * fd;
  for (size_t i = 0; i < count; i++)
    logo->wipe[i] = std::max(logo->wipe[i] - step, 0.0f);
}
