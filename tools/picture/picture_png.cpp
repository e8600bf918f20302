#include "picture_png.h"

#include <cstring>
#include <png.h>
#include <vector>

int picture_write_png(const pixmap* pm, const std::string& path, bool alpha, std::string* error) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(pm->width);
  image.height = png_uint_32(pm->height);
  image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  const size_t channels = alpha ? 4 : 3;
  const size_t count = size_t(pm->width) * size_t(pm->height);
  std::vector<uint8_t> bytes(count * channels);
  for (size_t i = 0; i < count; i++) {
    const uint32_t p = pm->pixels[i];
    for (size_t k = 0; k < channels; k++)
      bytes[i * channels + k] = uint8_t(p >> (8 * k));
  }
  if (!png_image_write_to_file(&image, path.c_str(), 0, bytes.data(), 0, nullptr)) {
    *error = image.message[0] ? image.message : "cannot write the PNG file";
    png_image_free(&image);
    return 0;
  }
  return 1;
}
