#include "forge_decoders.h"

#include "testkit.h"

#include <algorithm>

static uint32_t test_rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  return (r & 255) | (g & 255) << 8 | (b & 255) << 16 | (a & 255) << 24;
}

static uint32_t test_u16(const std::vector<uint8_t>& f, size_t at) { return f[at] | uint32_t(f[at + 1]) << 8; }

bool test_pcx_decode(const std::vector<uint8_t>& file, test_image* out) {
  if (file.size() < 128 || file[0] != 10 || file[1] != 5)
    return false;
  const int32_t w = int32_t(test_u16(file, 8)) + 1, h = int32_t(test_u16(file, 10)) + 1;
  const int planes = file[65];
  if (planes != 1 && planes != 3)
    return false;
  size_t pos = 128;
  auto next = [&](uint8_t* b) {
    if (pos >= file.size())
      return false;
    *b = file[pos++];
    return true;
  };
  std::vector<uint8_t> data(size_t(w) * size_t(h) * size_t(planes));
  for (int32_t y = 0; y < h; y++) {
    uint32_t carry = 0;
    uint8_t carry_value = 0;
    for (int p = 0; p < planes; p++) {
      int32_t x = 0;
      bool cut = false;
      while (x < w) {
        uint32_t count = 1;
        uint8_t value;
        if (carry) {
          count = carry, value = carry_value, carry = 0;
        } else {
          uint8_t b;
          if (!next(&b))
            return false;
          if (b > 0xC0) {
            count = b - 0xC0u;
            if (!next(&value))
              return false;
          } else {
            value = b;
          }
        }
        const uint32_t take = std::min<uint32_t>(count, uint32_t(w - x));
        for (uint32_t k = 0; k < take; k++, x++)
          data[(size_t(y) * size_t(w) + size_t(x)) * size_t(planes) + size_t(p)] = value;
        if (take < count) {
          cut = true;
          if (planes == 3)
            carry = count - take, carry_value = value;
        }
      }
      if (w & 1) {
        if (carry) {
          carry--;
        } else if (!cut) {
          uint8_t b;
          if (!next(&b))
            return false;
          if (b == 0xC1 && !next(&b))
            return false;
        }
      }
    }
  }
  out->width = w, out->height = h;
  out->pixels.assign(size_t(w) * size_t(h), 0);
  if (planes == 1) {
    if (pos + 769 > file.size())
      return false;
    const uint8_t* pal = &file[pos + 1];
    for (size_t i = 0; i < out->pixels.size(); i++) {
      const uint8_t* c = pal + size_t(data[i]) * 3;
      out->pixels[i] = test_rgba(c[0], c[1], c[2], 0);
    }
  } else {
    for (size_t i = 0; i < out->pixels.size(); i++)
      out->pixels[i] = test_rgba(data[i * 3], data[i * 3 + 1], data[i * 3 + 2], 0);
  }
  return true;
}

bool test_pcx24_decode_mirror(const std::vector<uint8_t>& file, test_image* out) {
  if (file.size() < 128 || file[65] != 3)
    return false;
  const int32_t w = int32_t(test_u16(file, 8)) - int32_t(test_u16(file, 4)) + 1;
  const int32_t h = int32_t(test_u16(file, 10)) - int32_t(test_u16(file, 6)) + 1;
  std::vector<uint8_t> data;
  const size_t need = size_t(w) * size_t(h) * 3;
  size_t pos = 128;
  while (data.size() < need) {
    if (pos >= file.size())
      return false;
    const uint8_t b = file[pos++];
    if (b < 0xC0) {
      data.push_back(b);
      continue;
    }
    if (pos >= file.size())
      return false;
    const uint8_t value = file[pos++];
    for (int k = 0; k < (b & 63) && data.size() < need; k++)
      data.push_back(value);
  }
  out->width = w, out->height = h;
  out->pixels.resize(size_t(w) * size_t(h));
  for (int32_t y = 0; y < h; y++)
    for (int32_t x = 0; x < w; x++) {
      const size_t row = size_t(y) * 3 * size_t(w);
      out->pixels[size_t(y) * size_t(w) + size_t(x)] =
          test_rgba(data[row + size_t(x)], data[row + size_t(w) + size_t(x)], data[row + 2 * size_t(w) + size_t(x)], 0);
    }
  return true;
}

bool test_tga_decode(const std::vector<uint8_t>& file, test_image* out) {
  if (file.size() < 18 || file[2] != 2 || file[1] != 0)
    return false;
  const int32_t w = int32_t(test_u16(file, 12)), h = int32_t(test_u16(file, 14));
  const int bits = file[16], origin = file[17] >> 4 & 3;
  if (bits != 16 && bits != 24 && bits != 32)
    return false;
  const size_t start = 18 + file[0], bpp = size_t(bits / 8);
  if (file.size() < start + size_t(w) * size_t(h) * bpp)
    return false;
  out->width = w, out->height = h;
  out->pixels.assign(size_t(w) * size_t(h), 0);
  for (int32_t i = 0; i < w * h; i++) {
    const uint8_t* p = &file[start + size_t(i) * bpp];
    uint32_t v;
    if (bits == 16) {
      const uint32_t word = p[0] | uint32_t(p[1]) << 8;
      v = test_rgba(word >> 10 & 31, word >> 5 & 31, word & 31, 0);
    } else {
      v = test_rgba(p[2], p[1], p[0], bits == 32 ? p[3] : 0);
    }
    const int32_t row = i / w, col = i % w;
    const int32_t y = (origin == 0 || origin == 1) ? h - 1 - row : row;
    const int32_t x = (origin == 1 || origin == 3) ? w - 1 - col : col;
    out->pixels[size_t(y) * size_t(w) + size_t(x)] = v;
  }
  return true;
}

bool test_magick_decode(const std::string& path, test_image* out) {
  const std::string size = test_magick_identify(path, "%w %h");
  int w = 0, h = 0;
  if (std::sscanf(size.c_str(), "%d %d", &w, &h) != 2 || w <= 0 || h <= 0)
    return false;
  const std::string raw = path + ".rgba";
  if (testkit_run("convert '" + path + "' -auto-orient -depth 8 'rgba:" + raw + "' 2>/dev/null") != 0)
    return false;
  const std::vector<uint8_t> bytes = testkit_read_file(raw);
  if (bytes.size() != size_t(w) * size_t(h) * 4)
    return false;
  out->width = w, out->height = h;
  out->pixels.resize(size_t(w) * size_t(h));
  for (size_t i = 0; i < out->pixels.size(); i++)
    out->pixels[i] = test_rgba(bytes[i * 4], bytes[i * 4 + 1], bytes[i * 4 + 2], bytes[i * 4 + 3]);
  return true;
}

std::string test_magick_identify(const std::string& path, const std::string& format) {
  std::string out;
  testkit_run("identify -format '" + format + "' '" + path + "[0]' 2>/dev/null", &out);
  return out;
}
