// The shade table: 64 brightness rows of 256 channel values. Rows 0-31 fade
// from the base value up to the channel value, rows 32-63 from it toward the
// top value.
#pragma once

#include <cstdint>

constexpr int SHADE_TABLE_BYTES = 64 * 256;

void shade_table_build(uint8_t* table, int32_t top, int32_t base);
