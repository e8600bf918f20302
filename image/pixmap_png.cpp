#include "pixmap_png.h"

#include <cstring>
#include <fstream>
#include <png.h>

int pixmap_png_encode(const uint32_t* pixels, int32_t width, int32_t height, bool alpha, std::vector<uint8_t>* out) {
  out->clear();
  if (width < 1 || height < 1)
    return 0;
  const size_t channels = alpha ? 4 : 3;
  const size_t count = size_t(width) * size_t(height);
  std::vector<uint8_t> bytes(count * channels);
  for (size_t i = 0; i < count; i++)
    for (size_t k = 0; k < channels; k++)
      bytes[i * channels + k] = uint8_t(pixels[i] >> (8 * k));
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(width);
  image.height = png_uint_32(height);
  image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, bytes.data(), 0, nullptr)) {
    png_image_free(&image);
    return 0;
  }
  out->resize(size);
  if (!png_image_write_to_memory(&image, out->data(), &size, 0, bytes.data(), 0, nullptr)) {
    png_image_free(&image);
    out->clear();
    return 0;
  }
  out->resize(size);
  return 1;
}

int pixmap_png_write(const pixmap* pm, const std::string& path, bool alpha, std::string* error) {
  std::vector<uint8_t> png;
  if (!pixmap_png_encode(pm->pixels, pm->width, pm->height, alpha, &png)) {
    *error = "cannot encode a PNG picture of " + std::to_string(pm->width) + "x" + std::to_string(pm->height);
    return 0;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
  // Closed before the check: a write that fails while flushing shows only then.
  out.close();
  if (!out) {
    *error = "cannot write " + path;
    return 0;
  }
  return 1;
}
