// GIF reader on fuzz input: every block parsed, every image decoded.
#include "fuzz_seed_art.h"
#include "fuzz_targets.h"
#include "gif.h"
#include "gif_writer.h"
#include "mem_device.h"

int fuzz_gif(const uint8_t* data, size_t size) {
  mem_device_clear();
  mem_device_add("fuzz.gif", data, size);
  vfs_device_enable(&mem_device, 0);
  return fuzz_pixmap_release(gif_load("fuzz.gif"));
}

void fuzz_gif_seeds(std::vector<fuzz_input>* out) {
  const int cases[][3] = {{1, 1, 2}, {9, 7, 16}, {24, 16, 256}, {13, 3, 5}};
  for (const auto& c : cases)
    for (int32_t place : {GIF_PALETTE_GLOBAL, GIF_PALETTE_LOCAL}) {
      fuzz_input bytes;
      const indexed_picture pic = fuzz_art_indexed(c[0], c[1], c[2], 11);
      if (write_gif(&pic, place, &bytes))
        out->push_back(bytes);
    }
}
