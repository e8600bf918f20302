// The render scene: materials, objects and the camera built from a scene
// file, their tracks evaluated by the animation step, drawing through the
// pipeline, and the scenes the builder refuses.
#include "ase.h"
#include "mem.h"
#include "picture_fixtures.h"
#include "polygondrawer.h"
#include "render_scene.h"
#include "scene_fixtures.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>

namespace {

struct scene_deleter {
  void operator()(render_scene* s) const { render_scene_free(s); }
};
using render_scene_ptr = std::unique_ptr<render_scene, scene_deleter>;

// Pieces of a scene file, put together by scene_text.
struct scene_parts {
  std::string materials = "*MATERIAL 0 { *MATERIAL_NAME \"A\" *MAP_DIFFUSE { *BITMAP \"C:\\maps\\a.jpg\" "
                          "*UVW_ANGLE 0.0 } }\n"
                          "*MATERIAL 1 { *MATERIAL_NAME \"B\" *MAP_DIFFUSE { *BITMAP \"b.jpg\" *UVW_ANGLE 0.5 } }\n";
  int material_count = 2;
  std::string node_tm = "*NODE_TM { *TM_POS 10 20 30 *TM_ROTAXIS 0 0 1 *TM_ROTANGLE 0.5 }";
  std::string mesh = "*MESH { *MESH_NUMVERTEX 3 *MESH_NUMFACES 1\n"
                     "*MESH_VERTEX_LIST { *MESH_VERTEX 0 10 20 30 *MESH_VERTEX 1 14 20 30 *MESH_VERTEX 2 10 20 33 }\n"
                     "*MESH_FACE_LIST { *MESH_FACE 0: A: 0 B: 1 C: 2 AB: 1 BC: 1 CA: 1 *MESH_SMOOTHING 1 }\n"
                     "*MESH_NUMTVERTEX 3 *MESH_TVERTLIST { *MESH_TVERT 0 0 0 0 *MESH_TVERT 1 1 0 0 "
                     "*MESH_TVERT 2 0.25 1 0 }\n"
                     "*MESH_NUMTVFACES 1 *MESH_TFACELIST { *MESH_TFACE 0 0 1 2 } }";
  std::string material_ref = "*MATERIAL_REF 0";
  std::string object_animation;
  std::string camera = "*CAMERAOBJECT { *NODE_NAME \"Cam\" *CAMERA_TYPE Target *NODE_TM { *TM_POS 99 99 99 } }";
};

std::string scene_text(const scene_parts& s) {
  std::ostringstream o;
  o << "*3DSMAX_ASCIIEXPORT 200\n*COMMENT \"made by hand\"\n";
  o << "*MATERIAL_LIST {\n*MATERIAL_COUNT " << s.material_count << "\n" << s.materials << "}\n";
  o << "*GEOMOBJECT { *NODE_NAME \"Tri\" " << s.node_tm << "\n"
    << s.mesh << "\n"
    << s.material_ref << "\n"
    << s.object_animation << " }\n";
  o << s.camera << "\n";
  return o.str();
}

// The two pictures of the materials, a 4 x 3 and an 8 x 5 JPEG.
void write_pictures(const testkit_tempdir& dir) {
  testkit_write_file(dir.file("a.jpg"), fixture_jpeg(4, 3, fixture_rgb(4, 3, 1), 90, false));
  testkit_write_file(dir.file("b.jpg"), fixture_jpeg(8, 5, fixture_rgb(8, 5, 2), 90, false));
}

render_scene_ptr build(const testkit_tempdir& dir, const scene_parts& parts) {
  const std::string path = dir.file("scene.ase");
  std::remove(path.c_str());
  testkit_write_text(path, scene_text(parts));
  scene_stdout capture;
  return render_scene_ptr(ase_build_scene(path.c_str(), dir.path.c_str()));
}

vec3 apply(const mat3& m, const vec3& v) {
  vec3 out;
  mat3_transform(&out, &v, &m);
  return out;
}

TEST(RenderScene, BuildsMaterialsObjectAndCamera) {
  testkit_tempdir dir;
  write_pictures(dir);
  scene_parts parts;
  render_scene_ptr s = build(dir, parts);
  ASSERT_TRUE(s);
  ASSERT_EQ(s->material_count, 2);
  for (int i = 0; i < 2; i++) {
    EXPECT_EQ(s->materials[i]->flags, SCENE_MATERIAL_PICTURE);
    EXPECT_EQ(s->materials[i]->reserved1, -1);
    EXPECT_EQ(s->materials[i]->reserved2, 255);
  }
  ASSERT_NE(s->materials[0]->pixmap, nullptr);
  EXPECT_EQ(s->materials[0]->pixmap->width, 4);
  EXPECT_EQ(s->materials[1]->pixmap->width, 8);
  ASSERT_EQ(s->object_count, 1);
  ASSERT_EQ(s->camera_count, 1);
  EXPECT_EQ(s->animated_count, 2);
  EXPECT_EQ(s->root_count, 2);
  EXPECT_EQ(s->animated[0], s->objects[0]);
  EXPECT_EQ(s->roots[1], s->cameras[0]);

  const scene_node* o = s->objects[0];
  EXPECT_EQ(o->type, SCENE_NODE_OBJECT);
  EXPECT_EQ(o->flags, 0u);
  EXPECT_EQ(o->unit, 1.0f);
  // Position and axis with y and z exchanged.
  EXPECT_FLOAT_EQ(o->position.x, 10);
  EXPECT_FLOAT_EQ(o->position.y, 30);
  EXPECT_FLOAT_EQ(o->position.z, 20);
  mat3 expected;
  const vec3 axis = {0, 1, 0};
  mat3_rotation_axis(&expected, &axis, 0.5f);
  for (int i = 0; i < 9; i++)
    EXPECT_FLOAT_EQ(o->matrix.m[i], expected.m[i]);
  // Object-space vertices turned and moved by the node give the file's
  // positions with y and z exchanged.
  const vec3 world[3] = {{10, 30, 20}, {14, 30, 20}, {10, 33, 20}};
  ASSERT_EQ(o->vertex_count, 3);
  for (int i = 0; i < 3; i++) {
    const vec3 back = apply(o->matrix, o->positions[i]);
    EXPECT_NEAR(back.x + o->position.x, world[i].x, 1e-4) << i;
    EXPECT_NEAR(back.y + o->position.y, world[i].y, 1e-4) << i;
    EXPECT_NEAR(back.z + o->position.z, world[i].z, 1e-4) << i;
  }
  ASSERT_EQ(o->face_count, 1);
  const scene_face* f = o->faces[0];
  EXPECT_EQ(f->material, s->materials[0]);
  EXPECT_EQ(f->index[0], 0);
  EXPECT_EQ(f->index[1], 2);
  EXPECT_EQ(f->index[2], 1);
  const polygon* p = f->polygon;
  EXPECT_EQ(p->flags, 0x3804u);
  EXPECT_EQ(p->stride, 5);
  EXPECT_EQ(p->layer[0], 0);
  EXPECT_EQ(p->uv_count, 6);
  EXPECT_EQ(p->texture[0], s->materials[0]->pixmap);
  // Texture corners first, third, second, scaled to the 4 x 3 picture.
  const float uv[6] = {0, 0, 0.25f * 3, 1 * 2, 1 * 3, 0};
  for (int i = 0; i < 6; i++)
    EXPECT_FLOAT_EQ(p->uv[i], uv[i]) << i;

  const scene_node* c = s->cameras[0];
  EXPECT_EQ(c->type, SCENE_NODE_CAMERA);
  EXPECT_EQ(c->flags, 0u);
  // The camera's node transform is not used.
  EXPECT_EQ(c->position.x, 0);
  for (int i = 0; i < 9; i++)
    EXPECT_EQ(c->view.m[i], i % 4 == 0 ? 1.0f : 0.0f);
}

TEST(RenderScene, TextureCoordinatesTurnByTheMapAngle) {
  testkit_tempdir dir;
  write_pictures(dir);
  scene_parts parts;
  parts.material_ref = "*MATERIAL_REF 1";
  render_scene_ptr s = build(dir, parts);
  ASSERT_TRUE(s);
  const polygon* p = s->objects[0]->faces[0]->polygon;
  EXPECT_EQ(p->texture[0], s->materials[1]->pixmap);
  const float tv[3][2] = {{0, 0}, {0.25f, 1}, {1, 0}};
  const float c = std::cos(-0.5f), sn = std::sin(-0.5f);
  for (int k = 0; k < 3; k++) {
    const float x = tv[k][0] - 0.5f, y = tv[k][1] - 0.5f;
    EXPECT_NEAR(p->uv[2 * k], (c * x - sn * y + 0.5f) * 7, 1e-4) << k;
    EXPECT_NEAR(p->uv[2 * k + 1], (sn * x + c * y + 0.5f) * 4, 1e-4) << k;
  }
}

TEST(RenderScene, TracksDriveTheNodes) {
  testkit_tempdir dir;
  write_pictures(dir);
  scene_parts parts;
  // Position keys every 10 frames; two rotation keys: a quarter turn about
  // the file's z, then a key with no axis (a half turn about X).
  parts.object_animation = "*TM_ANIMATION { *NODE_NAME \"Tri\" *CONTROL_POS_BEZIER {\n"
                           "*CONTROL_BEZIER_POS_KEY 0 0 0 0 0 0 0 0 0 0 0\n"
                           "*CONTROL_BEZIER_POS_KEY 10 1 2 3 0 0 0 0 0 0 0\n"
                           "*CONTROL_BEZIER_POS_KEY 20 4 5 6 0 0 0 0 0 0 0\n"
                           "*CONTROL_BEZIER_POS_KEY 30 7 8 9 0 0 0 0 0 0 0 }\n"
                           "*CONTROL_ROT_TCB { *CONTROL_TCB_ROT_KEY 0 0 0 1 1.5707964 0 0 0 0 0\n"
                           "*CONTROL_TCB_ROT_KEY 10 0 0 0 0.3 0 0 0 0 0 } }";
  parts.camera = "*CAMERAOBJECT { *NODE_NAME \"Cam\" *TM_ANIMATION { *CONTROL_POS_BEZIER {\n"
                 "*CONTROL_BEZIER_POS_KEY 0 5 6 7 0 0 0 0 0 0 0 }\n"
                 "*CONTROL_ROT_TCB { *CONTROL_TCB_ROT_KEY 0 1 0 0 0 0 0 0 0 0 } } }";
  render_scene_ptr s = build(dir, parts);
  ASSERT_TRUE(s);
  scene_node* o = s->objects[0];
  scene_node* c = s->cameras[0];
  ASSERT_EQ(o->flags, SCENE_NODE_HAS_TRACK);
  ASSERT_NE(o->track, nullptr);
  EXPECT_EQ(o->track->type, SCENE_TRACK_SPLINE);
  EXPECT_EQ(o->track->flags, SCENE_TRACK_POSITION | SCENE_TRACK_ROTATION);
  ASSERT_EQ(o->track->position_spline->segment_count, 1);
  ASSERT_EQ(o->track->rotation_spline->segment_count, 0);

  render_scene_reset_time(s.get());
  render_scene_animate(s.get());
  // Before the segment: the second key, y and z exchanged.
  EXPECT_FLOAT_EQ(o->position.x, 1);
  EXPECT_FLOAT_EQ(o->position.y, 3);
  EXPECT_FLOAT_EQ(o->position.z, 2);
  s->time = 25;
  render_scene_animate(s.get());
  EXPECT_NEAR(o->position.x, 4, 1e-5);
  EXPECT_NEAR(o->position.y, 6, 1e-5);
  // Two rotation keys hold the first: a quarter turn about y (the file's z).
  const vec3 turned = apply(o->matrix, {1, 0, 0});
  EXPECT_NEAR(turned.x, 0, 1e-6);
  EXPECT_NEAR(turned.z, -1, 1e-6);

  // A camera whose only rotation key is the identity looks along the file's
  // -z (here -y) with the file's y (here z) up.
  EXPECT_FLOAT_EQ(c->position.x, 5);
  EXPECT_FLOAT_EQ(c->position.y, 7);
  EXPECT_FLOAT_EQ(c->position.z, 6);
  const vec3 ahead = apply(c->view, {0, -1, 0});
  EXPECT_NEAR(ahead.z, 1, 1e-6);
  const vec3 up = apply(c->view, {0, 0, 1});
  EXPECT_NEAR(up.y, 1, 1e-6);
  mat3 product;
  mat3_mul(&product, &c->view, &c->matrix);
  for (int i = 0; i < 9; i++)
    EXPECT_NEAR(product.m[i], i % 4 == 0 ? 1 : 0, 1e-6);
}

TEST(RenderScene, AKeyWithoutAxisIsAHalfTurnAboutX) {
  testkit_tempdir dir;
  write_pictures(dir);
  scene_parts parts;
  parts.object_animation = "*TM_ANIMATION { *CONTROL_ROT_TCB { *CONTROL_TCB_ROT_KEY 0 0 0 0 0.3 0 0 0 0 0 } }";
  render_scene_ptr s = build(dir, parts);
  ASSERT_TRUE(s);
  render_scene_animate(s.get());
  const scene_node* o = s->objects[0];
  const vec3 y = apply(o->matrix, {0, 1, 0});
  const vec3 x = apply(o->matrix, {1, 0, 0});
  EXPECT_NEAR(y.y, -1, 1e-6);
  EXPECT_NEAR(x.x, 1, 1e-6);
}

TEST(RenderScene, DrawsWhatTheCameraSees) {
  testkit_tempdir dir;
  write_pictures(dir);
  scene_parts parts;
  // A square in the file's xy plane, 100 units below the camera, which
  // looks down the file's -z.
  parts.node_tm = "*NODE_TM { *TM_POS 0 0 -100 *TM_ROTAXIS 0 0 0 *TM_ROTANGLE 0 }";
  parts.mesh = "*MESH { *MESH_NUMVERTEX 4 *MESH_NUMFACES 2 *MESH_VERTEX_LIST {\n"
               "*MESH_VERTEX 0 -10 -10 -100 *MESH_VERTEX 1 10 -10 -100 *MESH_VERTEX 2 10 10 -100 "
               "*MESH_VERTEX 3 -10 10 -100 }\n"
               "*MESH_FACE_LIST { *MESH_FACE 0: A: 0 B: 1 C: 2 AB: 1 BC: 1 CA: 0 "
               "*MESH_FACE 1: A: 0 B: 2 C: 3 AB: 0 BC: 1 CA: 1 }\n"
               "*MESH_NUMTVERTEX 4 *MESH_TVERTLIST { *MESH_TVERT 0 0 0 0 *MESH_TVERT 1 1 0 0 "
               "*MESH_TVERT 2 1 1 0 *MESH_TVERT 3 0 1 0 }\n"
               "*MESH_NUMTVFACES 2 *MESH_TFACELIST { *MESH_TFACE 0 0 1 2 *MESH_TFACE 1 0 2 3 } }";
  parts.camera = "*CAMERAOBJECT { *TM_ANIMATION { *CONTROL_ROT_TCB { *CONTROL_TCB_ROT_KEY 0 1 0 0 0 0 0 0 0 0 } } }";
  render_scene_ptr s = build(dir, parts);
  ASSERT_TRUE(s);
  pixmap* target = pixmap_create(64, 48, 0);
  render_context* k = render_context_create(0, target, 64, 48, 256);
  select_polygondrawer(POLYGONDRAWER_SAFE);
  const uint32_t background = 0x00010203;
  auto drawn = [&]() {
    int n = 0;
    for (int i = 0; i < 64 * 48; i++)
      n += target->pixels[i] != background;
    return n;
  };
  pixmap_fill_rect(target, 0, 0, 64, 48, background);
  render_scene_animate(s.get());
  render_scene_draw(s.get(), k);
  // The square fills the middle of the view.
  EXPECT_GT(drawn(), 200);
  EXPECT_NE(target->pixels[24 * 64 + 32], background);
  EXPECT_EQ(target->pixels[0], background);
  // The work positions are the camera-space vertices, the eye at the origin.
  const scene_node* o = s->objects[0];
  for (int i = 0; i < 4; i++)
    EXPECT_NEAR(o->work_positions[i].z + 256, 100, 1e-3) << i;
  EXPECT_NEAR(o->work_positions[0].x, -10, 1e-3);
  EXPECT_NEAR(o->work_positions[0].y, -10, 1e-3);
  const polygon* p = o->faces[0]->polygon;
  EXPECT_EQ(p->v[1].x, o->work_positions[o->faces[0]->index[1]].x);

  // Turned to look the other way, the camera sees nothing.
  scene_parts away = parts;
  away.camera = "*CAMERAOBJECT { *TM_ANIMATION { *CONTROL_ROT_TCB { *CONTROL_TCB_ROT_KEY 0 1 0 0 3.14159265 "
                "0 0 0 0 0 } } }";
  render_scene_ptr back = build(dir, away);
  ASSERT_TRUE(back);
  pixmap_fill_rect(target, 0, 0, 64, 48, background);
  render_scene_animate(back.get());
  render_scene_draw(back.get(), k);
  EXPECT_EQ(drawn(), 0);

  // Without a camera nothing is drawn.
  away.camera = "";
  render_scene_ptr blind = build(dir, away);
  ASSERT_TRUE(blind);
  EXPECT_EQ(blind->camera_count, 0);
  render_scene_animate(blind.get());
  render_scene_draw(blind.get(), k);
  EXPECT_EQ(drawn(), 0);
  render_context_free(k);
  pixmap_free(target);
}

TEST(RenderScene, RefusedScenes) {
  testkit_tempdir dir;
  write_pictures(dir);
  struct refused {
    const char* what;
    scene_parts parts;
  };
  std::vector<refused> cases;
  scene_parts s;
  s.material_ref = "*MATERIAL_REF 2";
  cases.push_back({"material beyond the list", s});
  s = scene_parts();
  s.material_ref = "*MATERIAL_REF -1";
  cases.push_back({"negative material", s});
  s = scene_parts();
  s.materials = "*MATERIAL 0 { *MAP_DIFFUSE { *BITMAP \"missing.jpg\" } }\n";
  s.material_count = 1;
  cases.push_back({"picture missing", s});
  s = scene_parts();
  s.materials = "*MATERIAL 0 { *MATERIAL_NAME \"no map\" }\n";
  s.material_count = 1;
  cases.push_back({"no diffuse map", s});
  s = scene_parts();
  s.mesh = "";
  cases.push_back({"no mesh", s});
  s = scene_parts();
  s.node_tm = "";
  cases.push_back({"no node transform", s});
  s = scene_parts();
  s.mesh = scene_parts().mesh;
  s.mesh.replace(s.mesh.find("*MESH_NUMTVFACES 1 *MESH_TFACELIST { *MESH_TFACE 0 0 1 2 }"), 58, "");
  cases.push_back({"no texture faces", s});
  for (const refused& c : cases) {
    const scene_watch before = scene_watch_now();
    // The scene itself reads: only the builder refuses it.
    const std::string path = dir.file("check.ase");
    testkit_write_text(path, scene_text(c.parts));
    ase_scene* read = nullptr;
    {
      scene_stdout capture;
      read = ase_load(path.c_str(), dir.path.c_str());
    }
    ASSERT_NE(read, nullptr) << c.what;
    EXPECT_EQ(read->geom_count, 1) << c.what;
    ase_scene_free(read);
    EXPECT_FALSE(build(dir, c.parts)) << c.what;
    EXPECT_TRUE(scene_released(before)) << c.what;
  }
  // A material without picture that no object uses does no harm.
  s = scene_parts();
  s.materials += "*MATERIAL 2 { *MAP_DIFFUSE { *BITMAP \"missing.jpg\" } }\n";
  s.material_count = 3;
  render_scene_ptr ok = build(dir, s);
  ASSERT_TRUE(ok);
  EXPECT_EQ(ok->materials[2]->flags, 0u);
  EXPECT_EQ(ok->materials[2]->pixmap, nullptr);
  scene_stdout capture;
  EXPECT_FALSE(ase_build_scene(dir.file("none.ase").c_str(), dir.path.c_str()));
}

TEST(RenderScene, ConstructorsAndLists) {
  EXPECT_FALSE(scene_node_create(-1));
  EXPECT_FALSE(scene_node_create(5));
  const scene_watch before = scene_watch_now();
  render_scene* s = render_scene_create();
  for (int32_t type = 0; type <= 4; type++) {
    scene_node* n = scene_node_create(type);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->type, type);
    EXPECT_EQ(n->matrix.m[4], 1.0f);
    EXPECT_EQ(n->track, nullptr);
    ASSERT_EQ(render_scene_add_object(s, n), 1);
    ASSERT_EQ(render_scene_add_root(s, n), 1);
  }
  EXPECT_EQ(s->object_count, 5);
  EXPECT_EQ(s->objects[4]->type, 4);
  EXPECT_EQ(render_scene_add_camera(s, nullptr), 0);
  scene_track* t = scene_track_create();
  EXPECT_EQ(t->type, SCENE_TRACK_SPLINE);
  scene_track_free(t);
  scene_face* f = scene_face_create();
  EXPECT_EQ(f->polygon, nullptr);
  mem_free(f);
  // Animating nodes without tracks changes nothing.
  render_scene_animate(s);
  EXPECT_EQ(s->objects[2]->matrix.m[0], 1.0f);
  render_scene_free(s);
  EXPECT_TRUE(scene_released(before));
}

} // namespace
