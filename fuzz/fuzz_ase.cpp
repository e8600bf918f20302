// ASCII scene reader on fuzz input.
#include "ase.h"
#include "fuzz_seed_art.h"
#include "fuzz_target.h"
#include "mem_device.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint32_t blocks = fuzz_blocks_before();
  mem_device_serve("fuzz.ase", data, size);
  if (ase_scene* scene = ase_load("fuzz.ase", "tex"))
    ase_scene_free(scene);
  fuzz_check_released(blocks);
  return 0;
}

void fuzz_seeds(std::vector<fuzz_input>* out) { fuzz_art_scenes(out); }
