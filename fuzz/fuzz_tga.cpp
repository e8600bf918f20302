// TGA reader on fuzz input: header check and full decode.
#include "fuzz_seed_art.h"
#include "fuzz_target.h"
#include "mem_device.h"
#include "tga.h"
#include "tga_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint32_t blocks = fuzz_blocks_before();
  mem_device_serve("fuzz.tga", data, size);
  tga_header header;
  tga_read_info("fuzz.tga", &header);
  fuzz_pixmap_release(tga_load("fuzz.tga"));
  fuzz_check_released(blocks);
  return 0;
}

void fuzz_seeds(std::vector<fuzz_input>* out) {
  const forge_picture small = fuzz_art_picture(9, 7, 21);
  for (int32_t bits : {16, 24, 32})
    for (int32_t origin = 0; origin < 4; origin++) {
      fuzz_input bytes;
      if (write_tga(&small, bits, origin, &bytes))
        out->push_back(bytes);
    }
  const forge_picture dot = fuzz_art_picture(1, 1, 22);
  fuzz_input bytes;
  if (write_tga(&dot, 24, TGA_ORIGIN_TOP_LEFT, &bytes))
    out->push_back(bytes);
}
