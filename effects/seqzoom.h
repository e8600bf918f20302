// Sequence zoomer.
#pragma once

#include <cstdint>

struct display_driver;
struct music_clock;
struct pixmap;
struct render_context;

int32_t seqzoom_init(music_clock* clock, pixmap* frame);
int32_t seqzoom_frame();
