// PCX reader on fuzz input: header check and full decode.
#include "fuzz_seed_art.h"
#include "fuzz_target.h"
#include "mem_device.h"
#include "pcx.h"
#include "pcx_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint32_t blocks = fuzz_blocks_before();
  mem_device_serve("fuzz.pcx", data, size);
  int32_t kind = 0, width = 0, height = 0;
  pcx_read_info("fuzz.pcx", &kind, &width, &height);
  fuzz_pixmap_release(pcx_load("fuzz.pcx"));
  fuzz_check_released(blocks);
  return 0;
}

void fuzz_seeds(std::vector<fuzz_input>* out) {
  const int sizes[][2] = {{1, 1}, {7, 5}, {24, 16}};
  for (const auto& s : sizes) {
    fuzz_input bytes;
    const indexed_picture indexed = fuzz_art_indexed(s[0], s[1], 256, 3);
    if (write_pcx8(&indexed, &bytes))
      out->push_back(bytes);
    const forge_picture pic = fuzz_art_picture(s[0], s[1], 5);
    if (write_pcx24(&pic, &bytes))
      out->push_back(bytes);
  }
}
