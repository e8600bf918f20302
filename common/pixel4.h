// Four 32-bit pixels handled at once, through the compilers' vector types
// (GCC and clang lower them to SSE2 on x86-64 and to plain code elsewhere).
// The hot loops use them where the pixels of a group do not depend on each
// other; every operation is the scalar one lane by lane, so the results are
// the same bits.
#pragma once

#include <cstdint>
#include <cstring>

using pixel4 = uint32_t __attribute__((vector_size(16)));
using lanes16 = uint16_t __attribute__((vector_size(16))); // one colour channel per lane
using floats4 = float __attribute__((vector_size(16)));
using ints4 = int32_t __attribute__((vector_size(16)));

inline pixel4 pixel4_load(const uint32_t* p) {
  pixel4 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

inline void pixel4_store(uint32_t* p, pixel4 v) { std::memcpy(p, &v, sizeof v); }
