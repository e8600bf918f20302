#include "pcx_writer.h"

#include "byte_out.h"

static bool pcx_size_ok(int32_t width, int32_t height) {
  return width > 0 && height > 0 && width <= PCX_MAX_WIDTH && height <= PCX_MAX_HEIGHT;
}

static void pcx_header(int32_t width, int32_t height, int32_t planes, std::vector<uint8_t>* out) {
  const int32_t line = width + (width & 1);
  out->clear();
  bytes_put_u8(out, 10); // manufacturer
  bytes_put_u8(out, 5);  // version
  bytes_put_u8(out, 1);  // run-length encoding
  bytes_put_u8(out, 8);  // bits per pixel and plane
  bytes_put_u16(out, 0); // Xmin
  bytes_put_u16(out, 0); // Ymin
  bytes_put_u16(out, uint32_t(width - 1));
  bytes_put_u16(out, uint32_t(height - 1));
  bytes_put_u16(out, 72); // resolution
  bytes_put_u16(out, 72);
  bytes_put_zeros(out, 48); // 16-colour palette, unused
  bytes_put_u8(out, 0);     // reserved
  bytes_put_u8(out, uint32_t(planes));
  bytes_put_u16(out, uint32_t(line)); // bytes per plane line
  bytes_put_u16(out, 1);              // palette type: colour
  bytes_put_u16(out, 0);              // screen size
  bytes_put_u16(out, 0);
  bytes_put_zeros(out, 128 - out->size());
}

void pcx_encode_row(const uint8_t* data, int32_t count, int32_t stride, bool pad, std::vector<uint8_t>* out) {
  int32_t i = 0;
  while (i < count) {
    const uint8_t value = data[size_t(i) * size_t(stride)];
    int32_t run = 1;
    while (run < 63 && i + run < count && data[size_t(i + run) * size_t(stride)] == value)
      run++;
    if (run == 1 && value < 0xC0) {
      out->push_back(value);
    } else {
      out->push_back(uint8_t(0xC0 + run));
      out->push_back(value);
    }
    i += run;
  }
  if (pad)
    out->push_back(0);
}

int write_pcx8(const indexed_picture* pic, std::vector<uint8_t>* out) {
  if (!indexed_valid(pic) || !pcx_size_ok(pic->width, pic->height))
    return 0;
  pcx_header(pic->width, pic->height, 1, out);
  const bool pad = pic->width & 1;
  for (int32_t y = 0; y < pic->height; y++)
    pcx_encode_row(&pic->indices[size_t(y) * size_t(pic->width)], pic->width, 1, pad, out);
  bytes_put_u8(out, 12); // palette marker
  out->insert(out->end(), pic->palette.begin(), pic->palette.end());
  return 1;
}

int write_pcx24(const forge_picture* pic, std::vector<uint8_t>* out) {
  if (!picture_valid(pic) || !pcx_size_ok(pic->width, pic->height))
    return 0;
  pcx_header(pic->width, pic->height, 3, out);
  const bool pad = pic->width & 1;
  for (int32_t y = 0; y < pic->height; y++) {
    const uint8_t* row = reinterpret_cast<const uint8_t*>(&pic->pixels[size_t(y) * size_t(pic->width)]);
    for (int plane = 0; plane < 3; plane++)
      pcx_encode_row(row + plane, pic->width, 4, pad, out);
  }
  return 1;
}
