#include "tga.h"

#include "mem.h"
#include "vfs.h"

#include <cstring>

namespace {

constexpr int32_t TGA_TYPE_TRUECOLOUR = 2; // uncompressed true-colour, the one type read

void tga_parse_header(const uint8_t* h, tga_header* header) {
  header->id_length = h[0];
  header->colour_map_type = h[1];
  header->image_type = h[2];
  header->colour_map_length = h[5] | h[6] << 8;
  header->colour_map_entry_bits = h[7];
  header->width = h[12] | h[13] << 8;
  header->height = h[14] | h[15] << 8;
  header->bits_per_pixel = h[16];
  header->descriptor = h[17];
}

// Bytes between the header and the pixel data: the ID field and a declared
// colour map, which type-2 pictures may carry and which is skipped.
int64_t tga_data_offset(const tga_header* header) {
  int64_t offset = TGA_HEADER_SIZE + header->id_length;
  if (header->colour_map_type != 0)
    offset += int64_t(header->colour_map_length) * ((header->colour_map_entry_bits + 7) / 8);
  return offset;
}

// Reads the header and checks that the file is an uncompressed true-colour
// picture of a depth the reader knows whose pixel data the file holds in full.
int tga_open(vfs_file* file, tga_header* header) {
  uint8_t h[TGA_HEADER_SIZE];
  if (vfs_read(h, TGA_HEADER_SIZE, 1, file) != 1)
    return 0;
  tga_parse_header(h, header);
  if (header->image_type != TGA_TYPE_TRUECOLOUR)
    return 0;
  const int32_t bits = header->bits_per_pixel;
  if (bits != 16 && bits != 24 && bits != 32)
    return 0;
  if (header->width == 0 || header->height == 0)
    return 0;
  const int64_t data = int64_t(header->width) * header->height * (bits / 8);
  return tga_data_offset(header) + data <= vfs_size(file);
}

void tga_convert_row(const uint8_t* src, uint32_t* dst, int32_t width, int32_t bits) {
  switch (bits) {
  case 24:
    for (int32_t x = 0; x < width; x++, src += 3)
      dst[x] = pixmap_rgba(src[2], src[1], src[0], 0);
    break;
  case 32:
    for (int32_t x = 0; x < width; x++, src += 4)
      dst[x] = pixmap_rgba(src[2], src[1], src[0], src[3]);
    break;
  default:
    // Five bits a channel, kept 0 to 31; byte 3 keeps the cleared value.
    for (int32_t x = 0; x < width; x++, src += 2) {
      const uint32_t w = uint32_t(src[0] | src[1] << 8);
      dst[x] = (dst[x] & 0xFF000000u) | pixmap_rgba(w >> 10 & 31, w >> 5 & 31, w & 31, 0);
    }
    break;
  }
}

// Mirrors a row left to right in place.
void tga_mirror_row(uint32_t* row, int32_t width) {
  for (int32_t j = 0; j < width / 2; j++) {
    const uint32_t t = row[j];
    row[j] = row[width - 1 - j];
    row[width - 1 - j] = t;
  }
}

} // namespace

pixmap* tga_load(const char* path) {
  vfs_file* file = vfs_open(path, "rb");
  if (!file)
    return nullptr;
  tga_header header{};
  pixmap* pm = nullptr;
  uint8_t* row = nullptr;
  if (tga_open(file, &header) && vfs_seek(file, int32_t(tga_data_offset(&header)), 0) > 0) {
    const int32_t w = header.width;
    const int32_t h = header.height;
    const int32_t row_bytes = w * (header.bits_per_pixel / 8);
    pm = pixmap_create(w, h, PIXMAP_CLEAR);
    row = pm ? static_cast<uint8_t*>(mem_alloc(size_t(row_bytes))) : nullptr;
    // Rows are read in file order and stored where the origin puts them,
    // which is the same as reading all and then flipping.
    const int32_t origin = (header.descriptor >> 4) & 3;
    const bool bottom = origin == TGA_BOTTOM_LEFT || origin == TGA_BOTTOM_RIGHT;
    const bool right = origin == TGA_BOTTOM_RIGHT || origin == TGA_TOP_RIGHT;
    for (int32_t y = 0; row && y < h; y++) {
      if (vfs_read(row, row_bytes, 1, file) != 1) {
        pixmap_free(pm);
        pm = nullptr;
        break;
      }
      uint32_t* dst = pm->pixels + pm->rows[bottom ? h - 1 - y : y];
      tga_convert_row(row, dst, w, header.bits_per_pixel);
      if (right)
        tga_mirror_row(dst, w);
    }
    if (pm && !row) {
      pixmap_free(pm);
      pm = nullptr;
    }
  }
  if (row)
    mem_free(row);
  vfs_close(file);
  if (!pm)
    vfs_note_failure(path, header.image_type == TGA_TYPE_TRUECOLOUR ? "its pixel data is cut short"
                                                                    : "not an uncompressed true-colour TGA picture");
  return pm;
}

int tga_read_info(const char* path, tga_header* header) {
  vfs_file* file = vfs_open(path, "rb");
  if (!file)
    return 0;
  const int ok = tga_open(file, header);
  vfs_close(file);
  return ok;
}
