// The engine's own 24-bit PCX reader: three planes per row (red, green,
// blue), run-length data whose runs may cross rows and planes, and no line
// padding (pictures of even width read as written).
#include "mirror_scene.h"
#include "scene_file.h"
#include "vfs.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {
constexpr int32_t PCX24_HEADER_READ = 74; // the bytes of the header the reader looks at
constexpr int32_t PCX24_DATA_START = 128;
constexpr int32_t PCX24_PLANES_AT = 65;
constexpr uint8_t PCX24_RUN = 192; // bytes from here on carry a count in their low six bits
constexpr int32_t PCX24_LONGEST_RUN = 63;

// Fails the load; the file is noted for the show's failure line.
rgb_image* pcx24_fail(int32_t code, uint8_t* file, uint8_t* planes, rgb_image* image, const char* path) {
  pcx24_error = code;
  if (path)
    vfs_note_failure(path, pcx24_error_text());
  std::free(file);
  std::free(planes);
  rgb_image_free(image);
  return nullptr;
}

bool pcx24_named(const char* path) {
  const size_t n = std::strlen(path);
  if (n < 4)
    return false;
  const char* ext = path + n - 4;
  return ext[0] == '.' && std::tolower(static_cast<unsigned char>(ext[1])) == 'p' &&
         std::tolower(static_cast<unsigned char>(ext[2])) == 'c' &&
         std::tolower(static_cast<unsigned char>(ext[3])) == 'x';
}

int32_t pcx24_u16(const uint8_t* p) { return int32_t(p[0] | p[1] << 8); }

// Decodes run-length data into out until count bytes are produced; false if
// the data ends first.
bool pcx24_decode(const uint8_t* p, const uint8_t* end, uint8_t* out, size_t count) {
  size_t pos = 0;
  while (pos < count) {
    if (p >= end)
      return false;
    const uint8_t b = *p++;
    if (b < PCX24_RUN) {
      out[pos++] = b;
      continue;
    }
    if (p >= end)
      return false;
    size_t run = b & PCX24_LONGEST_RUN;
    if (run > count - pos)
      run = count - pos;
    std::memset(out + pos, *p++, run);
    pos += run;
  }
  return true;
}
} // namespace

rgb_image* pcx24_load(const char* path) {
  if (!path || !pcx24_named(path))
    return pcx24_fail(PCX24_ERROR_NAME, nullptr, nullptr, nullptr, path);
  int32_t size = 0;
  uint8_t* file = scene_read_file(path, "rb", &size);
  if (!file)
    return pcx24_fail(PCX24_ERROR_OPEN, nullptr, nullptr, nullptr, path);
  if (size < PCX24_HEADER_READ)
    return pcx24_fail(PCX24_ERROR_DATA, file, nullptr, nullptr, path);
  if (file[PCX24_PLANES_AT] != 3)
    return pcx24_fail(PCX24_ERROR_VERSION, file, nullptr, nullptr, path);
  const int32_t width = pcx24_u16(file + 8) - pcx24_u16(file + 4) + 1;
  const int32_t height = pcx24_u16(file + 10) - pcx24_u16(file + 6) + 1;
  // A picture the data could not hold even in runs of 63 is refused before
  // anything is allocated.
  const int64_t data = size > PCX24_DATA_START ? size - PCX24_DATA_START : 0;
  const int64_t samples = int64_t(width) * height * 3;
  if (width <= 0 || height <= 0 || samples > (data / 2) * PCX24_LONGEST_RUN + data % 2)
    return pcx24_fail(PCX24_ERROR_DATA, file, nullptr, nullptr, path);
  rgb_image* image = rgb_image_create(width, height, RGB_IMAGE_CLEAR);
  uint8_t* planes = static_cast<uint8_t*>(std::malloc(size_t(samples)));
  if (!image || !planes)
    return pcx24_fail(PCX24_ERROR_MEMORY, file, planes, image, path);
  if (!pcx24_decode(file + PCX24_DATA_START, file + size, planes, size_t(samples)))
    return pcx24_fail(PCX24_ERROR_DATA, file, planes, image, path);
  const size_t w = size_t(width);
  for (int32_t y = 0; y < height; y++) {
    const uint8_t* r = planes + 3 * size_t(y) * w;
    uint32_t* row = image->pixels + size_t(y) * w;
    for (size_t x = 0; x < w; x++)
      row[x] = uint32_t(r[x]) | uint32_t(r[w + x]) << 8 | uint32_t(r[2 * w + x]) << 16;
  }
  std::free(file);
  std::free(planes);
  return image;
}
