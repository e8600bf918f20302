// Galaxy: the opening, stars flying in over a scrolling background.
#pragma once

#include <cstdint>

struct display_driver;
struct music_clock;
struct pixmap;
struct render_context;

int32_t galaxy_init(music_clock* clock, pixmap* frame, uint8_t* shade);
int32_t galaxy_frame();
