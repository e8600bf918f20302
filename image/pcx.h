// PCX reader: run-length encoded version-5 pictures, either 8-bit indexed
// with a 256-colour palette after the image data, or 24-bit in three colour
// planes (red, green, blue) per scan line.
#pragma once

#include "pixmap.h"

#include <cstdint>

enum : int32_t {
  PCX_INDEXED = 1,   // one plane of palette indices
  PCX_TRUECOLOUR = 2 // three planes, red, green, blue
};

constexpr int32_t PCX_HEADER_SIZE = 128;

// The picture while it is decoded.
struct pcx_picture {
  int32_t kind;
  int32_t width;
  int32_t height;
  uint8_t* header;       // the 128 header bytes
  uint32_t palette[256]; // red, green, blue, 0
  uint8_t* data;         // indices (kind 1) or interleaved red, green, blue (kind 2)
};

// Prints the reasons a header is refused when nonzero (off; nothing turns it on).
extern int32_t pcx_verbose;

// Reads a PCX file through the file layer into a new pixmap (flags 0), or none.
pixmap* pcx_load(const char* path);

// Reads and checks the header only: kind, width and height. 1, or 0 when the
// file cannot be opened or is not a picture pcx_load reads.
int pcx_read_info(const char* path, int32_t* kind, int32_t* width, int32_t* height);
