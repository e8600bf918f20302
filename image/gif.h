// GIF reader: parses every block of the file, decodes every image, and
// returns the first image coloured from its local palette or, failing that,
// the global one. Progress lines beginning "[GIF] " go to standard output.
#pragma once

#include "pixmap.h"
#include "vfs.h"

#include <cstdint>

struct gif_image {
  int32_t left;
  int32_t top;
  int32_t width;
  int32_t height;
  int32_t local_colours; // 0 when there is no local palette
  uint8_t packed;
  uint32_t local_palette[256]; // red, green, blue, 0
  uint8_t* indices;            // width * height colour indices, in decoded order
};

struct gif_file {
  uint8_t header[4]; // not used
  int32_t screen_width;
  int32_t screen_height;
  int32_t global_colours; // 0 when there is no global palette
  int32_t background;
  uint8_t packed;
  uint32_t global_palette[256]; // red, green, blue, 255
  int32_t image_count;
  gif_image** images; // in file order
};

// Reads a GIF file through the file layer into a new pixmap (flags 0), or none.
pixmap* gif_load(const char* path);

// Parses an open file from its current position: every block, every image
// decoded. None on failure; the caller releases the result with gif_file_free.
gif_file* gif_parse(vfs_file* file);
void gif_file_free(gif_file* gif);
