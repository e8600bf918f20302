// Qube.
#pragma once

#include <cstdint>

struct display_driver;
struct music_clock;
struct pixmap;
struct render_context;

int32_t qube_init(music_clock* clock, pixmap* frame, render_context* rc);
int32_t qube_frame();
