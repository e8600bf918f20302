// Image cube: a large cube turning close to the viewer, a picture animation
// on every face, the zoomer's flares over it and a typewriter text.
#pragma once

#include "show_context.h"

#include <cstdint>

// Flies on the zoomer's flares from show->flares.
int32_t icube_init(show_context* show);
int32_t icube_frame();
