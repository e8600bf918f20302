// JPEG reader on fuzz input: header only, then the full decode.
#include "fuzz_seed_art.h"
#include "fuzz_targets.h"
#include "jpeg.h"
#include "jpeg_writer.h"
#include "mem_device.h"

int fuzz_jpeg(const uint8_t* data, size_t size) {
  mem_device_clear();
  mem_device_add("fuzz.jpg", data, size);
  vfs_device_enable(&mem_device, 0);
  jpeg_info info;
  jpeg_read_info("fuzz.jpg", &info);
  return fuzz_pixmap_release(jpeg_load("fuzz.jpg"));
}

void fuzz_jpeg_seeds(std::vector<fuzz_input>* out) {
  const int sizes[][2] = {{1, 1}, {9, 7}, {24, 16}};
  for (const auto& s : sizes)
    for (bool progressive : {false, true}) {
      const forge_picture pic = fuzz_art_picture(s[0], s[1], 31);
      jpeg_options options;
      options.quality = progressive ? 60 : 90;
      options.progressive = progressive;
      options.full_chroma = s[0] == 9;
      fuzz_input bytes;
      if (write_jpeg(&pic, &options, &bytes))
        out->push_back(bytes);
    }
}
