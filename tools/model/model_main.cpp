// model: reads one object or scene file with the system's own readers.
//   model info FILE            what the file holds
//   model obj FILE OUT.obj     its geometry as a Wavefront OBJ file
// The readers print their own progress lines first; errors are one line on
// standard error and a non-zero exit status.
#include "ase.h"
#include "lwo.h"
#include "model_format.h"
#include "model_lightwave.h"
#include "model_scene.h"
#include "model_studio.h"
#include "version.h"
#include "vfs.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>

namespace {

int model_fail(const std::string& message) {
  std::fflush(stdout);
  std::fprintf(stderr, "model: %s\n", message.c_str());
  return 1;
}

// 3D Studio ASCII objects are read as the mirror hall reads its textured ones.
int model_studio(const std::string& path, const std::string* obj_path) {
  asc_object* o = asc_load(path.c_str(), nullptr, nullptr, ASC_MODE_TEXTURE);
  if (!o)
    return model_fail(path + ": cannot read as a 3D Studio ASCII object (" + asc_error_text() + ")");
  asc_bounding_radius(o);
  int status = 0;
  if (obj_path) {
    if (!model_studio_obj(o, path, *obj_path))
      status = model_fail(*obj_path + ": cannot write");
  } else {
    std::printf("%s: %s\n%s", path.c_str(), model_format_name(MODEL_STUDIO), model_studio_describe(o).c_str());
  }
  asc_free(o);
  return status;
}

int model_run(const std::string& path, const std::string& textures, const std::string* obj_path) {
  const model_format format = model_format_of(path);
  const std::string folder = textures.empty() ? model_folder_of(path) : textures;
  if (format == MODEL_UNKNOWN)
    return model_fail(path + ": not an object or scene file this tool reads");
  if (format == MODEL_STUDIO)
    return model_studio(path, obj_path);
  if (format == MODEL_LIGHTWAVE) {
    mesh_object* o = mesh_object_create();
    if (!o || !lwo_load(path.c_str(), folder.c_str(), o)) {
      lwo_object_free(o);
      return model_fail(path + ": cannot read as a LightWave object");
    }
    int status = 0;
    if (obj_path) {
      if (!model_lightwave_obj(o->mesh, path, *obj_path))
        status = model_fail(*obj_path + ": cannot write");
    } else {
      std::printf("%s: %s\n%s", path.c_str(), model_format_name(format), model_lightwave_describe(o->mesh).c_str());
    }
    lwo_object_free(o);
    return status;
  }
  ase_scene* s = ase_load(path.c_str(), folder.c_str());
  if (!s)
    return model_fail(path + ": cannot read as an ASCII scene");
  int status = 0;
  if (obj_path) {
    if (!model_scene_obj(s, path, *obj_path))
      status = model_fail(*obj_path + ": cannot write");
  } else {
    // The reader's line for a helper object has no line feed: start afresh.
    std::printf("%s%s: %s\n%s", s->helper_count > 0 ? "\n" : "", path.c_str(), model_format_name(format),
                model_scene_describe(s).c_str());
  }
  ase_scene_free(s);
  return status;
}

} // namespace

int main(int argc, char** argv) {
  CLI::App app{"Reads an object or scene file (LightWave object, ASCII scene, 3D Studio ASCII object) with the "
               "system's readers."};
  app.set_version_flag("--version", std::string("model ") + VORLANE_VERSION);
  app.require_subcommand(1);
  std::string file, out, textures;
  CLI::App* info = app.add_subcommand("info", "Print what FILE holds");
  info->add_option("FILE", file, "Object or scene file")->required();
  info->add_option("--textures", textures, "Folder of the pictures (default: the file's folder)");
  CLI::App* obj = app.add_subcommand("obj", "Write the geometry of FILE as a Wavefront OBJ file");
  obj->add_option("FILE", file, "Object or scene file")->required();
  obj->add_option("OUT", out, "OBJ file to write")->required();
  obj->add_option("--textures", textures, "Folder of the pictures (default: the file's folder)");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0)
      return app.exit(e); // --help, --version
    return model_fail(e.what()) + 1;
  }
  vfs_device_enable(&stdio_device, 0);
  return model_run(file, textures, *obj ? &out : nullptr);
}
