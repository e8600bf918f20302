// Magnet.
#pragma once

#include <cstdint>

struct display_driver;
struct music_clock;
struct pixmap;
struct render_context;

int32_t magnet_init(music_clock* clock, pixmap* frame, uint8_t* shade, render_context* rc);
int32_t magnet_frame();
