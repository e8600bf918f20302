// PNG writer through libpng (used for the contact sheets): 8-bit RGB, or RGBA
// with the fourth byte as alpha. No time stamp, so the bytes depend only on
// the picture.
#pragma once

#include "picture.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Replace out with the file's bytes. Return 1, or 0 for an empty picture or
// a failure inside the library.
int write_png(const forge_picture* pic, bool alpha, std::vector<uint8_t>* out);
