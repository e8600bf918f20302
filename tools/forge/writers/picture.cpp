#include "picture.h"

#include "pixmap.h"

#include <cstring>

int picture_init(forge_picture* pic, int32_t width, int32_t height, uint32_t value) {
  if (width < 0 || height < 0)
    return 0;
  pic->width = width;
  pic->height = height;
  pic->pixels.assign(size_t(width) * size_t(height), value);
  return 1;
}

int indexed_init(indexed_picture* pic, int32_t width, int32_t height, int32_t colours) {
  if (width < 0 || height < 0 || colours < 1 || colours > 256)
    return 0;
  pic->width = width;
  pic->height = height;
  pic->indices.assign(size_t(width) * size_t(height), 0);
  pic->palette.fill(0);
  pic->colours = colours;
  return 1;
}

int picture_from_pixmap(forge_picture* pic, const pixmap* pm) {
  if (!pm || !pm->pixels || pm->width < 0 || pm->height < 0)
    return 0;
  if (!picture_init(pic, pm->width, pm->height, 0))
    return 0;
  if (!pic->pixels.empty())
    std::memcpy(pic->pixels.data(), pm->pixels, pic->pixels.size() * 4);
  return 1;
}

bool picture_valid(const forge_picture* pic) {
  return pic && pic->width >= 0 && pic->height >= 0 && pic->pixels.size() == size_t(pic->width) * size_t(pic->height);
}

bool indexed_valid(const indexed_picture* pic) {
  return pic && pic->width >= 0 && pic->height >= 0 && pic->colours >= 1 && pic->colours <= 256 &&
         pic->indices.size() == size_t(pic->width) * size_t(pic->height);
}

int indexed_expand(const indexed_picture* in, forge_picture* out) {
  if (!indexed_valid(in) || !picture_init(out, in->width, in->height, 0))
    return 0;
  for (size_t i = 0; i < in->indices.size(); i++) {
    const uint8_t* c = &in->palette[size_t(in->indices[i]) * 3];
    out->pixels[i] = picture_rgba(c[0], c[1], c[2], 0);
  }
  return 1;
}
