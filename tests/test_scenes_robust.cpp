// Object and scene files cut at every length and changed byte by byte: the
// readers and the scene builder refuse them or give records whose counts and
// indices hold, never reading or writing out of bounds (checked by the
// sanitizer build), and always release what they took.
#include "ase.h"
#include "lwo.h"
#include "picture_fixtures.h"
#include "polygondrawer.h"
#include "render_scene.h"
#include "scene_fixtures.h"
#include "testkit.h"
#include "text_tokenizer.h"
#include "vfs.h"

#include <gtest/gtest.h>

namespace {

scene_bytes rich_object() {
  return lwo_form({
      lwo_points({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}}),
      lwo_surface_names({"Flat", "Tex", "Env"}),
      lwo_polygons({{{0, 1, 2}, 1, {}},
                    {{0, 1, 2, 3}, 2, {}},
                    {{0, 4}, 3, {}},
                    {{4}, 1, {}},
                    {{0, 1, 2}, 2, {{{1, 2, 3}, 2, {}}}},
                    {{0, 1, 2, 3, 4}, 1, {}}}),
      lwo_surf("Flat", {lwo_sub("COLR", {9, 8, 7, 0}), lwo_sub("FLAG", {0x01, 0x04})}),
      lwo_surf("Tex", {lwo_sub("CTEX", lwo_bytes().text("Spherical Image Map").b),
                       lwo_sub("TIMG", lwo_bytes().text("C:\\x\\t.pcx").b), lwo_sub("TFLG", {0, 2}),
                       lwo_sub("TSIZ", lwo_bytes().f32(1).f32(2).f32(3).b),
                       lwo_sub("TCTR", lwo_bytes().f32(0).f32(0.5f).f32(0).b)}),
      lwo_surf("Env", {lwo_sub("RIMG", lwo_bytes().u8(0).text("t.pcx").b), lwo_sub("JUNK", {1, 2, 3})}),
      lwo_chunk("CRAP", {1, 2, 3, 4, 5}),
  });
}

void check_mesh(const mesh* m) {
  ASSERT_GE(m->vertex_count, 0);
  ASSERT_GE(m->face_count, 0);
  for (int32_t i = 0; i < m->face_count; i++) {
    const mesh_face& f = m->faces[i];
    ASSERT_GE(f.surface, 0);
    ASSERT_LT(f.surface, m->surface_count);
    const int corners = f.kind == 4 ? 3 : f.kind;
    ASSERT_GE(corners, 1);
    ASSERT_LE(corners, 3);
    for (int k = 0; k < corners; k++) {
      ASSERT_GE(f.index[k], 0);
      ASSERT_LT(f.index[k], m->vertex_count);
    }
  }
}

TEST(ScenesRobust, LightWaveCutAndChanged) {
  testkit_tempdir dir;
  testkit_write_file(dir.file("t.pcx"), fixture_pcx(3, 2, 1, fixture_indices(3, 2, 8, 1), fixture_palette(256, 1)));
  const std::string path = dir.file("o.lwo");
  const std::string texture_dir = dir.path + "/";
  int read = 0, refused = 0;
  scene_mutate(path, rich_object(), 11, [&](const scene_bytes&) {
    const scene_watch before = scene_watch_now();
    {
      scene_stdout capture;
      mesh_object* o = mesh_object_create();
      o->flags |= MESH_OBJECT_MAP_TEXTURES;
      if (lwo_load(path.c_str(), texture_dir.c_str(), o)) {
        read++;
        check_mesh(o->mesh);
      } else {
        refused++;
      }
      lwo_object_free(o);
    }
    ASSERT_TRUE(scene_released(before));
  });
  EXPECT_GT(read, 0);
  EXPECT_GT(refused, 0);
}

void check_ase_mesh(const ase_mesh* m) {
  if (!m)
    return;
  for (int32_t i = 0; i < m->face_count; i++)
    for (int k = 0; k < 3; k++) {
      ASSERT_GE(m->faces[i].index[k], 0);
      ASSERT_LT(m->faces[i].index[k], m->vertex_count);
    }
  for (int32_t i = 0; i < m->tvface_count; i++)
    for (int k = 0; k < 3; k++) {
      ASSERT_GE(m->tvfaces[i][k], 0);
      ASSERT_LT(m->tvfaces[i][k], m->tvertex_count);
    }
  if (m->vertex_count > 0) {
    ASSERT_NE(m->vertices, nullptr);
  }
  if (m->tvertex_count > 0) {
    ASSERT_NE(m->tvertices, nullptr);
  }
}

void check_group(const ase_group* g) {
  for (int32_t i = 0; i < g->geom_count; i++)
    check_ase_mesh(g->geoms[i]->mesh);
  for (int32_t i = 0; i < g->group_count; i++)
    check_group(g->groups[i]);
}

TEST(ScenesRobust, AsciiSceneCutAndChanged) {
  testkit_tempdir dir;
  const std::string text = ase_sample_text();
  const std::string path = dir.file("s.ase");
  int read = 0, refused = 0;
  scene_mutate(path, scene_bytes(text.begin(), text.end()), 12, [&](const scene_bytes&) {
    const scene_watch before = scene_watch_now();
    {
      scene_stdout capture;
      ase_scene* s = ase_load(path.c_str(), "data/3dscene/");
      if (s) {
        read++;
        for (int32_t i = 0; i < s->geom_count; i++)
          check_ase_mesh(s->geoms[i]->mesh);
        for (int32_t i = 0; i < s->group_count; i++)
          check_group(s->groups[i]);
        for (int32_t i = 0; i < s->material_count; i++)
          ASSERT_NE(s->materials[i], nullptr);
        ase_scene_free(s);
      } else {
        refused++;
      }
    }
    ASSERT_TRUE(scene_released(before));
  });
  EXPECT_GT(read, 0);
  EXPECT_GT(refused, 0);
}

TEST(ScenesRobust, AsciiSceneNoiseAndHugeTokens) {
  testkit_tempdir dir;
  const std::string path = dir.file("n.ase");
  for (uint32_t seed = 1; seed <= 40; seed++) {
    scene_bytes noise = testkit_random_bytes(2000, seed);
    // Sprinkle braces and keywords so the readers go deep.
    const std::string words[] = {"*GEOMOBJECT",
                                 "*MESH",
                                 "{",
                                 "}",
                                 "*MESH_NUMVERTEX",
                                 "*MESH_FACE_LIST",
                                 "*GROUP",
                                 "\"",
                                 "*TM_ANIMATION",
                                 "*CONTROL_POS_BEZIER",
                                 "*MATERIAL_LIST",
                                 "3"};
    std::string text;
    for (size_t i = 0; i < noise.size(); i++) {
      if (noise[i] % 3 == 0)
        text += " " + words[noise[i] % 12] + " ";
      else
        text += char(noise[i] | 1);
    }
    testkit_write_text(path, text);
    scene_stdout capture;
    ase_scene_free(ase_load(path.c_str(), ""));
  }
  std::string huge = "*3DSMAX_ASCIIEXPORT 200 *COMMENT \"x\" *MATERIAL_LIST { *MATERIAL_COUNT 1 *MATERIAL 0 { "
                     "*MATERIAL_NAME \"" +
                     std::string(10000, 'n') + "\" *MAP_DIFFUSE { *BITMAP \"" + std::string(5000, 'p') + "\" } } }";
  testkit_write_text(path, huge);
  scene_stdout capture;
  ase_scene* s = ase_load(path.c_str(), "dir/");
  ASSERT_TRUE(s);
  EXPECT_EQ(std::string(s->materials[0]->name), std::string(TOKEN_SIZE - 2, 'n'));
  ase_scene_free(s);
}

TEST(ScenesRobust, SceneBuilderCutAndChanged) {
  testkit_tempdir dir;
  testkit_write_file(dir.file("a.jpg"), fixture_jpeg(4, 4, fixture_rgb(4, 4, 1), 90, false));
  const std::string text =
      "*3DSMAX_ASCIIEXPORT 200 *COMMENT \"\"\n"
      "*MATERIAL_LIST { *MATERIAL_COUNT 1 *MATERIAL 0 { *MAP_DIFFUSE { *BITMAP \"a.jpg\" *UVW_ANGLE 0.3 } } }\n"
      "*GEOMOBJECT { *NODE_TM { *TM_POS 0 0 -50 *TM_ROTAXIS 0 0 1 *TM_ROTANGLE 0.2 }\n"
      "*MESH { *MESH_NUMVERTEX 3 *MESH_NUMFACES 1 *MESH_VERTEX_LIST { *MESH_VERTEX 0 -5 -5 -50\n"
      "*MESH_VERTEX 1 5 -5 -50 *MESH_VERTEX 2 0 5 -50 } *MESH_FACE_LIST { *MESH_FACE 0: A: 0 B: 1 C: 2 AB: 1 BC: 1 "
      "CA: 1 }\n*MESH_NUMTVERTEX 3 *MESH_TVERTLIST { *MESH_TVERT 0 0 0 0 *MESH_TVERT 1 1 0 0 *MESH_TVERT 2 0 1 0 }\n"
      "*MESH_NUMTVFACES 1 *MESH_TFACELIST { *MESH_TFACE 0 0 1 2 } } *MATERIAL_REF 0\n"
      "*TM_ANIMATION { *CONTROL_POS_BEZIER { *CONTROL_BEZIER_POS_KEY 0 0 0 -50 0 0 0 0 0 0 0\n"
      "*CONTROL_BEZIER_POS_KEY 5 1 0 -50 0 0 0 0 0 0 0 *CONTROL_BEZIER_POS_KEY 10 2 0 -50 0 0 0 0 0 0 0\n"
      "*CONTROL_BEZIER_POS_KEY 15 3 0 -50 0 0 0 0 0 0 0 }\n"
      "*CONTROL_ROT_TCB { *CONTROL_TCB_ROT_KEY 0 0 0 1 0.1 0 0 0 0 0 *CONTROL_TCB_ROT_KEY 5 0 0 0 0.1 0 0 0 0 0\n"
      "*CONTROL_TCB_ROT_KEY 10 1 0 0 0.1 0 0 0 0 0 *CONTROL_TCB_ROT_KEY 15 0 1 0 0.1 0 0 0 0 0 } } }\n"
      "*CAMERAOBJECT { *TM_ANIMATION { *CONTROL_ROT_TCB { *CONTROL_TCB_ROT_KEY 0 1 0 0 0 0 0 0 0 0 } } }\n";
  pixmap* target = pixmap_create(32, 24, PIXMAP_DEPTH);
  render_context* k = render_context_create(0, target, 32, 24, 64);
  select_polygondrawer(POLYGONDRAWER_FAST_Z);
  int built = 0, refused = 0;
  const std::string path = dir.file("b.ase");
  scene_mutate(path, scene_bytes(text.begin(), text.end()), 13, [&](const scene_bytes&) {
    const scene_watch before = scene_watch_now();
    {
      scene_stdout capture;
      render_scene* s = ase_build_scene(path.c_str(), dir.path.c_str());
      if (s) {
        built++;
        for (float t : {-5.0f, 0.0f, 7.5f, 100.0f}) {
          s->time = t;
          render_scene_animate(s);
          render_scene_draw(s, k);
        }
        render_scene_free(s);
      } else {
        refused++;
      }
    }
    ASSERT_TRUE(scene_released(before));
  });
  EXPECT_GT(built, 0);
  EXPECT_GT(refused, 0);
  render_context_free(k);
  pixmap_free(target);
}

} // namespace
