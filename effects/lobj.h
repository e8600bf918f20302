// Light object: a perforated chrome sphere with beams of light shooting out
// of its white core.
#pragma once

#include "show_context.h"

#include <cstdint>

// Draws over the diffuse cube's background from show->pictures.
int32_t lobj_init(show_context* show);
int32_t lobj_frame();
