// Diffuse cube: clouds of light turning inside an invisible cube.
#pragma once

#include "show_context.h"

#include <cstdint>

// Publishes its background (show->pictures.dcube_background) for the light
// object.
int32_t dcube_init(show_context* show);
int32_t dcube_frame();
