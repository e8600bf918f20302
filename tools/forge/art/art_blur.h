// Blurs: three box passes per direction approximate a Gaussian. Edges are
// either clamped (the border value extends outward) or wrapped (for tiling
// textures).
#pragma once

#include "art_canvas.h"

#include <cstddef>
#include <cstdint>

// One box pass of the given radius (window 2 * radius + 1) along rows and
// then columns.
void art_box_blur(art_field* f, int32_t radius, bool wrap);

// Gaussian-like blur with standard deviation about sigma pixels.
void art_blur(art_field* f, float sigma, bool wrap);
void art_blur_canvas(art_canvas* c, float sigma, bool wrap);
