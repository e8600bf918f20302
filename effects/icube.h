// Image cube: a large cube turning close to the viewer, a picture animation
// on every face, the zoomer's flares over it and a typewriter text.
#pragma once

#include <cstdint>

struct display_driver;
struct music_clock;
struct pixmap;
struct render_context;

int32_t icube_init(music_clock* clock, pixmap* frame, render_context* rc);
int32_t icube_frame();
