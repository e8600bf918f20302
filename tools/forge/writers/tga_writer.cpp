#include "tga_writer.h"

#include "byte_out.h"

int write_tga(const forge_picture* pic, int32_t bits, int32_t origin, std::vector<uint8_t>* out) {
  if (!picture_valid(pic) || pic->width < 1 || pic->height < 1 || pic->width > 65535 || pic->height > 65535)
    return 0;
  if ((bits != 16 && bits != 24 && bits != 32) || origin < 0 || origin > 3)
    return 0;
  out->clear();
  bytes_put_u8(out, 0); // no ID field
  bytes_put_u8(out, 0); // no colour map
  bytes_put_u8(out, 2); // uncompressed true colour
  bytes_put_zeros(out, 5);
  bytes_put_u16(out, 0); // X origin
  bytes_put_u16(out, 0); // Y origin
  bytes_put_u16(out, uint32_t(pic->width));
  bytes_put_u16(out, uint32_t(pic->height));
  bytes_put_u8(out, uint32_t(bits));
  bytes_put_u8(out, uint32_t(origin) << 4 | (bits == 32 ? 8 : 0));

  const bool bottom = origin == TGA_ORIGIN_BOTTOM_LEFT || origin == TGA_ORIGIN_BOTTOM_RIGHT;
  const bool right = origin == TGA_ORIGIN_BOTTOM_RIGHT || origin == TGA_ORIGIN_TOP_RIGHT;
  out->reserve(out->size() + pic->pixels.size() * size_t(bits / 8));
  for (int32_t row = 0; row < pic->height; row++) {
    const int32_t y = bottom ? pic->height - 1 - row : row;
    for (int32_t col = 0; col < pic->width; col++) {
      const int32_t x = right ? pic->width - 1 - col : col;
      const uint32_t p = pic->pixels[size_t(y) * size_t(pic->width) + size_t(x)];
      const uint32_t r = picture_red(p), g = picture_green(p), b = picture_blue(p);
      if (bits == 16) {
        bytes_put_u16(out, (r >> 3) << 10 | (g >> 3) << 5 | b >> 3);
      } else {
        bytes_put_u8(out, b);
        bytes_put_u8(out, g);
        bytes_put_u8(out, r);
        if (bits == 32)
          bytes_put_u8(out, picture_alpha(p));
      }
    }
  }
  return 1;
}
