// Intro: burn-in, the tile wall and the title (sections 0, 1, 2).
#pragma once

#include "show_context.h"

#include <cstdint>

// Publishes the ring picture (show->pictures.ring) for the zoomer.
int32_t intro_init(show_context* show);
int32_t intro_frame(int32_t section);
