// Small independent decoders and ImageMagick helpers for the forge's tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A decoded picture: red, green, blue, fourth byte per pixel, top row first.
struct test_image {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;
};

// PCX as the picture reader reads it: a lone byte 0xC0 is a literal, runs
// are cut at plane ends (8-bit: dropped; 24-bit: carried into the next plane),
// one pad byte per plane row of odd width. False on a bad header or when the
// data runs out.
bool test_pcx_decode(const std::vector<uint8_t>& file, test_image* out);

// PCX as the mirror engine reads 24-bit pictures: every byte of 0xC0 or more
// is a run of its low six bits, runs cross rows and planes, no padding.
bool test_pcx24_decode_mirror(const std::vector<uint8_t>& file, test_image* out);

// Uncompressed TGA of type 2 (16, 24, 32 bits) turned upright; 16-bit
// channels come out as 0-31, the fourth byte is alpha for 32 bits, else 0.
bool test_tga_decode(const std::vector<uint8_t>& file, test_image* out);

// Decodes any file with ImageMagick (orientation applied) to 8-bit RGBA.
bool test_magick_decode(const std::string& path, test_image* out);

// Runs ImageMagick's identify with a format string on a file.
std::string test_magick_identify(const std::string& path, const std::string& format);
