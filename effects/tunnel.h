// Tunnel flight.
#pragma once

#include "show_context.h"

#include <cstdint>

int32_t tunnel_init(show_context* show);
int32_t tunnel_frame();
// When the music ends the flight: switches the frame's depth flag off again,
// which the flight's first frame switched on.
void tunnel_leave();
