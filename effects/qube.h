// Qube.
#pragma once

#include <cstdint>

#include "show_context.h"

struct display_driver;
struct music_clock;
struct pixmap;
struct render_context;

int32_t qube_init(show_context* show);
int32_t qube_frame();
