// JPEG reader: baseline and progressive pictures decoded by libjpeg (version
// 62 interface), reading through the file layer with a source of our own and
// coming back from library errors through a jump instead of exiting.
#pragma once

#include "pixmap.h"

#include <cstdint>

struct jpeg_info {
  int32_t width;
  int32_t height;
  int32_t components; // 1 for grey-scale, 3 for colour
  int32_t progressive;
};

// Reads a JPEG file through the file layer into a new pixmap (flags
// PIXMAP_CLEAR, byte 3 of every pixel 0), or none. Grey-scale pictures come
// out with red = green = blue.
pixmap* jpeg_load(const char* path);

// Reads the header only. 1, or 0 when the file cannot be opened or is not a
// picture jpeg_load reads.
int jpeg_read_info(const char* path, jpeg_info* info);
