// SCX writer: 8-bit single-channel maps behind a 778-byte header (a 32-bit
// tag, width and height as 16-bit values, 770 further bytes), pixels row by
// row, top row first, without padding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int32_t SCX_HEADER_SIZE = 778;

// A map of width * height bytes.
struct scx_map {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> pixels;
};

// Replace out with the file's bytes. The 770 bytes after the size hold two
// zero bytes and a grey-scale palette (256 triples) for viewers that want one.
// Return 1, or 0 for an empty, oversized or malformed map.
int write_scx(const scx_map* map, std::vector<uint8_t>* out);
