// Mirror hall: a chrome star in a textured hall whose mirrors show the
// previous frame, with particle streams, fountains on the bar and a lens
// flare. Its init prepares the opening picture the credits fade into.
#pragma once

#include <cstdint>

#include "show_context.h"

struct display_driver;
struct music_clock;
struct pixmap;
struct render_context;

int32_t mirrors_init(show_context* show);
int32_t mirrors_frame();
