// The forge's LightWave and scene writers, read back through the system's
// readers and the render scene: geometry in the engine's axes, faces that
// face outward by the engine's own culling rule, surfaces, textures, tracks,
// and the model tool on what they write.
#include "ase.h"
#include "ase_writer.h"
#include "jpeg_writer.h"
#include "lwo.h"
#include "lwo_writer.h"
#include "mesh_builders.h"
#include "pcx_writer.h"
#include "polygondrawer.h"
#include "render_scene.h"
#include "scene_fixtures.h"
#include "testkit.h"
#include "texture_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

struct named_mesh {
  std::string name;
  forge_mesh mesh;
  bool closed;
};

std::vector<named_mesh> every_builder() {
  std::vector<named_mesh> out;
  auto add = [&](const std::string& name, bool closed, auto build) {
    named_mesh n{name, {}, closed};
    EXPECT_EQ(build(&n.mesh), 1) << name;
    out.push_back(std::move(n));
  };
  add("torus", true, [](forge_mesh* m) { return forge_mesh_torus(m, 10, 3, 12, 8); });
  add("uv_sphere", true, [](forge_mesh* m) { return forge_mesh_uv_sphere(m, 7, 10, 6); });
  add("geosphere", true, [](forge_mesh* m) { return forge_mesh_geosphere(m, 5, 2); });
  add("sphere_holes", true, [](forge_mesh* m) { return forge_mesh_sphere_holes(m, 10, 1, 8, 6); });
  add("star", true, [](forge_mesh* m) { return forge_mesh_star(m, 5, 10, 4, 2); });
  add("plate", false, [](forge_mesh* m) { return forge_mesh_plate(m, 8, 6, 4, 3); });
  add("disc", false, [](forge_mesh* m) { return forge_mesh_disc(m, 5, 2, 12); });
  add("box", true, [](forge_mesh* m) { return forge_mesh_box(m, 2, 3, 4); });
  add("extrude", true, [](forge_mesh* m) {
    return forge_mesh_extrude(m, {{0, 0}, {4, 0}, {4, 1}, {1, 1}, {1, 3}, {0, 3}}, 2);
  });
  return out;
}

// The engine's axes: z negated.
forge_vec3 engine_of(forge_vec3 v) { return {v.x, v.y, -v.z}; }

int32_t drawn_calls = 0;
void count_drawn(const polygon*, pixmap*) { drawn_calls++; }

// Seen from outside the face (from the side its outward normal points to,
// both in the engine's axes), does the engine's back-face test keep it?
bool engine_keeps(const vec3 corners[3], forge_vec3 outward) {
  const vec3 fwd = {-outward.x, -outward.y, -outward.z};
  // Any up not along the view, made orthogonal; right = up x forward (x right, y up, z ahead).
  vec3 up = std::fabs(fwd.y) < 0.9f ? vec3{0, 1, 0} : vec3{1, 0, 0};
  const float d = vec3_dot(&up, &fwd);
  up = {up.x - d * fwd.x, up.y - d * fwd.y, up.z - d * fwd.z};
  vec3_normalize(&up, &up);
  vec3 right;
  vec3_cross(&right, &up, &fwd);
  polygon p = {};
  p.flags = POLY_CUSTOM | POLY_SOLID;
  p.drawer = count_drawn;
  for (int k = 0; k < 3; k++) {
    // Screen y grows downward.
    p.v[k] = {vec3_dot(&corners[k], &right), -vec3_dot(&corners[k], &up), 10};
  }
  drawn_calls = 0;
  draw_triangle(&p, nullptr);
  return drawn_calls == 1;
}

struct object_deleter {
  void operator()(mesh_object* o) const { lwo_object_free(o); }
};
using object_ptr = std::unique_ptr<mesh_object, object_deleter>;

object_ptr read_lwo(const std::string& path, const std::string& textures, uint32_t flags = MESH_OBJECT_DEFAULT_FLAGS) {
  scene_stdout capture;
  mesh_object* o = mesh_object_create();
  o->flags = flags;
  if (!lwo_load(path.c_str(), textures.c_str(), o)) {
    mesh_object_free(o);
    return nullptr;
  }
  return object_ptr(o);
}

TEST(SceneWriters, LightWaveRoundTripOfEveryBuilder) {
  testkit_tempdir dir;
  for (named_mesh& n : every_builder()) {
    std::vector<lwo_writer_surface> surfaces(2);
    surfaces[0].name = "Outer";
    surfaces[1].name = "Inner surface";
    std::vector<uint8_t> bytes;
    ASSERT_EQ(write_lwo(&n.mesh, surfaces, &bytes), 1) << n.name;
    const std::string path = dir.file(n.name + ".lwo");
    testkit_write_file(path, bytes);
    object_ptr o = read_lwo(path, dir.path);
    ASSERT_TRUE(o) << n.name;
    const mesh* m = o->mesh;
    ASSERT_EQ(m->vertex_count, int32_t(n.mesh.positions.size())) << n.name;
    for (int32_t i = 0; i < m->vertex_count; i++) {
      const forge_vec3 e = engine_of(n.mesh.positions[size_t(i)]);
      ASSERT_EQ(m->positions[i].x, e.x);
      ASSERT_EQ(m->positions[i].y, e.y);
      ASSERT_EQ(m->positions[i].z, e.z);
    }
    ASSERT_EQ(m->face_count, int32_t(n.mesh.faces.size())) << n.name;
    ASSERT_EQ(m->surface_count, 2);
    EXPECT_STREQ(m->surfaces[1].name, "Inner surface");
    int32_t kept = 0;
    for (int32_t f = 0; f < m->face_count; f++) {
      const forge_triangle& t = n.mesh.faces[size_t(f)];
      const mesh_face& mf = m->faces[f];
      ASSERT_EQ(mf.kind, 4);
      ASSERT_EQ(mf.surface, t.surface);
      vec3 corners[3];
      static const int order[3] = {0, 2, 1};
      for (int k = 0; k < 3; k++) {
        ASSERT_EQ(mf.index[k], t.v[order[k]]);
        corners[k] = m->positions[mf.index[k]];
      }
      kept += engine_keeps(corners, engine_of(forge_mesh_face_normal(&n.mesh, &t)));
    }
    // Every face shows its outside to the engine (the forge's builders leave no degenerate faces).
    EXPECT_EQ(kept, m->face_count) << n.name;
  }
}

TEST(SceneWriters, LightWaveSurfacesAndTextures) {
  testkit_tempdir dir;
  indexed_picture skin;
  ASSERT_EQ(indexed_init(&skin, 16, 8, 4), 1);
  std::vector<uint8_t> pcx;
  ASSERT_EQ(write_pcx8(&skin, &pcx), 1);
  testkit_write_file(dir.file("skin.pcx"), pcx);
  forge_mesh plate;
  ASSERT_EQ(forge_mesh_plate(&plate, 8, 4, 2, 1), 1);
  plate.faces[1].surface = 1;
  plate.faces[2].surface = 2;
  std::vector<lwo_writer_surface> s(3);
  s[0].name = "Textured";
  s[0].colour[0] = 1;
  s[0].colour[1] = 2;
  s[0].colour[2] = 3;
  s[0].textured = true;
  s[0].texture.mapping = "Planar Image Map";
  s[0].texture.image = "D:\\art\\skin.pcx";
  s[0].texture.axis = 2;
  s[0].texture.size = {8, 4, 1};
  s[0].texture.center = {1, 0.5f, 2};
  s[1].name = "Smooth both sides";
  s[1].flags = LWO_WRITER_SMOOTH | LWO_WRITER_DOUBLE_SIDED;
  s[2].name = "Mirror";
  s[2].flags = LWO_WRITER_DOUBLE_SIDED;
  s[2].reflection = "skin.pcx";
  std::vector<uint8_t> bytes;
  ASSERT_EQ(write_lwo(&plate, s, &bytes), 1);
  const std::string path = dir.file("plate.lwo");
  testkit_write_file(path, bytes);
  object_ptr o = read_lwo(path, dir.path + "/", MESH_OBJECT_DEFAULT_FLAGS | MESH_OBJECT_MAP_TEXTURES);
  ASSERT_TRUE(o);
  const lwo_surface* r = o->mesh->surfaces;
  EXPECT_EQ(r[0].flags, 0x204u);
  EXPECT_EQ(r[0].colour[2], 3);
  ASSERT_NE(r[0].texture, nullptr);
  EXPECT_STREQ(r[0].texture->file_name, "skin.pcx");
  ASSERT_NE(r[0].texture->pixmap, nullptr);
  EXPECT_EQ(r[0].texture->pixmap->width, 16);
  EXPECT_EQ(texture_mapping[0].type, TEXTURE_MAP_PLANAR);
  EXPECT_EQ(texture_mapping[0].axis, TEXTURE_AXIS_Z);
  EXPECT_EQ(texture_mapping[0].size.x, 8);
  EXPECT_EQ(texture_mapping[0].center.z, -2);
  EXPECT_EQ(r[1].flags, 0x400u);
  EXPECT_EQ(r[2].flags, 0x10u);
  ASSERT_NE(r[2].env_texture, nullptr);
  EXPECT_NE(r[2].env_texture->pixmap, nullptr);
  EXPECT_EQ(texture_mapping[2].type, TEXTURE_MAP_REFLECTION);
  // The planar map over the plate: u across x, v down y, around the centre.
  const mesh_face& f = o->mesh->faces[0];
  for (int k = 0; k < 3; k++) {
    const vec3& p = o->mesh->positions[f.index[k]];
    const float u = (p.x - 1) / 8 + 0.5f, v = 0.5f - (p.y - 0.5f) / 4;
    EXPECT_NEAR(f.polygon.uv[2 * k], (u - std::trunc(u) + 1) * 128, 1e-3) << k;
    EXPECT_NEAR(f.polygon.uv[2 * k + 1], (v - std::trunc(v) + 1) * 128, 1e-3) << k;
  }
}

TEST(SceneWriters, LightWaveWriterRefuses) {
  forge_mesh box;
  ASSERT_EQ(forge_mesh_box(&box, 1, 1, 1), 1);
  std::vector<lwo_writer_surface> one(1);
  one[0].name = "S";
  std::vector<uint8_t> bytes;
  EXPECT_EQ(write_lwo(&box, {}, &bytes), 0);
  std::vector<lwo_writer_surface> twice(2);
  twice[0].name = twice[1].name = "S";
  EXPECT_EQ(write_lwo(&box, twice, &bytes), 0);
  std::vector<lwo_writer_surface> unnamed(1);
  EXPECT_EQ(write_lwo(&box, unnamed, &bytes), 0);
  forge_mesh bad = box;
  bad.faces[3].surface = 1;
  EXPECT_EQ(write_lwo(&bad, one, &bytes), 0);
  bad = box;
  bad.faces[0].v[2] = 99;
  EXPECT_EQ(write_lwo(&bad, one, &bytes), 0);
  forge_mesh big;
  big.positions.resize(LWO_WRITER_MAX_POINTS + 1);
  EXPECT_EQ(write_lwo(&big, one, &bytes), 0);
  EXPECT_EQ(write_lwo(&box, one, &bytes), 1);
}

// A box and a geosphere, both turned and moved, the box with tracks; a camera with tracks.
struct written_scene {
  forge_mesh box, ball;
  ase_writer_scene scene;
};

void make_scene(written_scene* w) {
  ASSERT_EQ(forge_mesh_box(&w->box, 2, 3, 4), 1);
  ASSERT_EQ(forge_mesh_geosphere(&w->ball, 5, 2), 1);
  ase_writer_scene& s = w->scene;
  s.materials = {{"Wall", "C:\\maps\\wall.jpg", 0}, {"Floor", "floor.jpg", 0.5f}};
  ase_writer_object box;
  box.name = "Box";
  box.mesh = &w->box;
  box.material = 0;
  box.position = {1, 2, 3};
  box.turn = {{0, 1, 0}, 0.3f};
  for (int k = 0; k < 5; k++) {
    box.tracks.positions.push_back({10 * k, {float(k), 2.0f * k, -3.0f * k}});
    box.tracks.rotations.push_back({10 * k, {{1, 1, 0}, 0.2f * float(k)}});
  }
  ase_writer_object ball;
  ball.name = "Ball";
  ball.mesh = &w->ball;
  ball.material = 1;
  ball.position = {-5, 0, -20};
  ball.turn = {{0, 0, 1}, 1.0f};
  s.objects = {box, ball};
  ase_writer_camera cam;
  cam.position = {0, 0, 30};
  for (int k = 0; k < 4; k++) {
    cam.tracks.positions.push_back({10 * k, {0, float(k), 30}});
    cam.tracks.rotations.push_back({10 * k, {{0, 1, 0}, 0.25f * float(k)}});
  }
  s.cameras = {cam};
}

forge_vec3 turned(const ase_writer_turn& t, forge_vec3 v) {
  vec3 axis = {t.axis.x, t.axis.y, t.axis.z};
  mat3 r;
  mat3_rotation_axis(&r, &axis, t.angle);
  const vec3 in = {v.x, v.y, v.z};
  vec3 out;
  mat3_transform(&out, &in, &r);
  return {out.x, out.y, out.z};
}

forge_vec3 placed(const ase_writer_object& o, forge_vec3 v) {
  const forge_vec3 t = turned(o.turn, v);
  return {t.x + o.position.x, t.y + o.position.y, t.z + o.position.z};
}

void write_pictures(const testkit_tempdir& dir) {
  forge_picture pic;
  ASSERT_EQ(picture_init(&pic, 9, 5, 0x00406080), 1);
  std::vector<uint8_t> jpg;
  jpeg_options options;
  ASSERT_EQ(write_jpeg(&pic, &options, &jpg), 1);
  testkit_write_file(dir.file("wall.jpg"), jpg);
  ASSERT_EQ(picture_init(&pic, 6, 7, 0x00806040), 1);
  ASSERT_EQ(write_jpeg(&pic, &options, &jpg), 1);
  testkit_write_file(dir.file("floor.jpg"), jpg);
}

TEST(SceneWriters, SceneRoundTripThroughTheReader) {
  testkit_tempdir dir;
  written_scene w;
  make_scene(&w);
  std::string text;
  ASSERT_EQ(write_ase(&w.scene, &text), 1);
  const std::string path = dir.file("world.ase");
  testkit_write_text(path, text);
  scene_stdout capture;
  ase_scene* s = ase_load(path.c_str(), "data/3dscene/");
  capture.text();
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(s->material_count, 2);
  EXPECT_STREQ(s->materials[0]->name, "Wall");
  EXPECT_STREQ(s->materials[0]->diffuse_map.bitmap, "data/3dscene/wall.jpg");
  EXPECT_FLOAT_EQ(s->materials[1]->diffuse_map.uvw_angle, 0.5f);
  ASSERT_EQ(s->geom_count, 2);
  ASSERT_EQ(s->camera_count, 1);
  for (int g = 0; g < 2; g++) {
    const ase_writer_object& o = w.scene.objects[size_t(g)];
    const ase_geom* geom = s->geoms[g];
    EXPECT_STREQ(geom->name, o.name.c_str());
    EXPECT_EQ(geom->material_ref, o.material);
    const ase_mesh* m = geom->mesh;
    ASSERT_EQ(m->vertex_count, int32_t(o.mesh->positions.size()));
    for (int32_t i = 0; i < m->vertex_count; i++) {
      // Written in scene space with (x, y, z) as (x, -z, y), four decimals.
      const forge_vec3 p = placed(o, o.mesh->positions[size_t(i)]);
      ASSERT_NEAR(m->vertices[i].x, p.x, 1e-4);
      ASSERT_NEAR(m->vertices[i].y, -p.z, 1e-4);
      ASSERT_NEAR(m->vertices[i].z, p.y, 1e-4);
    }
    ASSERT_EQ(m->face_count, int32_t(o.mesh->faces.size()));
    ASSERT_EQ(m->tvface_count, m->face_count);
    for (int32_t f = 0; f < m->face_count; f++) {
      const forge_triangle& t = o.mesh->faces[size_t(f)];
      for (int k = 0; k < 3; k++) {
        ASSERT_EQ(m->faces[f].index[k], t.v[k]);
        const vec3& tv = m->tvertices[m->tvfaces[f][k]];
        ASSERT_NEAR(tv.x, t.uv[k].u, 1e-4);
        ASSERT_NEAR(tv.y, t.uv[k].v, 1e-4);
      }
      // A box's sides are quads: the diagonal is hidden. A geosphere has no flat neighbours.
      const int visible = __builtin_popcount(uint32_t(m->faces[f].edges));
      EXPECT_EQ(visible, g == 0 ? 2 : 3) << o.name << " face " << f;
    }
  }
  const ase_tm_animation* a = s->geoms[0]->tm_animation;
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->pos_key_count, 5);
  EXPECT_EQ(a->rot_key_count, 5);
  EXPECT_EQ(a->pos_keys[4].frame, 40);
  EXPECT_EQ(s->geoms[1]->tm_animation, nullptr);
  ASSERT_NE(s->cameras[0]->tm_animation, nullptr);
  EXPECT_EQ(s->cameras[0]->tm_animation->rot_key_count, 4);
  ase_scene_free(s);
}

vec3 vec_of(forge_vec3 v) { return {v.x, v.y, v.z}; }

void expect_near(const vec3& a, const vec3& b, float tolerance, const std::string& what) {
  EXPECT_NEAR(a.x, b.x, tolerance) << what;
  EXPECT_NEAR(a.y, b.y, tolerance) << what;
  EXPECT_NEAR(a.z, b.z, tolerance) << what;
}

// An object node's vertex i in the engine's world.
vec3 node_world(const scene_node* n, int32_t i) {
  vec3 out;
  mat3_transform(&out, &n->positions[i], &n->matrix);
  vec3_add(&out, &out, &n->position);
  return out;
}

TEST(SceneWriters, SceneRoundTripThroughTheRenderScene) {
  testkit_tempdir dir;
  write_pictures(dir);
  written_scene w;
  make_scene(&w);
  std::string text;
  ASSERT_EQ(write_ase(&w.scene, &text), 1);
  const std::string path = dir.file("world.ase");
  testkit_write_text(path, text);
  render_scene* rs = nullptr;
  {
    scene_stdout capture;
    rs = ase_build_scene(path.c_str(), dir.path.c_str());
  }
  ASSERT_NE(rs, nullptr);
  ASSERT_EQ(rs->object_count, 2);
  EXPECT_EQ(rs->materials[0]->pixmap->width, 9);
  // Built, before any animation: the node transforms place the meshes.
  for (int g = 0; g < 2; g++) {
    const ase_writer_object& o = w.scene.objects[size_t(g)];
    const scene_node* n = rs->objects[g];
    int32_t kept = 0;
    for (int32_t i = 0; i < n->vertex_count; i++)
      expect_near(node_world(n, i), vec_of(engine_of(placed(o, o.mesh->positions[size_t(i)]))), 2e-3f,
                  o.name + " vertex " + std::to_string(i));
    for (int32_t f = 0; f < n->face_count; f++) {
      const forge_triangle& t = o.mesh->faces[size_t(f)];
      const scene_face* sf = n->faces[f];
      EXPECT_EQ(sf->index[0], t.v[0]);
      EXPECT_EQ(sf->index[1], t.v[2]);
      EXPECT_EQ(sf->index[2], t.v[1]);
      vec3 corners[3];
      for (int k = 0; k < 3; k++)
        corners[k] = node_world(n, sf->index[k]);
      const forge_vec3 normal = forge_mesh_face_normal(o.mesh, &t);
      kept += engine_keeps(corners, engine_of(turned(o.turn, normal)));
    }
    EXPECT_EQ(kept, n->face_count) << o.name;
  }
  // Texture corners of the box (no map angle): u and v across the 9 x 5 picture.
  const scene_face* f0 = rs->objects[0]->faces[0];
  const forge_triangle& t0 = w.box.faces[0];
  EXPECT_NEAR(f0->polygon->uv[0], t0.uv[0].u * 8, 1e-3);
  EXPECT_NEAR(f0->polygon->uv[1], t0.uv[0].v * 4, 1e-3);
  EXPECT_NEAR(f0->polygon->uv[2], t0.uv[2].u * 8, 1e-3);
  EXPECT_NEAR(f0->polygon->uv[3], t0.uv[2].v * 4, 1e-3);

  // Animated: at a key inside the spline the box is where that key puts it.
  const ase_writer_object& box = w.scene.objects[0];
  for (int key = 1; key <= 3; key++) {
    rs->time = float(10 * key);
    render_scene_animate(rs);
    ase_writer_object at = box;
    at.position = box.tracks.positions[size_t(key)].position;
    at.turn = box.tracks.rotations[size_t(key)].turn;
    for (int32_t i = 0; i < rs->objects[0]->vertex_count; i++)
      expect_near(node_world(rs->objects[0], i), vec_of(engine_of(placed(at, box.mesh->positions[size_t(i)]))), 2e-3f,
                  "key " + std::to_string(key) + " vertex " + std::to_string(i));
    // The camera looks along its turned -z with its turned +y up.
    const ase_writer_camera& cam = w.scene.cameras[0];
    const int ck = key > 2 ? 2 : key;
    rs->time = float(10 * ck);
    render_scene_animate(rs);
    const scene_node* c = rs->cameras[0];
    vec3 look, up;
    const vec3 z = {0, 0, 1}, y = {0, 1, 0};
    mat3_transform(&look, &z, &c->matrix);
    mat3_transform(&up, &y, &c->matrix);
    const ase_writer_turn& turn = cam.tracks.rotations[size_t(ck)].turn;
    expect_near(look, vec_of(engine_of(turned(turn, {0, 0, -1}))), 1e-4f, "camera look");
    expect_near(up, vec_of(engine_of(turned(turn, {0, 1, 0}))), 1e-4f, "camera up");
    expect_near(c->position, vec_of(engine_of(cam.tracks.positions[size_t(ck)].position)), 1e-4f, "camera");
  }
  render_scene_free(rs);
}

TEST(SceneWriters, TheCameraSeesWhatItLooksAt) {
  testkit_tempdir dir;
  write_pictures(dir);
  written_scene w;
  make_scene(&w);
  // Only a plate facing +z (one-sided: drawn only when its faces turn the
  // right way), straight ahead of a camera that looks along -z.
  forge_mesh plate;
  ASSERT_EQ(forge_mesh_plate(&plate, 10, 10, 2, 2), 1);
  w.scene.objects.erase(w.scene.objects.begin());
  w.scene.objects[0].mesh = &plate;
  w.scene.objects[0].turn = {};
  w.scene.objects[0].position = {0, 0, -20};
  w.scene.cameras[0].tracks = {};
  w.scene.cameras[0].position = {0, 0, 0};
  for (float angle : {0.0f, 3.14159265f}) {
    w.scene.cameras[0].turn = {{0, 1, 0}, angle};
    std::string text;
    ASSERT_EQ(write_ase(&w.scene, &text), 1);
    testkit_write_text(dir.file("look.ase"), text);
    render_scene* rs = nullptr;
    {
      scene_stdout capture;
      rs = ase_build_scene(dir.file("look.ase").c_str(), dir.path.c_str());
    }
    ASSERT_NE(rs, nullptr);
    pixmap* target = pixmap_create(40, 30, 0);
    render_context* k = render_context_create(0, target, 40, 30, 40);
    select_polygondrawer(POLYGONDRAWER_SAFE);
    render_scene_animate(rs);
    render_scene_draw(rs, k);
    int drawn = 0;
    for (int i = 0; i < 40 * 30; i++)
      drawn += target->pixels[i] != 0;
    if (angle == 0)
      EXPECT_GT(drawn, 100) << "looking at the plate";
    else
      EXPECT_EQ(drawn, 0) << "looking away";
    render_context_free(k);
    pixmap_free(target);
    render_scene_free(rs);
  }
}

TEST(SceneWriters, SceneWriterRefuses) {
  written_scene w;
  make_scene(&w);
  std::string text;
  ase_writer_scene s = w.scene;
  s.objects[0].material = 2;
  EXPECT_EQ(write_ase(&s, &text), 0);
  s = w.scene;
  s.objects[0].mesh = nullptr;
  EXPECT_EQ(write_ase(&s, &text), 0);
  s = w.scene;
  s.materials[0].name = "say \"hi\"";
  EXPECT_EQ(write_ase(&s, &text), 0);
  EXPECT_EQ(write_ase(&w.scene, &text), 1);
}

int count_lines(const std::string& text, const std::string& prefix) {
  int n = 0;
  for (size_t at = 0; at < text.size();) {
    if (text.compare(at, prefix.size(), prefix) == 0)
      n++;
    const size_t end = text.find('\n', at);
    at = end == std::string::npos ? text.size() : end + 1;
  }
  return n;
}

// Runs the model tool; returns its status with standard output.
int run_model(const std::string& args, std::string* out) {
  out->clear();
  return testkit_run(testkit_bin_dir() + "/model " + args + " 2>&1", out);
}

TEST(SceneWriters, TheModelToolReadsWhatTheWritersMake) {
  testkit_tempdir dir(true);
  write_pictures(dir);
  for (named_mesh& n : every_builder()) {
    std::vector<lwo_writer_surface> surfaces(2);
    surfaces[0].name = "A";
    surfaces[1].name = "B";
    std::vector<uint8_t> bytes;
    ASSERT_EQ(write_lwo(&n.mesh, surfaces, &bytes), 1);
    testkit_write_file(n.name + ".lwo", bytes);
    std::string out;
    ASSERT_EQ(run_model("info " + n.name + ".lwo", &out), 0) << out;
    EXPECT_NE(out.find("vertices: " + std::to_string(n.mesh.positions.size()) + "\n"), std::string::npos) << out;
    EXPECT_NE(out.find("faces: " + std::to_string(n.mesh.faces.size()) + " (0 dots, 0 lines, " +
                       std::to_string(n.mesh.faces.size()) + " triangles)"),
              std::string::npos)
        << out;
    ASSERT_EQ(run_model("obj " + n.name + ".lwo " + n.name + ".obj", &out), 0) << out;
    const scene_bytes obj = testkit_read_file(n.name + ".obj");
    const std::string text(obj.begin(), obj.end());
    EXPECT_EQ(size_t(count_lines(text, "v ")), n.mesh.positions.size()) << n.name;
    EXPECT_EQ(size_t(count_lines(text, "f ")), n.mesh.faces.size()) << n.name;
  }
  written_scene w;
  make_scene(&w);
  std::string text;
  ASSERT_EQ(write_ase(&w.scene, &text), 1);
  testkit_write_text("world.ase", text);
  std::string out;
  ASSERT_EQ(run_model("info world.ase", &out), 0) << out;
  EXPECT_NE(out.find("  [0] \"Box\" vertices " + std::to_string(w.box.positions.size())), std::string::npos) << out;
  EXPECT_NE(out.find("      tracks: position 5 keys, rotation 5 keys, scale 0 keys\n"), std::string::npos) << out;
  EXPECT_NE(out.find("  [0] \"Wall\" bitmap ./wall.jpg"), std::string::npos) << out;
  ASSERT_EQ(run_model("obj world.ase world.obj", &out), 0) << out;
  const scene_bytes obj = testkit_read_file("world.obj");
  const std::string objtext(obj.begin(), obj.end());
  EXPECT_NE(objtext.find("o Box\n"), std::string::npos);
  EXPECT_NE(objtext.find("o Ball\n"), std::string::npos);
}

} // namespace
