// A loaded picture kept only when the effect's drawers can read it whole.
#pragma once

#include "pixmap.h"

#include <cstdint>

// Returns `p` when it is `width` pixels wide and at least `height` rows high;
// otherwise notes why `name` was refused, frees `p` and returns null. A null
// `p` (the reader already refused the file) passes through.
pixmap* picture_fit(pixmap* p, const char* name, int32_t width, int32_t height);
