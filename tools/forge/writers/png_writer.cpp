#include "png_writer.h"

#include "picture_png.h"

int write_png(const forge_picture* pic, bool alpha, std::vector<uint8_t>* out) {
  if (!picture_valid(pic) || pic->width < 1 || pic->height < 1) {
    out->clear();
    return 0;
  }
  return picture_encode_png(pic->pixels.data(), pic->width, pic->height, alpha, out);
}
