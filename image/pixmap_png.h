// PNG output of 32-bit pixels (bytes 0 to 2 as red, green, blue; with alpha,
// byte 3 as alpha), for the programs that write pictures: the headless show's
// frames, the picture tool and the data generator. No time stamp is written,
// so the bytes depend only on the picture.
#pragma once

#include "pixmap.h"

#include <cstdint>
#include <string>
#include <vector>

// Encodes width x height pixels, top row first, into out. Returns 1, or 0
// for an empty picture or a failure inside the library.
int pixmap_png_encode(const uint32_t* pixels, int32_t width, int32_t height, bool alpha, std::vector<uint8_t>* out);

// Writes a pixmap to a PNG file. Returns 1, or 0 with error set.
int pixmap_png_write(const pixmap* pm, const std::string& path, bool alpha, std::string* error);
