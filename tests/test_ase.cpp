// The ASCII scene reader: the records of a hand-written scene, bitmap paths,
// the printed lines, and the scenes it refuses.
#include "ase.h"
#include "scene_fixtures.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct scene_deleter {
  void operator()(ase_scene* s) const { ase_scene_free(s); }
};
using scene_ptr = std::unique_ptr<ase_scene, scene_deleter>;

scene_ptr load_text(const testkit_tempdir& dir, const std::string& text, std::string* out,
                    const char* texture_dir = "data/3dscene/") {
  const std::string path = dir.file("scene.ase");
  std::remove(path.c_str());
  testkit_write_text(path, text);
  scene_stdout capture;
  ase_scene* s = ase_load(path.c_str(), texture_dir);
  *out = capture.text();
  return scene_ptr(s);
}

// The sample with one piece of text replaced.
std::string sample_with(const std::string& from, const std::string& to) {
  std::string text = ase_sample_text();
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos)
    text.replace(at, from.size(), to);
  return text;
}

TEST(AsciiScene, ReadsTheSample) {
  testkit_tempdir dir;
  std::string out;
  scene_ptr s = load_text(dir, ase_sample_text(), &out);
  ASSERT_TRUE(s);
  EXPECT_EQ(out, "Read scene information\n"
                 "Read material list\n"
                 "Read material name\n"
                 "Read material diffuse map\n"
                 "Read material name\n"
                 "Read material diffuse map\n"
                 "Read geom object\n"
                 "Read camera object\n"
                 "Read unkown\n"
                 "Read helper object"
                 "Read group\n");
  EXPECT_EQ(s->info[0], 0);
  EXPECT_EQ(s->info[3], 30);
  EXPECT_EQ(s->info[4], 1);

  ASSERT_EQ(s->material_count, 2);
  const ase_material* m0 = s->materials[0];
  EXPECT_EQ(m0->flags, 3u);
  EXPECT_EQ(m0->index, 0);
  EXPECT_STREQ(m0->name, "Stone Wall");
  EXPECT_EQ(m0->diffuse_map.flags, 7u);
  EXPECT_STREQ(m0->diffuse_map.name, "Map #1");
  EXPECT_STREQ(m0->diffuse_map.bitmap, "data/3dscene/wall.jpg");
  EXPECT_FLOAT_EQ(m0->diffuse_map.uvw_angle, 0.5f);
  EXPECT_EQ(s->materials[1]->index, 1);
  EXPECT_STREQ(s->materials[1]->diffuse_map.bitmap, "data/3dscene/floor.jpg");
  EXPECT_EQ(s->materials[1]->diffuse_map.flags, 2u);

  ASSERT_EQ(s->geom_count, 1);
  const ase_geom* g = s->geoms[0];
  EXPECT_EQ(g->flags, 0x3Fu);
  EXPECT_STREQ(g->name, "Square");
  EXPECT_STREQ(g->parent, "Group01");
  EXPECT_EQ(g->material_ref, 1);
  const ase_node_tm* tm = g->node_tm;
  ASSERT_NE(tm, nullptr);
  EXPECT_EQ(tm->flags, 0x5F3u);
  EXPECT_FLOAT_EQ(tm->row1.y, 1);
  EXPECT_FLOAT_EQ(tm->row3.z, 30);
  EXPECT_FLOAT_EQ(tm->pos.y, 20);
  EXPECT_FLOAT_EQ(tm->rot_axis.z, 1);
  EXPECT_FLOAT_EQ(tm->rot_angle, 1.5f);
  EXPECT_FLOAT_EQ(tm->scale.x, 2);
  EXPECT_FLOAT_EQ(tm->scale_axis.y, 1);
  EXPECT_FLOAT_EQ(tm->scale_axis_angle, 0.25f);

  const ase_mesh* mesh = g->mesh;
  ASSERT_NE(mesh, nullptr);
  ASSERT_EQ(mesh->vertex_count, 4);
  EXPECT_FLOAT_EQ(mesh->vertices[3].z, -2.5f);
  EXPECT_FLOAT_EQ(mesh->vertices[2].x, 1);
  ASSERT_EQ(mesh->face_count, 2);
  EXPECT_EQ(mesh->faces[0].edges, ASE_EDGE_AB | ASE_EDGE_CA);
  EXPECT_EQ(mesh->faces[0].index[2], 2);
  EXPECT_EQ(mesh->faces[1].edges, ASE_EDGE_BC);
  EXPECT_EQ(mesh->faces[1].index[0], 0);
  EXPECT_EQ(mesh->faces[1].index[1], 2);
  EXPECT_EQ(mesh->faces[1].index[2], 3);
  ASSERT_EQ(mesh->tvertex_count, 4);
  EXPECT_FLOAT_EQ(mesh->tvertices[3].z, 0.5f);
  ASSERT_EQ(mesh->tvface_count, 2);
  EXPECT_EQ(mesh->tvfaces[1][2], 3);

  const ase_tm_animation* a = g->tm_animation;
  ASSERT_NE(a, nullptr);
  EXPECT_STREQ(a->name, "Square");
  ASSERT_EQ(a->pos_key_count, 2);
  EXPECT_EQ(a->pos_keys[1].frame, 10);
  ASSERT_EQ(a->pos_keys[1].value_count, ASE_POS_KEY_VALUES);
  EXPECT_FLOAT_EQ(a->pos_keys[1].values[2], 6);
  ASSERT_EQ(a->rot_key_count, 1);
  ASSERT_EQ(a->rot_keys[0].value_count, ASE_ROT_KEY_VALUES);
  EXPECT_FLOAT_EQ(a->rot_keys[0].values[3], 0.5f);
  EXPECT_EQ(a->scale_key_count, 0);

  ASSERT_EQ(s->camera_count, 1);
  const ase_camera* c = s->cameras[0];
  EXPECT_EQ(c->flags, 0xFu);
  EXPECT_EQ(c->type, 1);
  EXPECT_STREQ(c->name, "Camera01");
  ASSERT_NE(c->node_tm, nullptr);
  EXPECT_STREQ(c->node_tm->name, "Camera01.Target");
  EXPECT_FLOAT_EQ(c->node_tm->pos.x, 4);
  ASSERT_NE(c->tm_animation, nullptr);
  EXPECT_EQ(c->tm_animation->pos_key_count, 3);

  ASSERT_EQ(s->helper_count, 1);
  EXPECT_EQ(s->helpers[0]->flags, 0xFu);
  EXPECT_FLOAT_EQ(s->helpers[0]->bbox_min.z, -3);
  EXPECT_FLOAT_EQ(s->helpers[0]->bbox_max.y, 2);

  ASSERT_EQ(s->group_count, 1);
  const ase_group* outer = s->groups[0];
  EXPECT_STREQ(outer->name, "Group01");
  ASSERT_EQ(outer->helper_count, 1);
  EXPECT_STREQ(outer->helpers[0]->name, "Group01");
  EXPECT_EQ(outer->geom_count, 0);
  ASSERT_EQ(outer->group_count, 1);
  const ase_group* inner = outer->groups[0];
  EXPECT_STREQ(inner->name, "Inner");
  ASSERT_EQ(inner->geom_count, 1);
  // Lower-case keywords are not keywords; an integer with a decimal point reads as 0.
  EXPECT_STREQ(inner->geoms[0]->name, "Tiny");
  EXPECT_EQ(inner->geoms[0]->flags, 0x21u);
  EXPECT_EQ(inner->geoms[0]->material_ref, 0);
}

TEST(AsciiScene, BitmapPaths) {
  testkit_tempdir dir;
  struct path_case {
    const char* texture_dir;
    const char* stored;
    const char* expected;
  };
  const path_case cases[] = {
      {"data/3dscene/", "C:\\3dsmax\\maps\\wall.jpg", "data/3dscene/wall.jpg"},
      {"data/3dscene", "C:\\3dsmax\\maps\\wall.jpg", "data/3dscene/wall.jpg"},
      {"data\\scene\\", "maps/x/wall.jpg", "data\\scene\\wall.jpg"},
      {"", "C:\\3dsmax\\maps\\wall.jpg", "C:\\3dsmax\\maps\\wall.jpg"},
      {nullptr, "plain.jpg", "plain.jpg"},
  };
  for (const path_case& c : cases) {
    std::string out;
    scene_ptr s = load_text(dir, sample_with("C:\\3dsmax\\maps\\wall.jpg", c.stored), &out, c.texture_dir);
    ASSERT_TRUE(s);
    EXPECT_STREQ(s->materials[0]->diffuse_map.bitmap, c.expected) << (c.texture_dir ? c.texture_dir : "none");
  }
}

TEST(AsciiScene, EmptyAndMinimalFiles) {
  testkit_tempdir dir;
  std::string out;
  scene_ptr s = load_text(dir, "", &out);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->geom_count, 0);
  s = load_text(dir, "*3DSMAX_ASCIIEXPORT 200 *COMMENT \"x\"", &out);
  ASSERT_TRUE(s);
  EXPECT_EQ(out, "");
  EXPECT_FALSE(ase_load(dir.file("missing.ase").c_str(), ""));
}

TEST(AsciiScene, RefusedScenes) {
  testkit_tempdir dir;
  struct refused {
    const char* what;
    std::string text;
  };
  std::string deep = "a b c d ";
  for (int i = 0; i < ASE_MAX_GROUP_DEPTH + 1; i++)
    deep += "*GROUP \"g\" { ";
  for (int i = 0; i < ASE_MAX_GROUP_DEPTH + 1; i++)
    deep += "} ";
  std::string text = ase_sample_text();
  const refused cases[] = {
      {"corner beyond the vertices", sample_with("C:    3 AB:    0", "C:    4 AB:    0")},
      {"negative corner", sample_with("A:    0 B:    1", "A:    -1 B:    1")},
      {"texture corner beyond",
       sample_with("*MESH_TFACE 1	0	2	3", "*MESH_TFACE 1	0	2	4")},
      {"count beyond the text", sample_with("*MESH_NUMVERTEX 4", "*MESH_NUMVERTEX 400000")},
      {"negative count", sample_with("*MESH_NUMFACES 2", "*MESH_NUMFACES -2")},
      {"count without its list", sample_with("*MESH_NUMTVFACES 2", "*MESH_NUMTVFACES 2 *MESH_NUMVERTEX 4")},
      {"unclosed block", text.substr(0, text.size() - 3)},
      {"unknown block without end", text + "*TRAILING { x"},
      {"unknown word at the end", text + "*TRAILING"},
      {"groups too deep", deep},
  };
  for (const refused& c : cases) {
    const scene_watch before = scene_watch_now();
    std::string out;
    scene_ptr s = load_text(dir, c.text, &out);
    EXPECT_FALSE(s) << c.what;
    EXPECT_TRUE(scene_released(before)) << c.what;
  }
  // One group level less than the limit is read.
  deep = "a b c d ";
  for (int i = 0; i < ASE_MAX_GROUP_DEPTH; i++)
    deep += "*GROUP \"g\" { ";
  for (int i = 0; i < ASE_MAX_GROUP_DEPTH; i++)
    deep += "} ";
  std::string out;
  EXPECT_TRUE(load_text(dir, deep, &out));
}

TEST(AsciiScene, LaterBlocksReplaceEarlierOnes) {
  testkit_tempdir dir;
  std::string out;
  // A second mesh and a second vertex count: the last ones count.
  const std::string text = sample_with("*PROP_MOTIONBLUR 0", "*MESH { *MESH_NUMVERTEX 2 *MESH_NUMVERTEX 1 "
                                                             "*MESH_VERTEX_LIST { *MESH_VERTEX 0 7 8 9 } }");
  const scene_watch before = scene_watch_now();
  {
    scene_ptr s = load_text(dir, text, &out);
    ASSERT_TRUE(s);
    const ase_mesh* m = s->geoms[0]->mesh;
    ASSERT_EQ(m->vertex_count, 1);
    EXPECT_FLOAT_EQ(m->vertices[0].z, 9);
    EXPECT_EQ(m->face_count, 0);
  }
  EXPECT_TRUE(scene_released(before));
}

} // namespace
