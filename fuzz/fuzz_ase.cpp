// ASCII scene reader on fuzz input.
#include "ase.h"
#include "ase_writer.h"
#include "fuzz_targets.h"
#include "mem_device.h"
#include "mesh_builders.h"

#include <string>

const char* const fuzz_scene_words[] = {"{",
                                        "}",
                                        "\"",
                                        " ",
                                        "\n",
                                        "*",
                                        "*GROUP",
                                        "*GEOMOBJECT",
                                        "*HELPEROBJECT",
                                        "*CAMERAOBJECT",
                                        "*MATERIAL_LIST",
                                        "*MESH",
                                        "*MESH_NUMVERTEX",
                                        "*MESH_NUMFACES",
                                        "*MESH_VERTEX_LIST",
                                        "*MESH_FACE_LIST",
                                        "*MESH_NUMTVERTEX",
                                        "*MESH_TVERTLIST",
                                        "*MESH_NUMTVFACES",
                                        "*MESH_TFACELIST",
                                        "*MESH_FACE",
                                        "*MESH_VERTEX",
                                        "*NODE_TM",
                                        "*TM_ANIMATION",
                                        "*CONTROL_POS_BEZIER",
                                        "*CONTROL_ROT_TCB",
                                        "*CONTROL_SCALE_BEZIER",
                                        "*MATERIAL",
                                        "*MAP_DIFFUSE",
                                        "*BITMAP",
                                        "*NODE_NAME",
                                        " 0 ",
                                        " -1 ",
                                        " 1 ",
                                        " 65536 ",
                                        " 2147483647 ",
                                        " -2147483648 ",
                                        " 99999999999 ",
                                        " 1e39 ",
                                        " nan ",
                                        " -0.5 ",
                                        "A:",
                                        "/*",
                                        "*/",
                                        "//",
                                        nullptr};

int fuzz_ase(const uint8_t* data, size_t size) {
  mem_device_clear();
  mem_device_add("fuzz.ase", data, size);
  vfs_device_enable(&mem_device, 0);
  ase_scene* scene = ase_load("fuzz.ase", "tex");
  if (!scene)
    return 0;
  ase_scene_free(scene);
  return 1;
}

static fuzz_input ase_bytes(const std::string& text) { return fuzz_input(text.begin(), text.end()); }

void fuzz_ase_seeds(std::vector<fuzz_input>* out) {
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
