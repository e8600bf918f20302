#include "colour_add.h"

#include <gtest/gtest.h>

namespace {
uint32_t add_bytewise(uint32_t a, uint32_t b) {
  uint32_t out = a & 0xFF000000u;
  for (int k = 0; k < 24; k += 8) {
    const uint32_t s = ((a >> k) & 255) + ((b >> k) & 255);
    out |= (s > 255 ? 255 : s) << k;
  }
  return out;
}
} // namespace

// Every pair of byte values in each channel, with the other channels and the
// top bytes set so that a carry leaking across bytes would show.
TEST(ColourAdd, MatchesByteWiseSaturationForEveryPair) {
  const uint32_t others[] = {0x00000000u, 0xFFFFFFFFu, 0x80808080u, 0x7F7F7F7Fu};
  for (int k = 0; k < 24; k += 8)
    for (uint32_t o : others)
      for (uint32_t x = 0; x < 256; x++)
        for (uint32_t y = 0; y < 256; y++) {
          const uint32_t mask = ~(255u << k);
          const uint32_t a = (o & mask) | x << k, b = (~o & mask) | y << k;
          ASSERT_EQ(colour_add_saturated(a, b), add_bytewise(a, b)) << std::hex << a << " + " << b;
        }
}
