// Net: a rippling, turning sheet of points drawn as a texture warp over 8 x 8
// blocks, shaded by its normals; in its last stage the finished picture folds
// into a ball that rolls away. The magnet and the qube draw the net too.
#pragma once

#include <cstdint>

#include "show_context.h"

struct pixmap;

int32_t net_init(show_context* show);
int32_t net_frame();

// Draws the net into p (320 x 240) and moves its animation on by the clock's
// frame delta. Draws nothing before a successful init.
void net_draw(pixmap* p);
