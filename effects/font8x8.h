// The built-in 8x8 font record: a 16-bit height, 256 16-bit offsets (bytes
// from the start of the record to each glyph), then the glyphs: advance
// width, y offset, row count (8, or 0 when empty), bytes per row (1) and the
// rows, most significant bit leftmost. All values little-endian 16-bit.
#pragma once

#include <cstdint>

// 2 + 512 bytes of header, 8 bytes per glyph head, 8 rows for each of the 94
// drawn characters.
constexpr int FONT8X8_RECORD_BYTES = 2 + 512 + 256 * 8 + 94 * 8;

const uint8_t* font8x8_record();
