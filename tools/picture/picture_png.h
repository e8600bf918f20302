// PNG output of a pixmap for the picture tool.
#pragma once

#include "pixmap.h"

#include <string>

// Writes bytes 0 to 2 of each pixel as red, green, blue, and with alpha byte 3
// as alpha. Returns 1, or 0 with error set.
int picture_write_png(const pixmap* pm, const std::string& path, bool alpha, std::string* error);
