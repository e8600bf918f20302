// 24-bit PCX reader of the mirror engine on fuzz input.
#include "fuzz_seed_art.h"
#include "fuzz_target.h"
#include "mem_device.h"
#include "mirror_scene.h"
#include "pcx_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint32_t blocks = fuzz_blocks_before();
  mem_device_serve("fuzz.pcx", data, size);
  rgb_image* image = pcx24_load("fuzz.pcx");
  if (!image) {
    fuzz_check_released(blocks);
    return 0;
  }
  // Every pixel is read, so a short block trips the sanitizers here.
  volatile uint32_t sum = 0;
  for (int64_t i = 0; i < int64_t(image->width) * image->height; i++)
    sum = sum + image->pixels[i];
  (void)sum;
  rgb_image_free(image);
  fuzz_check_released(blocks);
  return 0;
}

void fuzz_seeds(std::vector<fuzz_input>* out) {
  const int sizes[][2] = {{2, 1}, {8, 5}, {24, 16}};
  for (const auto& s : sizes) {
    fuzz_input bytes;
    const forge_picture pic = fuzz_art_picture(s[0], s[1], 9);
    if (write_pcx24(&pic, &bytes))
      out->push_back(bytes);
  }
}
