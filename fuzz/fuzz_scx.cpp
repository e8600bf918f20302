// SCX map reader on fuzz input.
#include "fuzz_target.h"
#include "mem_device.h"
#include "scx.h"
#include "scx_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint32_t blocks = fuzz_blocks_before();
  mem_device_serve("fuzz.scx", data, size);
  if (scx_bitmap* map = scx_load("fuzz.scx")) {
    // Every value can be read (a short block trips the sanitizers here).
    volatile uint32_t sum = 0;
    for (int64_t i = 0; i < int64_t(map->width) * map->height; i++)
      sum = sum + map->pixels[i];
    (void)sum;
    scx_free(map);
  }
  fuzz_check_released(blocks);
  return 0;
}

void fuzz_seeds(std::vector<fuzz_input>* out) {
  const int sizes[][2] = {{1, 1}, {13, 9}, {64, 32}};
  for (const auto& s : sizes) {
    scx_map map;
    map.width = s[0];
    map.height = s[1];
    map.pixels.resize(size_t(s[0]) * size_t(s[1]));
    for (size_t i = 0; i < map.pixels.size(); i++)
      map.pixels[i] = uint8_t(i * 37 + i / 5);
    fuzz_input bytes;
    if (write_scx(&map, &bytes))
      out->push_back(bytes);
  }
}
