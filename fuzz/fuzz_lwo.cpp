// LightWave object reader on fuzz input, with texture pictures to find and
// texture coordinates computed afterwards.
#include "fuzz_seed_art.h"
#include "fuzz_target.h"
#include "gif_writer.h"
#include "lwo.h"
#include "lwo_writer.h"
#include "mem_device.h"
#include "mesh_builders.h"
#include "pcx_writer.h"

namespace {
// The pictures the seed objects name, made once.
struct lwo_textures {
  fuzz_input pcx;
  fuzz_input gif;
  lwo_textures() {
    const indexed_picture pic = fuzz_art_indexed(8, 8, 16, 41);
    write_pcx8(&pic, &pcx);
    write_gif(&pic, GIF_PALETTE_GLOBAL, &gif);
  }
};
const lwo_textures& textures() {
  static const lwo_textures t;
  return t;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const lwo_textures& t = textures();
  const uint32_t blocks = fuzz_blocks_before();
  mem_device_serve("fuzz.lwo", data, size);
  mem_device_add("tex/wood.pcx", t.pcx.data(), t.pcx.size());
  mem_device_add("tex/sky.gif", t.gif.data(), t.gif.size());
  if (mesh_object* object = mesh_object_create()) {
    object->flags |= MESH_OBJECT_MAP_TEXTURES;
    lwo_load("fuzz.lwo", "tex", object);
    lwo_object_free(object);
  }
  fuzz_check_released(blocks);
  return 0;
}

void fuzz_seeds(std::vector<fuzz_input>* out) {
  forge_mesh box;
  forge_mesh_box(&box, 1, 2, 3);
  for (size_t i = 0; i < box.faces.size(); i++)
    box.faces[i].surface = int32_t(i % 3);
  std::vector<lwo_writer_surface> surfaces(3);
  surfaces[0].name = "Plain";
  surfaces[0].flags = LWO_WRITER_SMOOTH;
  surfaces[1].name = "Wood";
  surfaces[1].textured = true;
  surfaces[1].texture.image = "C:\\pictures\\wood.pcx";
  surfaces[1].texture.mapping = "Cylindrical Image Map";
  surfaces[1].texture.axis = 2;
  surfaces[2].name = "Chrome";
  surfaces[2].flags = LWO_WRITER_DOUBLE_SIDED;
  surfaces[2].textured = true;
  surfaces[2].texture.image = "sky.gif";
  surfaces[2].reflection = "wood.pcx";
  fuzz_input bytes;
  if (write_lwo(&box, surfaces, &bytes))
    out->push_back(bytes);

  const char* mappings[] = {"Planar Image Map", "Spherical Image Map", "Cubic Image Map"};
  for (int i = 0; i < 3; i++) {
    forge_mesh torus;
    forge_mesh_torus(&torus, 2, 0.5f, 6, 4);
    std::vector<lwo_writer_surface> one(1);
    one[0].name = "Skin";
    one[0].textured = true;
    one[0].texture.mapping = mappings[i];
    one[0].texture.image = i == 1 ? "sky.gif" : "wood.pcx";
    one[0].texture.axis = i;
    if (write_lwo(&torus, one, &bytes))
      out->push_back(bytes);
  }
}
