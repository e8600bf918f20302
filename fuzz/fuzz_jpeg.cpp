// JPEG reader on fuzz input: header only, then the full decode.
#include "fuzz_seed_art.h"
#include "fuzz_target.h"
#include "jpeg.h"
#include "jpeg_writer.h"
#include "mem_device.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint32_t blocks = fuzz_blocks_before();
  mem_device_serve("fuzz.jpg", data, size);
  jpeg_info info;
  jpeg_read_info("fuzz.jpg", &info);
  fuzz_pixmap_release(jpeg_load("fuzz.jpg"));
  fuzz_check_released(blocks);
  return 0;
}

void fuzz_seeds(std::vector<fuzz_input>* out) {
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
