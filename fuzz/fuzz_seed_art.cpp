#include "fuzz_seed_art.h"

#include "ase_writer.h"
#include "mesh_builders.h"
#include "pixmap.h"

#include <string>

static uint32_t art_noise(uint32_t* state) {
  *state = *state * 1664525u + 1013904223u;
  return *state >> 24;
}

forge_picture fuzz_art_picture(int32_t width, int32_t height, uint32_t seed) {
  forge_picture pic;
  picture_init(&pic, width, height, 0);
  for (int32_t y = 0; y < height; y++)
    for (int32_t x = 0; x < width; x++) {
      uint32_t r = uint32_t(x * 255 / (width > 1 ? width - 1 : 1));
      uint32_t g = uint32_t(y * 255 / (height > 1 ? height - 1 : 1));
      uint32_t b = 128;
      if (x > width / 2 && y > height / 2) // a noisy corner
        r = art_noise(&seed), g = art_noise(&seed), b = art_noise(&seed);
      pic.pixels[size_t(y) * size_t(width) + size_t(x)] = picture_rgba(r, g, b, art_noise(&seed));
    }
  return pic;
}

indexed_picture fuzz_art_indexed(int32_t width, int32_t height, int32_t colours, uint32_t seed) {
  indexed_picture pic;
  indexed_init(&pic, width, height, colours);
  for (int32_t i = 0; i < colours; i++) {
    pic.palette[size_t(i) * 3] = uint8_t(i * 7);
    pic.palette[size_t(i) * 3 + 1] = uint8_t(255 - i);
    pic.palette[size_t(i) * 3 + 2] = uint8_t(art_noise(&seed));
  }
  for (int32_t y = 0; y < height; y++)
    for (int32_t x = 0; x < width; x++) {
      const uint32_t v = x < width / 2 ? uint32_t(y) : art_noise(&seed);
      pic.indices[size_t(y) * size_t(width) + size_t(x)] = uint8_t(v % uint32_t(colours));
    }
  return pic;
}

int fuzz_pixmap_release(pixmap* pm) {
  if (!pm)
    return 0;
  volatile uint32_t sum = 0; // kept, so the reads stay
  const int64_t count = pm->width > 0 && pm->height > 0 ? int64_t(pm->width) * pm->height : 0;
  for (int64_t i = 0; i < count; i++)
    sum = sum + pm->pixels[i];
  (void)sum;
  pixmap_free(pm);
  return 1;
}

static std::vector<uint8_t> ase_bytes(const std::string& text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

void fuzz_art_scenes(std::vector<std::vector<uint8_t>>* out) {
  forge_mesh box;
  forge_mesh_box(&box, 2, 1, 1);
  ase_writer_scene scene;
  scene.materials.push_back({"Metal", "maps\\metal.pcx", 0.5f});
  scene.materials.push_back({"Glass", "glass.gif", 0});
  ase_writer_object obj;
  obj.name = "Box01";
  obj.mesh = &box;
  obj.material = 1;
  obj.position = {1, 2, 3};
  obj.turn = {{0, 1, 0}, 0.3f};
  obj.tracks.positions = {{0, {0, 0, 0}}, {10, {1, 0, 0}}, {20, {1, 1, 0}}};
  obj.tracks.rotations = {{0, {{0, 1, 0}, 0}}, {20, {{1, 0, 0}, 1}}};
  scene.objects.push_back(obj);
  ase_writer_camera camera;
  camera.position = {0, 0, -10};
  camera.tracks.positions = {{0, {0, 0, -10}}, {30, {0, 5, -10}}};
  scene.cameras.push_back(camera);
  std::string text;
  if (!write_ase(&scene, &text))
    return;
  out->push_back(ase_bytes(text));

  // The same geometry inside nested groups, beside a helper with a scale
  // track: parts the writer does not make.
  const size_t geom = text.find("*GEOMOBJECT");
  const size_t camera_at = text.find("*CAMERAOBJECT");
  if (geom == std::string::npos || camera_at == std::string::npos)
    return;
  const std::string object = text.substr(geom, camera_at - geom);
  const std::string helper = "*HELPEROBJECT {\n*NODE_NAME \"Dummy01\"\n*HELPER_CLASS \"Dummy\"\n"
                             "*BOUNDINGBOX_MIN -1 -1 -1\n*BOUNDINGBOX_MAX 1 1 1\n*TM_ANIMATION {\n"
                             "*NODE_NAME \"Dummy01\"\n*CONTROL_SCALE_BEZIER {\n"
                             "*CONTROL_BEZIER_SCALE_KEY 0 1 1 1 0 0 1 0 1 1 1 1 1 1 0\n}\n}\n}\n";
  out->push_back(ase_bytes(text.substr(0, geom) + "*GROUP \"Outer\" {\n" + helper + "*GROUP \"Inner\" {\n" + object +
                           "}\n}\n" + text.substr(camera_at)));
}
