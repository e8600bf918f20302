// The LightWave object reader: points, surfaces and polygons into the mesh,
// surface chunks with their sub-chunks, texture pictures, the printed
// statistics, and the files it refuses.
#include "lwo.h"
#include "picture_fixtures.h"
#include "scene_fixtures.h"
#include "testkit.h"
#include "texture_map.h"

#include <gtest/gtest.h>

namespace {

struct object_deleter {
  void operator()(mesh_object* o) const { lwo_object_free(o); }
};
using object_ptr = std::unique_ptr<mesh_object, object_deleter>;

// Reads the bytes as an object; the printed lines go to *out.
object_ptr load_bytes(const testkit_tempdir& dir, const scene_bytes& file, std::string* out,
                      const std::string& texture_dir = "", uint32_t flags = MESH_OBJECT_DEFAULT_FLAGS) {
  const std::string path = dir.file("object.lwo");
  std::remove(path.c_str());
  testkit_write_file(path, file);
  mesh_object* o = mesh_object_create();
  o->flags = flags;
  scene_stdout capture;
  mesh_object* r = lwo_load(path.c_str(), texture_dir.empty() ? nullptr : texture_dir.c_str(), o);
  *out = capture.text();
  if (!r) {
    EXPECT_EQ(o->mesh, nullptr);
    mesh_object_free(o);
    return nullptr;
  }
  EXPECT_EQ(r, o);
  return object_ptr(o);
}

const std::vector<lwo_point> square_points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 2, 2}, {3, 3, 3}};

TEST(LightWave, PolygonsBecomeFacesInFileOrder) {
  testkit_tempdir dir;
  const scene_bytes file = lwo_form({
      lwo_points(square_points),
      lwo_surface_names({"Red", "Blue"}),
      lwo_polygons({
          {{0, 1, 2}, 1, {}},
          {{0, 1, 2, 3}, 2, {}},
          {{4, 5}, 1, {}},
          {{5}, 2, {}},
          {{0, 1, 2, 3, 4}, 1, {}},
      }),
  });
  std::string out;
  object_ptr o = load_bytes(dir, file, &out);
  ASSERT_TRUE(o);
  EXPECT_EQ(out, "[-] Found 2 surfaces(materials)\n"
                 "[-] Object consists of:\n"
                 "       1 dots\n"
                 "       1 lines\n"
                 "       1 triangular polygons\n"
                 "       1 4-sided polygons = 2 x triangular polygons\n"
                 "       1 unsupported polygons\n");
  const mesh* m = o->mesh;
  ASSERT_EQ(m->vertex_count, 6);
  EXPECT_FLOAT_EQ(m->positions[4].x, 2);
  EXPECT_FLOAT_EQ(m->positions[5].z, 3);
  ASSERT_NE(m->normals, nullptr);
  ASSERT_NE(m->work_positions, nullptr);
  ASSERT_NE(m->work_normals, nullptr);
  ASSERT_NE(m->work_extra, nullptr);
  ASSERT_EQ(m->face_count, 5);
  struct expected_face {
    int32_t surface, kind, i0, i1, i2;
  };
  const expected_face want[] = {{0, 4, 0, 1, 2}, {1, 4, 0, 1, 2}, {1, 4, 0, 2, 3}, {0, 2, 4, 5, 0}, {1, 1, 5, 0, 0}};
  for (int i = 0; i < 5; i++) {
    const mesh_face& f = m->faces[i];
    EXPECT_EQ(f.surface, want[i].surface) << i;
    EXPECT_EQ(f.kind, want[i].kind) << i;
    EXPECT_EQ(f.index[0], want[i].i0) << i;
    EXPECT_EQ(f.index[1], want[i].i1) << i;
    EXPECT_EQ(f.index[2], want[i].i2) << i;
  }
  ASSERT_EQ(m->surface_count, 2);
  EXPECT_STREQ(m->surfaces[0].name, "Red");
  EXPECT_STREQ(m->surfaces[1].name, "Blue");
  for (int i = 0; i < 2; i++) {
    EXPECT_EQ(m->surfaces[i].flags, 0x201u);
    EXPECT_EQ(m->surfaces[i].colour[0], 200);
    EXPECT_EQ(m->surfaces[i].colour[1], 200);
    EXPECT_EQ(m->surfaces[i].colour[2], 200);
    EXPECT_EQ(m->surfaces[i].texture, nullptr);
    EXPECT_EQ(m->surfaces[i].env_texture, nullptr);
  }
}

TEST(LightWave, DetailPolygonsAreDroppedWithTheirOwner) {
  testkit_tempdir dir;
  lwo_polygon owner = {{0, 1, 2}, 1, {{{0, 1, 2}, 1, {}}, {{1, 2, 3}, 1, {}}}};
  // A detail with details of its own: those go too.
  owner.details[1].details = {{{2, 3, 0}, 1, {}}};
  const scene_bytes file = lwo_form({
      lwo_points(square_points),
      lwo_surface_names({"Only"}),
      lwo_polygons({{{0, 1, 2}, 1, {}}, owner, {{3, 2, 1}, 1, {}}}),
  });
  std::string out;
  object_ptr o = load_bytes(dir, file, &out);
  ASSERT_TRUE(o);
  EXPECT_EQ(out, "[-] Found 1 surfaces(materials)\n"
                 "[-] Object consists of:\n"
                 "       2 triangular polygons\n"
                 "       1 detailed surfaces\n"
                 "       3 detail polygons\n");
  ASSERT_EQ(o->mesh->face_count, 2);
  EXPECT_EQ(o->mesh->faces[0].index[0], 0);
  EXPECT_EQ(o->mesh->faces[1].index[0], 3);
  EXPECT_EQ(o->mesh->faces[1].index[2], 1);
}

TEST(LightWave, SurfaceNamesIgnorePadZerosAndAreCutTo63) {
  testkit_tempdir dir;
  const std::string long_name(70, 'x');
  lwo_bytes names;
  names.name("A").name("Bc").u8(0).u8(0).name(long_name);
  const scene_bytes file = lwo_form({
      lwo_points(square_points),
      lwo_chunk("SRFS", names.b),
      lwo_polygons({{{0, 1, 2}, 3, {}}}),
      lwo_surf(long_name, {lwo_sub("COLR", {1, 2, 3, 0})}),
  });
  std::string out;
  object_ptr o = load_bytes(dir, file, &out);
  ASSERT_TRUE(o);
  ASSERT_EQ(o->mesh->surface_count, 3);
  EXPECT_STREQ(o->mesh->surfaces[0].name, "A");
  EXPECT_STREQ(o->mesh->surfaces[1].name, "Bc");
  EXPECT_EQ(std::string(o->mesh->surfaces[2].name), long_name.substr(0, 63));
  EXPECT_EQ(o->mesh->surfaces[2].colour[2], 3);
}

// Flags of a surface after its sub-chunks.
uint32_t surface_flags(const std::vector<scene_bytes>& subs, std::string* out) {
  testkit_tempdir dir;
  const scene_bytes file = lwo_form({
      lwo_points(square_points),
      lwo_surface_names({"S"}),
      lwo_polygons({{{0, 1, 2}, 1, {}}}),
      lwo_surf("S", subs),
  });
  object_ptr o = load_bytes(dir, file, out);
  EXPECT_TRUE(o);
  return o ? o->mesh->surfaces[0].flags : 0;
}

scene_bytes flag(uint32_t f) { return lwo_sub("FLAG", lwo_bytes().u16(f).b); }
scene_bytes ctex(const std::string& mapping) { return lwo_sub("CTEX", lwo_bytes().text(mapping).b); }

TEST(LightWave, FlagAndTextureCombinations) {
  std::string out;
  EXPECT_EQ(surface_flags({flag(0x100)}, &out), 0x10201u);
  EXPECT_EQ(surface_flags({flag(0x104)}, &out), 0x400u);
  EXPECT_EQ(surface_flags({flag(0x100), flag(0x4)}, &out), 0x400u);
  EXPECT_EQ(surface_flags({flag(0x4), ctex("Planar Image Map")}, &out), 0x404u);
  EXPECT_EQ(surface_flags({ctex("Planar Image Map")}, &out), 0x204u);
  EXPECT_EQ(out.find("Multiple"), std::string::npos);
  EXPECT_EQ(surface_flags({ctex("Planar Image Map"), ctex("Cubic Image Map")}, &out), 0x204u);
  EXPECT_NE(out.find("[&] Multiple textures not supported!\n"), std::string::npos);
  EXPECT_EQ(surface_flags({flag(0x100), lwo_sub("RIMG", lwo_bytes().u8(0).text("env.pcx").b)}, &out), 0x10u);
  EXPECT_EQ(surface_flags({lwo_sub("RIMG", lwo_bytes().u8(0).text("a.pcx").b),
                           lwo_sub("RIMG", lwo_bytes().u8(0).text("b.pcx").b)},
                          &out),
            0x10u);
  EXPECT_NE(out.find("[&] Multiple envmaps not supported!\n"), std::string::npos);
}

TEST(LightWave, MappingEntriesFollowTheCurrentTexture) {
  testkit_tempdir dir;
  const scene_bytes file = lwo_form({
      lwo_points(square_points),
      lwo_surface_names({"Plain", "Map", "Bump"}),
      lwo_polygons({{{0, 1, 2}, 1, {}}}),
      lwo_surf("Map", {ctex("cylindrical image map"), lwo_sub("TFLG", lwo_bytes().u16(4).b),
                       lwo_sub("TSIZ", lwo_bytes().f32(1).f32(2).f32(3).b),
                       lwo_sub("TCTR", lwo_bytes().f32(4).f32(5).f32(6).b)}),
      // A bump texture's settings are not the colour texture's.
      lwo_surf("Bump", {lwo_sub("BTEX", lwo_bytes().text("Planar Image Map").b), lwo_sub("TFLG", lwo_bytes().u16(1).b),
                        lwo_sub("TSIZ", lwo_bytes().f32(9).f32(9).f32(9).b)}),
  });
  std::string out;
  object_ptr o = load_bytes(dir, file, &out);
  ASSERT_TRUE(o);
  EXPECT_EQ(texture_mapping[0].type, TEXTURE_MAP_NONE);
  EXPECT_EQ(texture_mapping[1].type, TEXTURE_MAP_CYLINDRICAL);
  EXPECT_EQ(texture_mapping[1].axis, TEXTURE_AXIS_Z);
  EXPECT_FLOAT_EQ(texture_mapping[1].size.y, 2);
  EXPECT_FLOAT_EQ(texture_mapping[1].center.z, 6);
  EXPECT_EQ(texture_mapping[2].type, TEXTURE_MAP_NONE);
  EXPECT_EQ(texture_mapping[2].axis, TEXTURE_AXIS_Y);
  EXPECT_FLOAT_EQ(texture_mapping[2].size.x, 0);
  EXPECT_EQ(o->mesh->surfaces[2].flags, 0x201u);
  ASSERT_NE(o->mesh->surfaces[1].texture, nullptr);
  EXPECT_EQ(o->mesh->surfaces[1].texture->pixmap, nullptr);
}

scene_bytes small_pcx() { return fixture_pcx(5, 3, 1, fixture_indices(5, 3, 16, 1), fixture_palette(256, 2)); }

TEST(LightWave, TexturePathsKeepOnlyTheBaseName) {
  testkit_tempdir dir;
  testkit_write_file(dir.file("Wood.PCX"), small_pcx());
  fixture_gif gif;
  gif.screen_w = 4;
  gif.screen_h = 2;
  gif.palette = fixture_palette(4, 3);
  gif.images.push_back({0, 0, 4, 2, false, {}, fixture_indices(4, 2, 4, 4)});
  testkit_write_file(dir.file("glass.gif"), fixture_gif_giflib(gif));
  const scene_bytes file = lwo_form({
      lwo_points(square_points),
      lwo_surface_names({"Wood", "Glass", "Missing", "Bare"}),
      lwo_polygons({{{0, 1, 2}, 1, {}}}),
      lwo_surf("Wood", {ctex("Planar Image Map"), lwo_sub("TIMG", lwo_bytes().text("C:\\Images\\Wood.PCX").b)}),
      lwo_surf("Glass", {lwo_sub("RIMG", lwo_bytes().u8(0).text("D:/maps/sub\\glass.gif").b)}),
      lwo_surf("Missing", {ctex("Planar Image Map"), lwo_sub("TIMG", lwo_bytes().text("C:\\nowhere\\gone.pcx").b)}),
      // A reflection path without the leading zero byte keeps its first character.
      lwo_surf("Bare", {lwo_sub("RIMG", lwo_bytes().text("Wood.PCX").b)}),
  });
  for (const std::string& texture_dir : {dir.path + "/", dir.path}) {
    std::string out;
    object_ptr o = load_bytes(dir, file, &out, texture_dir);
    ASSERT_TRUE(o) << texture_dir;
    const lwo_surface* s = o->mesh->surfaces;
    ASSERT_NE(s[0].texture, nullptr);
    EXPECT_STREQ(s[0].texture->file_name, "Wood.PCX");
    ASSERT_NE(s[0].texture->pixmap, nullptr) << texture_dir;
    EXPECT_EQ(s[0].texture->pixmap->width, 5);
    ASSERT_NE(s[1].env_texture, nullptr);
    EXPECT_STREQ(s[1].env_texture->file_name, "glass.gif");
    ASSERT_NE(s[1].env_texture->pixmap, nullptr) << texture_dir;
    EXPECT_EQ(s[1].env_texture->pixmap->height, 2);
    EXPECT_EQ(texture_mapping[1].type, TEXTURE_MAP_REFLECTION);
    ASSERT_NE(s[2].texture, nullptr);
    EXPECT_STREQ(s[2].texture->file_name, "gone.pcx");
    EXPECT_EQ(s[2].texture->pixmap, nullptr);
    ASSERT_NE(s[3].env_texture, nullptr);
    EXPECT_STREQ(s[3].env_texture->file_name, "Wood.PCX");
    EXPECT_NE(s[3].env_texture->pixmap, nullptr);
  }
}

TEST(LightWave, PlanarMappingOfTheCentre) {
  testkit_tempdir dir;
  const std::vector<lwo_point> points = {{1, 2, 3}, {1.5f, 2, 3}, {1, 2.25f, 3}};
  const scene_bytes file = lwo_form({
      lwo_points(points),
      lwo_surface_names({"Map"}),
      lwo_polygons({{{0, 1, 2}, 1, {}}}),
      lwo_surf("Map", {ctex("Planar Image Map"), lwo_sub("TFLG", lwo_bytes().u16(4).b),
                       lwo_sub("TSIZ", lwo_bytes().f32(2).f32(1).f32(1).b),
                       lwo_sub("TCTR", lwo_bytes().f32(1).f32(2).f32(3).b)}),
  });
  std::string out;
  object_ptr plain = load_bytes(dir, file, &out);
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->mesh->faces[0].polygon.uv[0], 0.0f);
  object_ptr o = load_bytes(dir, file, &out, "", MESH_OBJECT_DEFAULT_FLAGS | MESH_OBJECT_MAP_TEXTURES);
  ASSERT_TRUE(o);
  const float* uv = o->mesh->faces[0].polygon.uv;
  EXPECT_FLOAT_EQ(uv[0], 192);
  EXPECT_FLOAT_EQ(uv[1], 192);
  // Axis Z: u from x over size.x, v from y over size.y.
  EXPECT_FLOAT_EQ(uv[2], (0.75f + 1) * 128);
  EXPECT_FLOAT_EQ(uv[3], 192);
  EXPECT_FLOAT_EQ(uv[4], 192);
  EXPECT_FLOAT_EQ(uv[5], (0.25f + 1) * 128);
}

TEST(LightWave, MessagesForWhatItSkips) {
  testkit_tempdir dir;
  std::string out;
  // An empty name chunk, a surface chunk of an unknown name with a bad pad
  // byte, and a polygon chunk with nothing the engine draws.
  lwo_bytes bad_pad;
  bad_pad.text("Nope").u8(7);
  const scene_bytes file = lwo_form({
      lwo_points(square_points),
      lwo_chunk("SRFS", {0, 0}),
      lwo_surface_names({"S"}),
      lwo_chunk("SURF", bad_pad.b),
      lwo_chunk("JUNK", {1, 2, 3}),
      lwo_polygons({{{0, 1, 2, 3, 4}, 1, {}}}),
  });
  object_ptr o = load_bytes(dir, file, &out);
  ASSERT_TRUE(o);
  EXPECT_EQ(out, "[&] Empty surface chunk, skipping!\n"
                 "[-] Found 1 surfaces(materials)\n"
                 "[&] Warning, expecting alignment byte (0)\n"
                 "[!] Error, Surface not found in index!\n"
                 "[-] Object consists of:\n"
                 "       1 unsupported polygons\n"
                 "[&] No supported polygons, skipping!\n");
  EXPECT_EQ(o->mesh->face_count, 0);
}

TEST(LightWave, FormSizeBeyondTheFileEndsAtTheFileEnd) {
  testkit_tempdir dir;
  scene_bytes file =
      lwo_form({lwo_points(square_points), lwo_surface_names({"S"}), lwo_polygons({{{0, 1, 2}, 1, {}}})});
  file[4] = 0x7F;
  std::string out;
  object_ptr o = load_bytes(dir, file, &out);
  ASSERT_TRUE(o);
  EXPECT_EQ(o->mesh->face_count, 1);
  // A form size that ends before the chunks: nothing after it is read.
  file[4] = 0;
  file[5] = 0;
  file[6] = 0;
  file[7] = 4;
  o = load_bytes(dir, file, &out);
  ASSERT_TRUE(o);
  EXPECT_EQ(o->mesh->vertex_count, 0);
}

TEST(LightWave, RefusedFiles) {
  testkit_tempdir dir;
  std::string out;
  const scene_bytes points = lwo_points(square_points);
  const scene_bytes names = lwo_surface_names({"S"});
  struct refused {
    const char* what;
    scene_bytes file;
    const char* message;
  };
  std::vector<lwo_polygon> too_many(65537, lwo_polygon{{0}, 1, {}});
  scene_bytes cut = lwo_form({points, names, lwo_polygons({{{0, 1, 2}, 1, {}}})});
  cut.resize(cut.size() - 3);
  scene_bytes not_lwob = lwo_form({points});
  not_lwob[11] = 'C';
  scene_bytes not_form = lwo_form({points});
  not_form[0] = 'f';
  const refused cases[] = {
      {"surface number 0", lwo_form({points, names, lwo_polygons({{{0, 1, 2}, 0, {}}})}), "surface number 0"},
      {"surface number 2", lwo_form({points, names, lwo_polygons({{{0, 1, 2}, 2, {}}})}), "surface number 2"},
      {"no surface list", lwo_form({points, lwo_polygons({{{0, 1, 2}, 1, {}}})}), "surface number 1"},
      {"vertex index", lwo_form({points, names, lwo_polygons({{{0, 1, 6}, 1, {}}})}), "vertex index 6"},
      {"dot index", lwo_form({points, names, lwo_polygons({{{9}, 1, {}}})}), "vertex index 9"},
      {"no points", lwo_form({names, lwo_polygons({{{0, 0, 0}, 1, {}}})}), "vertex index 0"},
      {"too many polygons", lwo_form({points, names, lwo_polygons(too_many)}), "more than 65536"},
      {"cut chunk", cut, "runs past the end of the file"},
      {"polygon past its chunk", lwo_form({points, names, lwo_chunk("POLS", lwo_bytes().u16(3).u16(0).u16(1).b)}),
       "polygon runs past"},
      {"sub-chunk past its chunk",
       lwo_form({points, names, lwo_chunk("SURF", lwo_bytes().name("S").id("COLR").u16(9).b)}),
       "runs past the end of its surface chunk"},
      {"not LWOB", not_lwob, nullptr},
      {"not FORM", not_form, nullptr},
      {"empty", {}, nullptr},
  };
  for (const refused& c : cases) {
    const scene_watch before = scene_watch_now();
    object_ptr o = load_bytes(dir, c.file, &out);
    EXPECT_FALSE(o) << c.what;
    EXPECT_TRUE(scene_released(before)) << c.what;
    if (c.message) {
      EXPECT_NE(out.find("[!] Error, "), std::string::npos) << c.what << ": " << out;
      EXPECT_NE(out.find(c.message), std::string::npos) << c.what << ": " << out;
    }
  }
  // 65536 polygons are kept.
  too_many.pop_back();
  object_ptr o = load_bytes(dir, lwo_form({points, names, lwo_polygons(too_many)}), &out);
  ASSERT_TRUE(o);
  EXPECT_EQ(o->mesh->face_count, 65536);
}

TEST(LightWave, LoadingAgainReplacesTheMeshAndFreeReleasesAll) {
  testkit_tempdir dir;
  testkit_write_file(dir.file("t.pcx"), small_pcx());
  const scene_bytes file = lwo_form({
      lwo_points(square_points),
      lwo_surface_names({"S", "T"}),
      lwo_polygons({{{0, 1, 2}, 1, {}}}),
      lwo_surf("S", {ctex("Planar Image Map"), lwo_sub("TIMG", lwo_bytes().text("t.pcx").b),
                     lwo_sub("RIMG", lwo_bytes().u8(0).text("t.pcx").b)}),
      // Sub-chunks repeated after a FLAG reset the texture bits: the earlier textures are released.
      lwo_surf("T", {ctex("Planar Image Map"), lwo_sub("TIMG", lwo_bytes().text("t.pcx").b), flag(0x4),
                     ctex("Planar Image Map"), lwo_sub("TIMG", lwo_bytes().text("t.pcx").b)}),
      lwo_points(square_points),
  });
  const std::string path = dir.file("o.lwo");
  testkit_write_file(path, file);
  const scene_watch before = scene_watch_now();
  {
    scene_stdout capture;
    mesh_object* o = mesh_object_create();
    ASSERT_EQ(lwo_load(path.c_str(), dir.path.c_str(), o), o);
    ASSERT_EQ(lwo_load(path.c_str(), dir.path.c_str(), o), o);
    ASSERT_NE(o->mesh->surfaces[0].texture->pixmap, nullptr);
    ASSERT_NE(o->mesh->surfaces[0].env_texture->pixmap, nullptr);
    ASSERT_NE(o->mesh->surfaces[1].texture->pixmap, nullptr);
    EXPECT_EQ(o->mesh->vertex_count, 6);
    lwo_object_free(o);
  }
  EXPECT_TRUE(scene_released(before));
}

} // namespace
