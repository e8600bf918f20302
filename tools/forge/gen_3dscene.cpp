// The tunnel flight's files: the scene (a winding tube of five sections and
// the camera that flies down it) and the textures its materials name.
#include "forge_formats.h"
#include "tunnel/tunnel_art.h"
#include "tunnel/tunnel_world.h"

#include <string>

static int scene3d_texture(int32_t material, std::vector<forge_file>* out, std::string* error) {
  static void (*const painters[TUNNEL_MATERIALS])(art_canvas*) = {
      tunnel_art_panels, tunnel_art_ribs, tunnel_art_hall, tunnel_art_shaft, tunnel_art_throat, tunnel_art_exit};
  art_canvas c;
  painters[material](&c);
  forge_picture pic;
  art_canvas_to_picture(&c, &pic, true);
  jpeg_options options;
  options.quality = 88;
  forge_file file;
  if (!forge_make_jpeg(std::string("data/3dscene/") + tunnel_texture_names[material], &pic, &options, &file, error))
    return 0;
  out->push_back(std::move(file));
  return 1;
}

static int scene3d_scene(std::vector<forge_file>* out, std::string* error) {
  tunnel_world world;
  std::string text;
  if (!tunnel_build_world(&world) || !write_ase(&world.scene, &text)) {
    *error = "3dscene: the tunnel could not be built or written";
    return 0;
  }
  size_t faces = 0;
  for (const forge_mesh& m : world.meshes)
    faces += m.faces.size();
  forge_file file;
  file.name = "data/3dscene/finaljpg.ase";
  file.format = "ASCII scene, " + std::to_string(world.scene.objects.size()) + " objects, " + std::to_string(faces) +
                " triangles, camera with " + std::to_string(world.scene.cameras[0].tracks.positions.size()) + " keys";
  file.bytes.assign(text.begin(), text.end());
  out->push_back(std::move(file));
  return 1;
}

void forge_gen_3dscene(forge_plan* plan) {
  forge_plan_add(plan, "3dscene tunnel", scene3d_scene);
  for (int32_t i = 0; i < TUNNEL_MATERIALS; i++)
    forge_plan_add(plan, std::string("3dscene texture ") + tunnel_texture_names[i],
                   [i](std::vector<forge_file>* out, std::string* error) { return scene3d_texture(i, out, error); });
}
