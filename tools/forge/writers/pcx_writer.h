// PCX writer: version 5, run-length encoded, 8-bit indexed with the trailing
// 256-colour palette, or 24-bit in three planes (red, green, blue).
//
// Every plane row is encoded on its own (runs never cross a row or a plane)
// and padded with one zero byte when the width is odd, since the format wants
// an even line length. Every byte of value 0xC0 or more is written as a run
// (count byte, value), never as a literal: readers disagree about a lone 0xC0,
// and this way they all read the same picture.
//
// Note that readers which ignore the line padding (the mirror engine's 24-bit
// reader) need pictures of even width.
#pragma once

#include "picture.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Largest sides a PCX header can express. The height is limited by the 16-bit
// Ymax field; the width also by the 16-bit bytes-per-line field, which holds
// the width padded to even (65535 and 65536 would pad to 65536).
constexpr int32_t PCX_MAX_WIDTH = 65534;
constexpr int32_t PCX_MAX_HEIGHT = 65536;

// Replace out with the file's bytes. Return 1, or 0 for an empty, oversized or
// malformed picture.
int write_pcx8(const indexed_picture* pic, std::vector<uint8_t>* out);
int write_pcx24(const forge_picture* pic, std::vector<uint8_t>* out);

// Appends the run-length encoding of one plane row (count bytes at data with
// the given stride) plus the pad byte when pad is set.
void pcx_encode_row(const uint8_t* data, int32_t count, int32_t stride, bool pad, std::vector<uint8_t>* out);
