// Byte-wise saturating addition of 0x00RRGGBB colours, without a branch or a
// loop per byte: the hot additive loops (beams, flares, sprites) share it.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The colour bytes of b added to those of a, each held at 255; a's top byte
// stays. With SSE2 one saturating byte add does it (b's top byte cleared);
// elsewhere the low seven bits of each byte are summed, the top bits are
// added in without carry, and a byte that carried out becomes 255.
inline uint32_t colour_add_saturated(uint32_t a, uint32_t b) {
#if defined(__SSE2__)
  const __m128i sum = _mm_adds_epu8(_mm_cvtsi32_si128(int32_t(a)), _mm_cvtsi32_si128(int32_t(b & 0xFFFFFF)));
  return uint32_t(_mm_cvtsi128_si32(sum));
#else
  const uint32_t x = a & 0xFFFFFF, y = b & 0xFFFFFF;
  const uint32_t low = (x & 0x7F7F7F) + (y & 0x7F7F7F);
  const uint32_t sum = low ^ ((x ^ y) & 0x808080);
  const uint32_t carry = ((x & y) | ((x | y) & ~sum)) & 0x808080;
  return (a & 0xFF000000) | sum | ((carry << 1) - (carry >> 7));
#endif
}
