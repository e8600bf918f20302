// Diffuse cube: clouds of light turning inside an invisible cube.
#pragma once

#include <cstdint>

struct display_driver;
struct music_clock;
struct pixmap;
struct render_context;

int32_t dcube_init(music_clock* clock, display_driver* driver, pixmap* frame, uint8_t* shade);
int32_t dcube_frame();
