// Mirror hall.
#pragma once

#include <cstdint>

struct display_driver;
struct music_clock;
struct pixmap;
struct render_context;

int32_t mirrors_init(pixmap* frame, music_clock* clock, uint8_t* shade);
int32_t mirrors_frame();
