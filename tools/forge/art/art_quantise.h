// Reduction of true-colour pictures to a palette (for GIF and 8-bit PCX).
#pragma once

#include "picture.h"

#include <cstddef>
#include <cstdint>

// Median-cut palette of at most `colours` entries (1 to 256) and the nearest
// entry for every pixel; with dither, Floyd-Steinberg error diffusion. A
// picture with no more distinct colours than allowed keeps them exactly.
// Returns 1, or 0 for a bad picture or count.
int art_quantise(const forge_picture* in, int32_t colours, bool dither, indexed_picture* out);
