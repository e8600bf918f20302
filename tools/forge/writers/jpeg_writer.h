// JPEG writer through libjpeg-turbo: colour (YCbCr) pictures, baseline or
// progressive, with a chosen quality and chroma subsampling.
#pragma once

#include "picture.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct jpeg_compress_struct;

struct jpeg_options {
  int32_t quality = 90;     // 1 to 100
  bool progressive = false; // baseline otherwise
  bool full_chroma = false; // 4:4:4 instead of 4:2:0 (sharper colour edges)
};

// Replace out with the file's bytes. Return 1, or 0 for an empty or oversized
// picture, a quality outside 1 to 100, or a failure inside the library (out is
// then left as it was).
int write_jpeg(const forge_picture* pic, const jpeg_options* options, std::vector<uint8_t>* out);

// Makes a compressor write its file into out (replacing what out held): the
// vector grows as the library needs and is trimmed to the file when the
// compression finishes. After a library error out stays the caller's, to free
// or reuse; the library frees only its own memory.
void jpeg_writer_dest_set(jpeg_compress_struct* info, std::vector<uint8_t>* out);
