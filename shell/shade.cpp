#include "shade.h"

void shade_table_build(uint8_t* table, int32_t top, int32_t base) {
  const int32_t a = top & 255, b = base & 255;
  for (int32_t j = 0; j < 32; j++)
    for (int32_t i = 0; i < 256; i++)
      table[j * 256 + i] = uint8_t(b + ((i - b) * j) / 32);
  for (int32_t k = 0; k < 32; k++)
    for (int32_t i = 0; i < 256; i++)
      table[(32 + k) * 256 + i] = uint8_t(i + ((a - i) * k) / 32);
}
