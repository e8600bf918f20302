// GIF reader on fuzz input: every block parsed, every image decoded.
#include "fuzz_seed_art.h"
#include "fuzz_target.h"
#include "gif.h"
#include "gif_writer.h"
#include "mem_device.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint32_t blocks = fuzz_blocks_before();
  mem_device_serve("fuzz.gif", data, size);
  fuzz_pixmap_release(gif_load("fuzz.gif"));
  fuzz_check_released(blocks);
  return 0;
}

void fuzz_seeds(std::vector<fuzz_input>* out) {
  const int cases[][3] = {{1, 1, 2}, {9, 7, 16}, {24, 16, 256}, {13, 3, 5}};
  for (const auto& c : cases)
    for (int32_t place : {GIF_PALETTE_GLOBAL, GIF_PALETTE_LOCAL}) {
      fuzz_input bytes;
      const indexed_picture pic = fuzz_art_indexed(c[0], c[1], c[2], 11);
      if (write_gif(&pic, place, &bytes))
        out->push_back(bytes);
    }
}
