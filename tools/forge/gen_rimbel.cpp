// The mirror hall's files: the star, the mirror pane, the backing disc and
// the hall sphere as 3D Studio ASCII objects, the star's lighting table, and
// the textures, particle sprites and lens-flare elements as 24-bit PCX.
#include "asc_writer.h"
#include "mesh_builders.h"
#include "opening_art.h"
#include "rimbel/rimbel_art.h"

#include <cmath>
#include <cstdio>

namespace {
constexpr float PI = 3.14159265358979f;

int rimbel_object(std::vector<forge_file>* out, std::string* error, const char* path, const char* name,
                  const forge_mesh& m, bool mapped) {
  forge_file file;
  file.name = path;
  std::string text;
  if (!write_asc(&m, name, mapped, &text)) {
    *error = std::string(path) + ": the ASC writer refused the mesh";
    return 0;
  }
  file.bytes.assign(text.begin(), text.end());
  file.format = "3D Studio ASCII object, " + std::to_string(m.positions.size()) + " points, " +
                std::to_string(m.faces.size()) + " triangles";
  out->push_back(std::move(file));
  return 1;
}

// A twenty-pointed star: an icosahedron with a spike rising from every face.
int rimbel_star(std::vector<forge_file>* out, std::string* error) {
  forge_mesh ico;
  if (!forge_mesh_geosphere(&ico, 1.0f, 1)) {
    *error = "star: cannot build the icosahedron";
    return 0;
  }
  forge_mesh star;
  star.positions = ico.positions;
  const float spike = 2.3f;
  for (const forge_triangle& t : ico.faces) {
    const forge_vec3& a = ico.positions[size_t(t.v[0])];
    const forge_vec3& b = ico.positions[size_t(t.v[1])];
    const forge_vec3& c = ico.positions[size_t(t.v[2])];
    const forge_vec3 mid = forge_vec3_normalise({a.x + b.x + c.x, a.y + b.y + c.y, a.z + b.z + c.z});
    const int32_t tip = forge_mesh_add_vertex(&star, {mid.x * spike, mid.y * spike, mid.z * spike});
    for (int k = 0; k < 3; k++)
      forge_mesh_add_triangle(&star, t.v[k], t.v[(k + 1) % 3], tip, {}, {}, {});
  }
  return rimbel_object(out, error, "data/rimbel/star1.asc", "Star01", star, false);
}

// The mirror pane: a round plate facing the viewer, the picture mapped over
// it flipped left to right as a reflection shows it.
int rimbel_mirror(std::vector<forge_file>* out, std::string* error) {
  forge_mesh m;
  if (!forge_mesh_disc(&m, 1.0f, 0, 40)) {
    *error = "mirror: cannot build the pane";
    return 0;
  }
  for (forge_triangle& t : m.faces)
    for (forge_uv& uv : t.uv)
      uv.u = 1.0f - uv.u;
  return rimbel_object(out, error, "data/rimbel/mirror.asc", "Mirror01", m, true);
}

// The backing disc: a thin round slab lying flat (its faces look up and
// down), so it shows from both sides whichever way the hall turns it.
int rimbel_disc(std::vector<forge_file>* out, std::string* error) {
  std::vector<forge_uv> outline;
  const int32_t segments = 48;
  for (int32_t k = 0; k < segments; k++) {
    const float a = 2 * PI * float(k) / float(segments);
    outline.push_back({std::cos(a), std::sin(a)});
  }
  forge_mesh m;
  if (!forge_mesh_extrude(&m, outline, 0.06f)) {
    *error = "disc: cannot extrude the slab";
    return 0;
  }
  // The rim takes the bright edge of the chrome at its own angle, not the
  // whole picture squeezed round it.
  for (forge_triangle& t : m.faces) {
    if (t.surface != 1)
      continue;
    for (int k = 0; k < 3; k++) {
      const forge_vec3& p = m.positions[size_t(t.v[k])];
      const float a = std::atan2(p.y, p.x);
      t.uv[k] = {0.5f + 0.48f * std::cos(a), 0.5f - 0.48f * std::sin(a)};
    }
  }
  forge_mesh_transform(&m, {1, 1, 1}, {-PI / 2, 0, 0}, {0, 0, 0});
  return rimbel_object(out, error, "data/rimbel/disken.asc", "Disc01", m, true);
}

// The hall: a sphere seen from inside (its faces turned inward), open in a
// round skylight above, through which the lens flare's light (standing
// outside the hall, up and to the back left) shines when the camera looks
// up from below.
int rimbel_hall(std::vector<forge_file>* out, std::string* error) {
  forge_mesh sphere;
  if (!forge_mesh_uv_sphere(&sphere, 1.0f, 40, 20)) {
    *error = "hall: cannot build the sphere";
    return 0;
  }
  // The light's direction in the forge's axes (the engine sees z mirrored).
  const forge_vec3 light = forge_vec3_normalise({-300, 900, 300});
  const float skylight = std::cos(13.0f * PI / 180.0f);
  forge_mesh m;
  m.positions = sphere.positions;
  for (forge_triangle t : sphere.faces) {
    const forge_vec3& a = m.positions[size_t(t.v[0])];
    const forge_vec3& b = m.positions[size_t(t.v[1])];
    const forge_vec3& c = m.positions[size_t(t.v[2])];
    const forge_vec3 mid = forge_vec3_normalise({a.x + b.x + c.x, a.y + b.y + c.y, a.z + b.z + c.z});
    if (forge_vec3_dot(mid, light) > skylight)
      continue;
    std::swap(t.v[1], t.v[2]);
    std::swap(t.uv[1], t.uv[2]);
    m.faces.push_back(t);
  }
  return rimbel_object(out, error, "data/rimbel/sphere.asc", "Hall01", m, true);
}

int rimbel_phong(std::vector<forge_file>* out, std::string*) {
  forge_file file;
  file.name = "data/rimbel/phong.bin";
  file.bytes.resize(65536);
  rimbel_art_phong(file.bytes.data());
  file.format = "lighting table, 256 x 256 bytes";
  out->push_back(std::move(file));
  return 1;
}

int rimbel_picture(std::vector<forge_file>* out, std::string* error, const std::string& name, const art_canvas& c) {
  forge_picture pic;
  art_canvas_to_picture(&c, &pic, true);
  forge_file file;
  return opening_push(out, forge_make_pcx24(name, &pic, &file, error), &file);
}

// Sprites and flare elements stretched over the picture must have no faint
// square around them: anything this dark becomes black.
int rimbel_glow_picture(std::vector<forge_file>* out, std::string* error, const std::string& name,
                        const art_canvas& c) {
  forge_picture pic;
  art_canvas_to_picture(&c, &pic, false);
  for (uint32_t& px : pic.pixels)
    if (picture_red(px) + picture_green(px) + picture_blue(px) < 6)
      px = 0;
  forge_file file;
  return opening_push(out, forge_make_pcx24(name, &pic, &file, error), &file);
}

struct rimbel_sprite_look {
  const char* name;
  int r, g, b;
};
const rimbel_sprite_look sprite_looks[] = {
    {"white", 200, 210, 255}, {"gold", 255, 180, 60},   {"blue", 60, 120, 255},
    {"red", 255, 60, 40},     {"purple", 170, 70, 255}, {"green", 70, 255, 130},
};
} // namespace

void forge_gen_rimbel(forge_plan* plan) {
  forge_plan_add(plan, "mirror hall star", rimbel_star);
  forge_plan_add(plan, "mirror hall mirror", rimbel_mirror);
  forge_plan_add(plan, "mirror hall disc", rimbel_disc);
  forge_plan_add(plan, "mirror hall sphere", rimbel_hall);
  forge_plan_add(plan, "mirror hall lighting table", rimbel_phong);
  forge_plan_add(plan, "mirror hall water", [](std::vector<forge_file>* out, std::string* e) {
    art_canvas c;
    rimbel_art_water(&c);
    return rimbel_picture(out, e, "data/rimbel/textures/vatten.pcx", c);
  });
  forge_plan_add(plan, "mirror hall disc texture", [](std::vector<forge_file>* out, std::string* e) {
    art_canvas c;
    rimbel_art_disc(&c);
    return rimbel_picture(out, e, "data/rimbel/textures/spegel.pcx", c);
  });
  forge_plan_add(plan, "mirror hall sky", [](std::vector<forge_file>* out, std::string* e) {
    art_canvas c;
    rimbel_art_hall(&c);
    return rimbel_picture(out, e, "data/rimbel/textures/ss071.pcx", c);
  });
  for (const rimbel_sprite_look& look : sprite_looks)
    forge_plan_add(plan, std::string("mirror hall sprite ") + look.name,
                   [look](std::vector<forge_file>* out, std::string* e) {
                     art_canvas c;
                     rimbel_art_sprite(&c, art_rgb(look.r, look.g, look.b));
                     return rimbel_glow_picture(out, e, std::string("data/rimbel/128x128/") + look.name + ".pcx", c);
                   });
  for (int32_t k = 1; k <= 15; k++)
    forge_plan_add(plan, "mirror hall flare " + std::to_string(k), [k](std::vector<forge_file>* out, std::string* e) {
      art_canvas c;
      rimbel_art_flare(&c, k);
      char name[48];
      std::snprintf(name, sizeof name, "data/rimbel/zoom/flare%02d.pcx", int(k));
      return rimbel_glow_picture(out, e, name, c);
    });
}
