// Little-endian byte appenders shared by the writers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

inline void bytes_put_u8(std::vector<uint8_t>* out, uint32_t v) { out->push_back(uint8_t(v)); }

inline void bytes_put_u16(std::vector<uint8_t>* out, uint32_t v) {
  out->push_back(uint8_t(v));
  out->push_back(uint8_t(v >> 8));
}

inline void bytes_put_u32(std::vector<uint8_t>* out, uint32_t v) {
  bytes_put_u16(out, v & 0xFFFF);
  bytes_put_u16(out, v >> 16);
}

inline void bytes_put_zeros(std::vector<uint8_t>* out, size_t count) { out->insert(out->end(), count, 0); }
