// Intro: burn-in, the tile wall and the title (sections 0, 1, 2).
#pragma once

#include <cstdint>

struct display_driver;
struct music_clock;
struct pixmap;
struct render_context;

int32_t intro_init(music_clock* clock, display_driver* driver, render_context* rc, uint8_t* shade);
int32_t intro_frame(int32_t section);
