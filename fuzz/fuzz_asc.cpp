// 3D Studio ASCII object reader of the mirror engine on fuzz input, with a
// lighting table and a height map to read, and the object helpers run on
// whatever it accepts.
#include "asc_writer.h"
#include "fuzz_target.h"
#include "mem_device.h"
#include "mesh_builders.h"
#include "mirror_scene.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::vector<uint8_t> table(65536, 77);
  const uint32_t blocks = fuzz_blocks_before();
  mem_device_clear();
  mem_device_add("fuzz.asc", data, size);
  mem_device_add("phong.bin", table.data(), table.size());
  mem_device_add("height.bin", table.data(), table.size());
  vfs_device_enable(&mem_device, 0);
  // The mode comes from the input, so both kinds of texture coordinates are met.
  const int32_t mode = size > 0 && data[size - 1] & 1 ? '$' : ASC_MODE_TEXTURE;
  asc_object* o = asc_load("fuzz.asc", "phong.bin", "height.bin", mode);
  if (o) {
    asc_center(o);
    asc_scale_to_radius(o, 300);
    asc_compute_normals(o);
    asc_bounding_radius(o);
    asc_free(o);
  }
  fuzz_check_released(blocks);
  return 0;
}

void fuzz_seeds(std::vector<fuzz_input>* out) {
  forge_mesh box, star, plate;
  forge_mesh_box(&box, 1, 2, 3);
  forge_mesh_star(&star, 5, 2, 1, 0.5f);
  forge_mesh_plate(&plate, 2, 1, 3, 2);
  for (const forge_mesh* m : {&box, &star, &plate})
    for (bool mapped : {false, true}) {
      std::string text;
      if (write_asc(m, "Seed", mapped, &text))
        out->push_back(fuzz_input(text.begin(), text.end()));
    }
}
