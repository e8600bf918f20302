#include "pixmap.h"

#include "mem.h"

#include <algorithm>
#include <cmath>

int32_t pixmap_error = 0;

pixmap* pixmap_create(int32_t width, int32_t height, uint32_t flags) {
  if (width < 0 || height < 0 || int64_t(width) * height > PIXMAP_MAX_PIXELS) {
    pixmap_error = 1;
    return nullptr;
  }
  const size_t count = size_t(width) * size_t(height);
  pixmap* pm = mem_alloc_array<pixmap>(1);
  if (!pm) {
    pixmap_error = 1;
    return nullptr;
  }
  pm->pixels = mem_alloc_array<uint32_t>(count);
  if (pm->pixels && (flags & PIXMAP_DEPTH))
    pm->depth = mem_alloc_array<int32_t>(count);
  if (pm->pixels && (!(flags & PIXMAP_DEPTH) || pm->depth))
    pm->rows = mem_alloc_array<int32_t>(size_t(height));
  if (!pm->rows) {
    if (pm->depth)
      mem_free(pm->depth);
    if (pm->pixels)
      mem_free(pm->pixels);
    mem_free(pm);
    pixmap_error = 1;
    return nullptr;
  }
  for (int32_t y = 0; y < height; y++)
    pm->rows[y] = y * width;
  if (flags & PIXMAP_CLEAR) {
    mem_fill_words(pm->pixels, pixmap_rgba(0, 0, 0, 255), count);
    if (flags & PIXMAP_DEPTH)
      mem_fill_words(pm->depth, uint32_t(PIXMAP_FAR_DEPTH), count);
  }
  pm->flags = flags;
  pm->width = width;
  pm->height = height;
  return pm;
}

void pixmap_free(pixmap* pm) {
  if (!pm)
    return;
  mem_free(pm->rows);
  // The depth buffer goes whenever there is one, whatever the flag says now.
  if (pm->depth)
    mem_free(pm->depth);
  mem_free(pm->pixels);
  mem_free(pm);
}

void pixmap_put_pixel(pixmap* pm, int32_t x, int32_t y, uint32_t value) {
  if (x >= 0 && y >= 0 && x < pm->width && y < pm->height)
    pm->pixels[pm->rows[y] + x] = value;
}

uint32_t pixmap_get_pixel(const pixmap* pm, int32_t x, int32_t y) {
  if (x >= 0 && y >= 0 && x < pm->width && y < pm->height)
    return pm->pixels[pm->rows[y] + x];
  return 0;
}

void pixmap_fill_rect(pixmap* pm, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t value) {
  if (w <= 0 || h <= 0)
    return;
  const int64_t x0 = std::max<int64_t>(x, 0);
  const int64_t y0 = std::max<int64_t>(y, 0);
  const int64_t x1 = std::min<int64_t>(int64_t(x) + w, pm->width);
  const int64_t y1 = std::min<int64_t>(int64_t(y) + h, pm->height);
  if (x1 - x0 <= 0 || y1 - y0 <= 0)
    return;
  const bool depth = (pm->flags & PIXMAP_DEPTH) && pm->depth;
  for (int64_t row = y0; row < y1; row++) {
    const int64_t start = pm->rows[row] + x0;
    mem_fill_words(pm->pixels + start, value, size_t(x1 - x0));
    if (depth)
      mem_fill_words(pm->depth + start, uint32_t(PIXMAP_FAR_DEPTH), size_t(x1 - x0));
  }
}

int pixmap_clip_copy(int32_t dst_w, int32_t dst_h, int32_t dx_, int32_t dy_, int32_t src_w, int32_t src_h, int32_t sx_,
                     int32_t sy_, int32_t w, int32_t h, pixmap_copy_rect* out) {
  if (w <= 0 || h <= 0)
    return 0;
  // 64-bit throughout so that no clipping sum can overflow.
  int64_t dx = dx_, dy = dy_, sx = sx_, sy = sy_;
  int64_t sx_end = std::min<int64_t>(sx + w, src_w);
  int64_t sy_end = std::min<int64_t>(sy + h, src_h);
  if (sx < 0) {
    dx -= sx;
    sx = 0;
  }
  if (sy < 0) {
    dy -= sy;
    sy = 0;
  }
  if (sx_end - sx <= 0 || sy_end - sy <= 0)
    return 0;
  int64_t dx_end = dx + (sx_end - sx);
  int64_t dy_end = dy + (sy_end - sy);
  if (dx < 0) {
    sx -= dx;
    dx = 0;
  }
  if (dy < 0) {
    sy -= dy;
    dy = 0;
  }
  if (dx_end > dst_w) {
    sx_end -= dx_end - dst_w;
    dx_end = dst_w;
  }
  if (dy_end > dst_h) {
    sy_end -= dy_end - dst_h;
    dy_end = dst_h;
  }
  const int64_t cw = sx_end - sx, ch = sy_end - sy;
  if (cw <= 0 || ch <= 0 || dx_end - dx <= 0 || dy_end - dy <= 0)
    return 0;
  *out = {int32_t(dx), int32_t(dy), int32_t(sx), int32_t(sy), int32_t(cw), int32_t(ch)};
  return 1;
}

void pixmap_blit(pixmap* dst, int32_t dx, int32_t dy, const pixmap* src, int32_t sx, int32_t sy, int32_t w, int32_t h) {
  pixmap_copy_rect c;
  if (!pixmap_clip_copy(dst->width, dst->height, dx, dy, src->width, src->height, sx, sy, w, h, &c))
    return;
  for (int32_t r = 0; r < c.h; r++) {
    const uint32_t* s = src->pixels + src->rows[c.sy + r] + c.sx;
    uint32_t* d = dst->pixels + dst->rows[c.dy + r] + c.dx;
    if (!(src->flags & PIXMAP_BLEND)) {
      mem_copy_words(d, s, size_t(c.w));
      continue;
    }
    for (int32_t i = 0; i < c.w; i++) {
      const uint32_t sp = s[i], dp = d[i];
      const uint32_t a = sp >> 24;
      uint32_t out = dp & 0xFF000000u;
      for (int k = 0; k < 24; k += 8) {
        const uint32_t sb = (sp >> k) & 255, db = (dp >> k) & 255;
        out |= (((255 - a) * db + a * sb) / 255) << k;
      }
      d[i] = out;
    }
  }
}

// The fade table is shared by all calls and rebuilt only when the factor changes.
static uint8_t fade_table[256];
static float fade_inv = -1.0f;

void pixmap_fade_blit(pixmap* dst, int32_t dx_, int32_t dy_, const pixmap* src, int32_t sx_, int32_t sy_,
                      uint32_t colour, float factor, int32_t w_, int32_t h_) {
  int64_t dx = dx_, dy = dy_, sx = sx_, sy = sy_, w = w_, h = h_;
  if (dx < 0) {
    w += dx;
    sx -= dx;
    dx = 0;
  }
  if (sx < 0) {
    w += sx;
    dx -= sx;
    sx = 0;
  }
  if (dy < 0) {
    h += dy;
    sy -= dy;
    dy = 0;
  }
  if (sy < 0) {
    h += sy;
    dy -= sy;
    sy = 0;
  }
  w = std::min<int64_t>(w, dst->width - dx);
  h = std::min<int64_t>(h, dst->height - dy);
  w = std::min<int64_t>(w, src->width - sx);
  h = std::min<int64_t>(h, src->height - sy);
  if (w <= 0 || h <= 0)
    return;
  // A factor that is not a number draws nothing; others are held to 0..1,
  // beyond which the colour terms would wrap or overflow their integers.
  if (std::isnan(factor))
    return;
  factor = std::clamp(factor, 0.0f, 1.0f);
  const float inv = 1.0f - factor;
  if (inv != fade_inv) {
    for (int i = 0; i < 256; i++)
      fade_table[i] = uint8_t(int32_t(float(i) * (1.0f / 255.0f) * inv * 255.0f + 0.5f));
    fade_inv = inv;
  }
  const uint32_t c0 = uint8_t(int32_t(float(colour & 255) * factor));
  const uint32_t c1 = uint8_t(int32_t(float((colour >> 8) & 255) * factor));
  const uint32_t c2 = uint8_t(int32_t(float((colour >> 16) & 255) * factor));
  for (int64_t r = 0; r < h; r++) {
    const uint32_t* s = src->pixels + src->rows[sy + r] + sx;
    uint32_t* d = dst->pixels + dst->rows[dy + r] + dx;
    for (int64_t i = w - 1; i >= 0; i--) {
      const uint32_t sp = s[i];
      const uint32_t b0 = (fade_table[sp & 255] + c0) & 255;
      const uint32_t b1 = (fade_table[(sp >> 8) & 255] + c1) & 255;
      const uint32_t b2 = (fade_table[(sp >> 16) & 255] + c2) & 255;
      d[i] = (d[i] & 0xFF000000u) | b0 | b1 << 8 | b2 << 16;
    }
  }
}

const char* pixmap_error_text() {
  const int32_t code = pixmap_error;
  pixmap_error = 0;
  switch (code) {
  case 0:
    return "No error, so far...";
  case 1:
    return "No memory available";
  case 2:
    return "Bad matching pixmaps";
  case 4:
    return "No such file";
  case 5:
    return "Invalid PIXMAP file";
  default:
    return "Ambiguous error...";
  }
}
