#include "mirror_scene.h"

#include <cstdlib>

rgb_image* rgb_image_create(int32_t width, int32_t height, uint32_t flags) {
  if (width <= 0 || height <= 0 || int64_t(width) * height > RGB_IMAGE_MAX_PIXELS)
    return nullptr;
  const size_t count = size_t(width) * size_t(height);
  rgb_image* image = static_cast<rgb_image*>(std::calloc(1, sizeof(rgb_image)));
  if (!image)
    return nullptr;
  image->width = width;
  image->height = height;
  // Pixels always start at 0, so a picture made without RGB_IMAGE_CLEAR is
  // the same on every run.
  image->pixels = static_cast<uint32_t*>(std::calloc(count, sizeof(uint32_t)));
  if (image->pixels && (flags & RGB_IMAGE_DEPTH)) {
    image->zbuffer = static_cast<int32_t*>(std::malloc(count * sizeof(int32_t)));
    if (image->zbuffer)
      for (size_t i = 0; i < count; i++)
        image->zbuffer[i] = RGB_IMAGE_FAR;
  }
  if (!image->pixels || ((flags & RGB_IMAGE_DEPTH) && !image->zbuffer)) {
    rgb_image_free(image);
    return nullptr;
  }
  return image;
}

void rgb_image_free(rgb_image* image) {
  if (!image)
    return;
  std::free(image->zbuffer);
  std::free(image->pixels);
  std::free(image);
}
