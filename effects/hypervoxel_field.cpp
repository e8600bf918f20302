// The hypervoxel's height fields (read, scaled and smoothed) and the zoom of
// the background picture out of an 8x close-up of its top-left corner.
#include "hypervoxel_parts.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int32_t N = HVOXEL_FIELD_SIDE;
constexpr int32_t HVOXEL_ZOOM_COLUMNS_MAX = 4096; // widest destination the zoom fills
} // namespace

void hvoxel_box_filter(float* dst, const float* src) {
  for (int32_t y = 0; y < N; y++) {
    const int32_t y0 = std::max(0, y - 1), y1 = std::min(N - 1, y + 1);
    for (int32_t x = 0; x < N; x++) {
      const int32_t x0 = std::max(0, x - 1), x1 = std::min(N - 1, x + 1);
      float sum = 0.0f;
      for (int32_t yy = y0; yy <= y1; yy++)
        for (int32_t xx = x0; xx <= x1; xx++)
          sum += src[yy * N + xx];
      dst[y * N + x] = sum / float((y1 - y0 + 1) * (x1 - x0 + 1));
    }
  }
}

void hvoxel_heights(float* out, float* scratch, const uint8_t* bytes, int32_t width, float bias, float weight,
                    float divisor) {
  for (int32_t y = 0; y < N; y++)
    for (int32_t x = 0; x < N; x++)
      scratch[y * N + x] = (bias + weight * float(bytes[y * width + x])) / divisor;
  // Seven passes from the scratch field, alternating, ending in out.
  for (int32_t pass = 0; pass < HVOXEL_SMOOTHING; pass++) {
    if (pass % 2 == 0)
      hvoxel_box_filter(out, scratch);
    else
      hvoxel_box_filter(scratch, out);
  }
}

void hvoxel_build_zoom_table(float* table) {
  for (int32_t k = 0; k < HVOXEL_ZOOM_STEPS; k++)
    table[k] = std::min(1.0f, float(0.1 + 0.5 * (1.05 + std::cos(M_PI + double(k) * M_PI / 256.0))));
}

int32_t hvoxel_zoom_copy(pixmap* dst, const pixmap* src, const float* table, float* position, float fd) {
  const int32_t w = dst->width, h = dst->height;
  const float at = *position;
  const int32_t k = at >= 0.0f ? std::min(HVOXEL_ZOOM_STEPS - 1, int32_t(std::min(at, 4096.0f))) : 0;
  const float z = table[k];
  *position = at + 0.5f * fd;
  if (src->width >= w && src->height >= h && w <= HVOXEL_ZOOM_COLUMNS_MAX) {
    // Source columns once per call (the products by repeated addition);
    // they never pass the last column, nor the rows the last row.
    int32_t columns[HVOXEL_ZOOM_COLUMNS_MAX];
    float acc = 0.0f;
    for (int32_t j = 0; j < w; j++, acc += z)
      columns[j] = std::min(src->width - 1, int32_t(acc));
    acc = 0.0f;
    for (int32_t i = 0; i < h; i++, acc += z) {
      const uint32_t* in = src->pixels + src->rows[std::min(src->height - 1, int32_t(acc))];
      uint32_t* out = dst->pixels + dst->rows[i];
      for (int32_t j = 0; j < w; j++)
        out[j] = in[columns[j]];
    }
  }
  return *position <= float(HVOXEL_ZOOM_STEPS - 1) && z < 1.0f ? 1 : 0;
}
