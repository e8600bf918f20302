// Light object: a perforated chrome sphere with beams of light shooting out
// of its white core.
#pragma once

#include <cstdint>

struct display_driver;
struct music_clock;
struct pixmap;
struct render_context;

int32_t lobj_init(music_clock* clock, pixmap* frame, render_context* rc);
int32_t lobj_frame();
