#include "blend.h"

#include "font8x8.h"
#include "pixel4.h"
#include "raster.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

uint8_t mul_table[65][256];
int mul_table_built = 0;

void build_mul_tables() {
  if (mul_table_built)
    return;
  for (int k = 0; k < 64; k++)
    for (int v = 0; v < 256; v++)
      mul_table[k][v] = uint8_t(int(double(k) * double(v) / 64.0));
  for (int v = 0; v < 256; v++)
    mul_table[64][v] = 0;
  mul_table_built = 1;
}

void cross_fade(pixmap* dst, int32_t x, int32_t y, const pixmap* a, const pixmap* b, int32_t t) {
  if (!mul_table_built)
    return;
  // Weights outside 0..63 and pictures that do not match are the caller's
  // mistake: clamp the weight, and never read or write outside the pixmaps.
  t = std::clamp(t, 0, 63);
  if (int64_t(b->width) * b->height < int64_t(a->width) * a->height)
    return;
  const uint8_t* ta = mul_table[t];
  const uint8_t* tb = mul_table[63 - t];
  const int32_t s0 = std::max(0, -x), s1 = std::min(a->width, dst->width - x);
  const int32_t r0 = std::max(0, -y), r1 = std::min(a->height, dst->height - y);
  for (int32_t r = r0; r < r1; r++) {
    const uint32_t* pa = a->pixels + a->rows[r];
    const uint32_t* pb = b->pixels + int64_t(r) * a->width;
    uint32_t* d = dst->pixels + dst->rows[y + r] + x;
    for (int32_t s = s0; s < s1; s++) {
      const uint32_t ca = pa[s], cb = pb[s];
      d[s] = uint32_t(ta[ca & 255] + tb[cb & 255]) | uint32_t(ta[(ca >> 8) & 255] + tb[(cb >> 8) & 255]) << 8 |
             uint32_t(ta[(ca >> 16) & 255] + tb[(cb >> 16) & 255]) << 16;
    }
  }
}

namespace {
// Per-channel floor average; the top byte is the sample's.
struct blur_average {
  template <typename T> T operator()(T sample, T source) const {
    const T low = ((sample & 0xFEFEFE) >> 1) + ((source & 0xFEFEFE) >> 1) + (sample & source & 0x010101);
    return (sample & 0xFF000000u) | low;
  }
};

// Per channel mul_table[w][sample] + mul_table[64 - w][source], computed:
// row k of the table is trunc(k * v / 64), and row 64 is all zero, so the
// two multipliers are the rows' numbers with 64 read as 0. Red and blue are
// multiplied together in one word (each product stays below 2^14), green
// alone; the two weighted channels never sum past 255.
struct blur_weighted {
  uint16_t ks, kd;
  lanes16 ks8, kd8;

  explicit blur_weighted(int32_t w) {
    w = std::clamp(w, 0, 64);
    ks = uint16_t(w == 64 ? 0 : w);
    kd = uint16_t(w == 0 ? 0 : 64 - w);
    ks8 = lanes16{} + ks;
    kd8 = lanes16{} + kd;
  }
  uint32_t operator()(uint32_t sample, uint32_t source) const {
    const uint32_t rb = ((((sample & 0xFF00FF) * ks) >> 6) & 0xFF00FF) + ((((source & 0xFF00FF) * kd) >> 6) & 0xFF00FF);
    const uint32_t g = ((((sample >> 8) & 255) * ks) >> 6) + ((((source >> 8) & 255) * kd) >> 6);
    return (sample & 0xFF000000u) | rb | g << 8;
  }
  pixel4 operator()(pixel4 sample, pixel4 source) const {
    const pixel4 low = pixel4{} + 0xFF00FFu;
    const lanes16 rb = (((lanes16)(sample & low) * ks8) >> 6) + (((lanes16)(source & low) * kd8) >> 6);
    const lanes16 g = (((lanes16)((sample >> 8) & low) * ks8) >> 6) + (((lanes16)((source >> 8) & low) * kd8) >> 6);
    return (sample & 0xFF000000u) | (pixel4)rb | ((pixel4)g & 255u) << 8;
  }
};

// Mixes columns lo .. hi - 1 of out with the pixels sample(k), four at a
// time: only for mixes that do not depend on each other.
template <typename Mix, typename Sample>
inline void blur_mix_columns(uint32_t* out, const uint32_t* src, int32_t lo, int32_t hi, const Mix& mix,
                             Sample sample) {
  int32_t k = lo;
  for (; k + 4 <= hi; k += 4)
    pixel4_store(out + k, mix(pixel4{sample(k), sample(k + 1), sample(k + 2), sample(k + 3)}, pixel4_load(src + k)));
  for (; k < hi; k++)
    out[k] = mix(sample(k), src[k]);
}

// Columns of a half row handled together: their sample positions first, in
// the visit order, then the mixes.
constexpr int32_t BLUR_CHUNK = 512;

// One half row: columns from, from + step, ... up to end (exclusive) of the
// row starting at px + row_start, visited in that order. When no sample lies
// in this row, no mix depends on another one of the row, and four pixels
// are mixed at a time; otherwise the pixels go one by one in the visit
// order, each sample read as the earlier ones left it. A sampler whose row
// stays the same along the row (ONE_ROW) gives it and a column table;
// otherwise sampler.fill gives the offsets in px of the pixels mixed with
// the columns, and sampler.hits tells whether one of them lay in this row.
template <typename Mix, typename Sampler>
void blur_half_row(uint32_t* px, int64_t row_start, const uint32_t* src, int32_t from, int32_t end, int32_t step,
                   const Mix& mix, Sampler& sampler) {
  uint32_t* out = px + row_start;
  if constexpr (Sampler::ONE_ROW) {
    const uint32_t* srow = px + sampler.row;
    const int32_t* col = sampler.columns;
    if (sampler.row != row_start) {
      blur_mix_columns(out, src, step > 0 ? from : end + 1, step > 0 ? end : from + 1, mix,
                       [srow, col](int32_t k) { return srow[col[k]]; });
    } else {
      for (int32_t k = from; k != end; k += step)
        out[k] = mix(srow[col[k]], src[k]);
    }
  } else {
    int32_t off[BLUR_CHUNK];
    int32_t j = from;
    while (j != end) {
      const int32_t n = std::min(BLUR_CHUNK, step > 0 ? end - j : j - end);
      const int32_t first = step > 0 ? j : j - n + 1; // lowest column of the chunk
      sampler.hits = sampler.row == row_start;
      sampler.fill(j, n, step, off, first);
      j += n * step;
      if (sampler.hits) {
        for (int32_t k = j - n * step; k != j; k += step)
          out[k] = mix(px[off[k - first]], src[k]);
      } else {
        blur_mix_columns(out, src, first, first + n, mix, [&](int32_t k) { return px[off[k - first]]; });
      }
    }
  }
}

// The visit order the blurs share: rows from the centre row up to the top,
// then from second_row down to the bottom; in each row, columns from the
// centre to the left edge, then from the column right of the centre to the
// right edge. Each half row starts with sampler.begin(row). Centres out of
// range are held to the frame.
template <typename Mix, typename Sampler>
void blur_frame(pixmap* frame, const pixmap* source, float cx, float cy, int32_t second_row, const Mix& mix,
                Sampler&& sampler) {
  const int32_t w = frame->width, h = frame->height;
  // Offsets within the frame fit 32 bits for every frame pixmap_create makes.
  if (w <= 0 || h <= 0 || source->width < w || source->height < h || int64_t(w) * h > PIXMAP_MAX_PIXELS)
    return;
  const int32_t cx0 = int32_t(raster_clamp(cx, -1.0f, float(w)));
  const int32_t cx1 = int32_t(raster_clamp(cx + 1.0f, 0.0f, float(w)));
  const int32_t cy0 = int32_t(raster_clamp(cy, -1.0f, float(h)));
  second_row = std::clamp(second_row, 0, h);
  uint32_t* px = frame->pixels;
  auto row = [&](int32_t i) {
    const uint32_t* src = source->pixels + source->rows[i];
    const int64_t start = int64_t(i) * w;
    sampler.begin(i);
    blur_half_row(px, start, src, std::min(cx0, w - 1), -1, -1, mix, sampler);
    sampler.begin(i);
    blur_half_row(px, start, src, cx1, w, 1, mix, sampler);
  };
  for (int32_t i = std::min(cy0, h - 1); i >= 0; i--)
    row(i);
  for (int32_t i = second_row; i < h; i++)
    row(i);
}

// Samples a fixed factor f of the way towards the centre. Sample coordinates
// are clamped to the frame (raster_clamp: a value that is not a number
// becomes the low end, so no position is ever undefined), so a centre or factor out of range smears but
// never reads outside. The sample column depends on the column alone, so it
// comes from a table made once per call (on the stack up to
// BLUR_TABLE_WIDTH columns); the sample row is the same for a whole row.
constexpr int32_t BLUR_TABLE_WIDTH = 2048;

struct blur_fixed_sampler {
  static constexpr bool ONE_ROW = true;
  float cx, cy, f;
  int32_t w, h;
  int64_t row = 0;
  int32_t table[BLUR_TABLE_WIDTH];
  std::vector<int32_t> wide;
  const int32_t* columns;

  blur_fixed_sampler(float cx_, float cy_, float f_, int32_t w_, int32_t h_) : cx(cx_), cy(cy_), f(f_), w(w_), h(h_) {
    if (w > BLUR_TABLE_WIDTH)
      wide.resize(size_t(w));
    int32_t* c = w > BLUR_TABLE_WIDTH ? wide.data() : table;
    for (int32_t j = 0; j < w; j++)
      c[j] = column(j);
    columns = c;
  }
  blur_fixed_sampler(const blur_fixed_sampler&) = delete; // columns points into itself
  int32_t column(int32_t j) const {
    const float sx = float(j) + (cx - float(j)) * f;
    return int32_t(raster_clamp(sx, 0.0f, float(w - 1)));
  }
  void begin(int32_t i) {
    const float sy = float(i) + (cy - float(i)) * f;
    row = int64_t(raster_clamp(sy, 0.0f, float(h - 1))) * w;
  }
};

// Samples a factor that grows with the distance from the centre: distance /
// q, taken at the start of each half row from the rows' distance and again
// at every eighth column, where the sample row is recomputed too. Between
// two such columns the factor and the row stay, so the columns go four at a
// time from a column that is a multiple of four.
struct blur_scaled_sampler {
  static constexpr bool ONE_ROW = false;
  float cx, cy, q;
  int32_t w, h;
  int64_t row = 0, own = 0; // the sample row's and this row's offsets
  bool hits = false;
  float dy = 0, r = 0, y = 0;
  void pick_row() {
    const float sy = y + r * dy;
    row = int64_t(raster_clamp(sy, 0.0f, float(h - 1))) * w;
    hits |= row == own;
  }
  void begin(int32_t i) {
    own = int64_t(i) * w;
    y = float(i);
    dy = cy - y;
    r = std::fabs(dy) / q;
    pick_row();
  }
  // The factor and row from column j on, when j is one where they are taken.
  void pick(int32_t j, float dx) {
    if ((j & 7) == 0) {
      r = std::sqrt(dx * dx + dy * dy) / q;
      pick_row();
    }
  }
  int64_t at(int32_t j) {
    const float dx = cx - float(j);
    pick(j, dx);
    return row + int32_t(raster_clamp(float(j) + r * dx, 0.0f, float(w - 1)));
  }
  // The offsets of columns j, j + step, ... (n of them, in this order) into
  // off[column - first].
  void fill(int32_t j, int32_t n, int32_t step, int32_t* off, int32_t first) {
    int32_t t = 0;
    for (; t < n && (j & 3) != 0; t++, j += step)
      off[j - first] = int32_t(at(j));
    const floats4 lane = {0.0f, 1.0f, 2.0f, 3.0f};
    const floats4 low = {}, high = floats4{} + float(w - 1);
    for (; t + 4 <= n; t += 4, j += 4 * step) {
      pick(j, cx - float(j));
      // The four columns from the lowest, whichever way they are visited.
      const int32_t base = step > 0 ? j : j - 3;
      const floats4 x = float(base) + lane;
      floats4 sx = x + r * (cx - x);
      sx = sx > low ? sx : low;
      sx = sx < high ? sx : high;
      const ints4 o = __builtin_convertvector(sx, ints4) + int32_t(row);
      std::memcpy(off + (base - first), &o, sizeof o);
    }
    for (; t < n; t++, j += step)
      off[j - first] = int32_t(at(j));
  }
};
} // namespace

void radial_blur(pixmap* frame, const pixmap* source, float cx, float cy, float f) {
  const int32_t second = int32_t(raster_clamp(cy + 1.0f, 0.0f, float(frame->height)));
  blur_frame(frame, source, cx, cy, second, blur_average{}, blur_fixed_sampler{cx, cy, f, frame->width, frame->height});
}

void radial_blur_weighted(pixmap* frame, const pixmap* source, float cx, float cy, int32_t w, float f) {
  const int32_t second = int32_t(raster_clamp(cy, 0.0f, float(frame->height)));
  blur_frame(frame, source, cx, cy, second, blur_weighted(w),
             blur_fixed_sampler{cx, cy, f, frame->width, frame->height});
}

void radial_blur_scaled(pixmap* frame, const pixmap* source, float cx, float cy, int32_t w, float q) {
  if (!(q > 0))
    return; // no divisor, no blur
  const int32_t second = int32_t(raster_clamp(cy, 0.0f, float(frame->height)));
  blur_frame(frame, source, cx, cy, second, blur_weighted(w),
             blur_scaled_sampler{cx, cy, q, frame->width, frame->height});
}

void add_sprite_scaled(int32_t cx, int32_t cy, pixmap* dst, const pixmap* sprite, float level, int32_t base) {
  if (base < 8 || sprite->width < 1 || sprite->height < 1 || sprite->width > 65536 || sprite->height > 65536)
    return;
  const float size = float(base) - level / 8.0f;
  if (!(size >= 8.0f))
    return; // also refuses a level that is not a number
  const int32_t n = size > 512.0f ? 512 : int32_t(size);
  const int32_t half = n / 2;
  int64_t x0 = int64_t(cx) - half, x1 = int64_t(cx) + half;
  int64_t y0 = int64_t(cy) - half, y1 = int64_t(cy) + half;
  const int32_t width = dst->width, height = dst->height;
  if (y0 > height || y1 <= 0 || x0 > width || x1 <= 0)
    return;
  int64_t sw = int64_t(sprite->width) * 256 - 256, sh = int64_t(sprite->height) * 256 - 256;
  int64_t du = sw / (x1 - x0), dv = sh / (y1 - y0);
  int64_t u = 0, v = 0;
  if (y0 < 0) {
    v = -dv * y0;
    y0 = 0;
  }
  if (y1 > height) {
    sh -= (y1 - height) * dv;
    y1 = height;
  }
  if (x0 < 0) {
    u = -du * x0;
    x0 = 0;
  }
  if (x1 > width) {
    sw -= (x1 - width) * du;
    x1 = width;
  }
  const int64_t rows = y1 - y0, cols = x1 - x0;
  if (rows <= 0 || cols <= 0)
    return;
  dv = (sh - v) / rows;
  du = (sw - u) / cols;
  for (int64_t y = y0; y < y1; y++, v += dv) {
    const uint32_t* srow = sprite->pixels + sprite->rows[v >> 8];
    uint32_t* d = dst->pixels + dst->rows[y];
    int64_t acc = u;
    for (int64_t x = x0; x < x1; x++, acc += du) {
      d[x] = colour_add_saturated(d[x], srow[acc >> 8]);
    }
  }
}

namespace {
pixmap* text_target = nullptr;

inline int16_t font_i16(const uint8_t* at) { return int16_t(uint16_t(at[0] | at[1] << 8)); }
} // namespace

int32_t text_printf(pixmap* pm, int32_t x, int32_t y, uint32_t colour, const char* format, ...) {
  if (pm)
    text_target = pm;
  const uint8_t* font = font8x8_record();
  if (!text_target || !font)
    return 0;
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);

  int32_t advance = 0;
  for (const char* c = text; *c; c++) {
    if (*c == '\n') {
      y += 10;
      advance = 0;
      continue;
    }
    if (static_cast<signed char>(*c) < 32)
      continue;
    const uint8_t* glyph = font + font_i16(font + 2 + 2 * uint8_t(*c));
    const int32_t width = font_i16(glyph), yoff = font_i16(glyph + 2);
    const int32_t rows = font_i16(glyph + 4), per_row = font_i16(glyph + 6);
    const uint8_t* bits = glyph + 8;
    for (int32_t r = 0; r < rows; r++)
      for (int32_t col = 0; col < width && col < 8 * per_row; col++)
        if (bits[r * per_row + col / 8] & (0x80 >> (col % 8))) {
          const int32_t px = x + advance + col, py = y + yoff + r;
          pixmap_put_pixel(text_target, px, py, colour_add_saturated(pixmap_get_pixel(text_target, px, py), colour));
        }
    advance += width;
  }
  return advance;
}
