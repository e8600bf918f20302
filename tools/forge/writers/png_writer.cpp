#include "png_writer.h"

#include "pixmap_png.h"

int write_png(const forge_picture* pic, bool alpha, std::vector<uint8_t>* out) {
  if (!picture_valid(pic) || pic->width < 1 || pic->height < 1) {
    out->clear();
    return 0;
  }
  return pixmap_png_encode(pic->pixels.data(), pic->width, pic->height, alpha, out);
}
