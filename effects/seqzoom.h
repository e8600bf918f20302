// Sequence zoomer: a fly-in on the intro's ring picture, then a plunge
// through three pictures nested as discs, with lens flares drifting over.
#pragma once

#include "show_context.h"

#include <cstdint>

// Reads the intro's ring picture from show->pictures.ring and hands its
// flares on through show->flares.
int32_t seqzoom_init(show_context* show);
int32_t seqzoom_frame();
