#include "scx_writer.h"

#include "byte_out.h"

int write_scx(const scx_map* map, std::vector<uint8_t>* out) {
  if (!map || map->width < 1 || map->height < 1 || map->width > 65535 || map->height > 65535 ||
      map->pixels.size() != size_t(map->width) * size_t(map->height))
    return 0;
  // Sized once: the header, the grey palette and the pixels.
  out->clear();
  out->reserve(10 + 768 + map->pixels.size());
  for (const char c : {'S', 'C', 'X', '\0'})
    bytes_put_u8(out, uint8_t(c));
  bytes_put_u16(out, uint32_t(map->width));
  bytes_put_u16(out, uint32_t(map->height));
  bytes_put_zeros(out, 2);
  for (uint32_t i = 0; i < 256; i++)
    for (int k = 0; k < 3; k++)
      bytes_put_u8(out, i);
  out->insert(out->end(), map->pixels.begin(), map->pixels.end());
  return 1;
}
