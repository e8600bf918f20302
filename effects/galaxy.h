// Galaxy: the opening, stars flying in over a scrolling background.
#pragma once

#include "show_context.h"

#include <cstdint>

int32_t galaxy_init(show_context* show);
int32_t galaxy_frame();
