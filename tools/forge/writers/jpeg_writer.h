// JPEG writer through libjpeg-turbo: colour (YCbCr) pictures, baseline or
// progressive, with a chosen quality and chroma subsampling.
#pragma once

#include "picture.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct jpeg_options {
  int32_t quality = 90;     // 1 to 100
  bool progressive = false; // baseline otherwise
  bool full_chroma = false; // 4:4:4 instead of 4:2:0 (sharper colour edges)
};

// Replace out with the file's bytes. Return 1, or 0 for an empty or oversized
// picture, a quality outside 1 to 100, or a failure inside the library.
int write_jpeg(const forge_picture* pic, const jpeg_options* options, std::vector<uint8_t>* out);
