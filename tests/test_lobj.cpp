// The light object: beam edges, face set-up, the beams' quads, and init and
// frame on the build's data (and broken data).
#include "blend.h"
#include "dcube.h"
#include "dcube_parts.h"
#include "lobj.h"
#include "lobj_parts.h"
#include "mem.h"
#include "opening_fixtures.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {
// A mesh of the given vertices and triangles, with every array the effect uses.
struct test_mesh {
  mesh* m = nullptr;
  test_mesh(const std::vector<vec3>& points, const std::vector<std::array<int32_t, 3>>& faces) {
    m = mesh_create();
    m->vertex_count = int32_t(points.size());
    m->face_count = int32_t(faces.size());
    m->positions = mem_alloc_array<vec3>(points.size());
    m->normals = mem_alloc_array<vec3>(points.size());
    m->work_positions = mem_alloc_array<vec3>(points.size());
    m->work_normals = mem_alloc_array<vec3>(points.size());
    m->faces = mem_alloc_array<mesh_face>(faces.size());
    for (size_t i = 0; i < points.size(); i++)
      m->positions[i] = points[i];
    for (size_t f = 0; f < faces.size(); f++) {
      m->faces[f].kind = 4;
      for (int k = 0; k < 3; k++)
        m->faces[f].index[k] = faces[f][size_t(k)];
    }
  }
  ~test_mesh() { mesh_free(m); }
};

// The triangles a custom drawer received, as projected.
std::vector<polygon> drawn;
void record(const polygon* p, pixmap*) { drawn.push_back(*p); }

vec3 project(const vec3& v) { return {400 * v.x / (400 + v.z) + 160, 120 - 400 * v.y / (400 + v.z), v.z}; }

void expect_vertex(const vec3& got, const vec3& camera) {
  const vec3 want = project(camera);
  EXPECT_NEAR(got.x, want.x, 1e-2);
  EXPECT_NEAR(got.y, want.y, 1e-2);
}

mat3 identity() {
  mat3 r;
  mat3_rotation_xyz(&r, 0, 0, 0);
  return r;
}
} // namespace

TEST(LobjBeams, TheBeamsLeaveFromTheTwoEdgesBesidesTheLongest) {
  int32_t e[2][2];
  const auto edges = [&](vec3 a, vec3 b, vec3 c) {
    lobj_beam_edges(&a, &b, &c, e);
    return std::vector<int32_t>{e[0][0], e[0][1], e[1][0], e[1][1]};
  };
  // Equal edges: P0P1 counts as the longest; beams from P2P1 and P0P2.
  const float h = std::sqrt(3.0f);
  EXPECT_EQ(edges({0, 0, 0}, {2, 0, 0}, {1, h, 0}), (std::vector<int32_t>{2, 1, 0, 2}));
  // P0P1 longest.
  EXPECT_EQ(edges({0, 0, 0}, {10, 0, 0}, {5, 1, 0}), (std::vector<int32_t>{2, 1, 0, 2}));
  // P1P2 longest.
  EXPECT_EQ(edges({0, 0, 0}, {1, 0, 0}, {-1, 8, 0}), (std::vector<int32_t>{0, 1, 0, 2}));
  // P0P2 longest.
  EXPECT_EQ(edges({0, 0, 0}, {1, 1, 0}, {0, 9, 0}), (std::vector<int32_t>{0, 1, 2, 1}));
  // P1P2 and P0P2 equal and longer than P0P1: the earlier, P1P2, wins.
  EXPECT_EQ(edges({-1, 0, 0}, {1, 0, 0}, {0, 5, 0}), (std::vector<int32_t>{0, 1, 0, 2}));
}

TEST(LobjBeams, EachEdgeGivesAQuadReachingOutToTheScaledEnd) {
  // One face in front of the eye; its longest edge is P0P1.
  test_mesh t({{-20, 0, 50}, {20, 0, 50}, {0, 10, 50}}, {{0, 1, 2}});
  opening_pixmap scene(pixmap_create(320, 240, PIXMAP_DEPTH));
  render_context* rc = render_context_create(0, scene.get(), 320, 240, 400);
  ASSERT_NE(rc, nullptr);
  opening_pixmap tex(pixmap_create(256, 256, 0));
  lobj_setup_source(t.m, tex.get());
  const polygon& p = t.m->faces[0].polygon;
  EXPECT_EQ(p.flags, 0x33804u);
  EXPECT_EQ(p.stride, 5);
  EXPECT_EQ(p.uv_count, 6);
  EXPECT_EQ(p.texture[0], tex.get());
  t.m->faces[0].polygon.drawer = record;
  drawn.clear();
  const mat3 r = identity();
  const float s = 2.0f, u = 100.0f, dx = 3.0f, dy = -4.0f;
  lobj_draw_beams(rc, t.m, &r, dx, dy, s, u);
  ASSERT_EQ(drawn.size(), 4u);
  const vec3 c[3] = {{-17, -4, 50}, {23, -4, 50}, {3, 6, 50}};
  const int edge[2][2] = {{2, 1}, {0, 2}};
  for (int q = 0; q < 2; q++) {
    SCOPED_TRACE(testing::Message() << "quad " << q);
    const vec3 a = c[edge[q][0]], b = c[edge[q][1]];
    const vec3 sa = {s * a.x, s * a.y, s * a.z}, sb = {s * b.x, s * b.y, s * b.z};
    const polygon& t1 = drawn[size_t(2 * q)];
    const polygon& t2 = drawn[size_t(2 * q + 1)];
    expect_vertex(t1.v[0], a);
    expect_vertex(t1.v[1], b);
    expect_vertex(t1.v[2], sb);
    EXPECT_EQ(std::vector<float>(t1.uv, t1.uv + 6), (std::vector<float>{u, 255, u, 255, u + 32, 0}));
    expect_vertex(t2.v[0], sa);
    expect_vertex(t2.v[1], a);
    expect_vertex(t2.v[2], sb);
    EXPECT_EQ(std::vector<float>(t2.uv, t2.uv + 6), (std::vector<float>{u - 32, 0, u, 255, u + 32, 0}));
  }
  render_context_free(rc);
}

TEST(LobjFaces, TheShellsTextureComesFromItsObjectSpaceNormals) {
  test_mesh t({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
  t.m->normals[0] = {1, 0, 0};
  t.m->normals[1] = {-0.5f, 0.7f, 0.5f};
  t.m->normals[2] = {0, -1, 0};
  opening_pixmap env(pixmap_create(256, 256, 0));
  lobj_setup_shell(t.m, env.get());
  const polygon& p = t.m->faces[0].polygon;
  EXPECT_EQ(p.flags, 0x3804u);
  EXPECT_EQ(p.stride, 5);
  EXPECT_EQ(p.layer[0], 0);
  EXPECT_EQ(p.uv_count, 6);
  EXPECT_EQ(p.texture[0], env.get());
  const std::vector<float> want = {255, 128, float(int(128 - 63.5f)), float(int(128 + 127 * 0.7f)), 128, 1};
  EXPECT_EQ(std::vector<float>(p.uv, p.uv + 6), want);

  // Turning the shell moves its vertices, never its texture coordinates.
  lobj_scale_mesh(t.m, 128);
  EXPECT_EQ(t.m->positions[1].x, 128.0f);
  opening_pixmap scene(pixmap_create(320, 240, PIXMAP_DEPTH));
  render_context* rc = render_context_create(0, scene.get(), 320, 240, 400);
  mat3 r;
  mat3_rotation_xyz(&r, 0.3f, 1.1f, -0.4f);
  lobj_draw_mesh(rc, t.m, &r, 10, 20);
  EXPECT_EQ(std::vector<float>(p.uv, p.uv + 6), want);
  vec3 turned;
  mat3_transform(&turned, &t.m->positions[1], &r);
  EXPECT_FLOAT_EQ(t.m->work_positions[1].x, turned.x + 10);
  EXPECT_FLOAT_EQ(t.m->work_positions[1].y, turned.y + 20);
  EXPECT_FLOAT_EQ(t.m->work_positions[1].z, turned.z);
  render_context_free(rc);

  lobj_setup_core(t.m);
  EXPECT_EQ(p.flags, 0x3801u);
  EXPECT_EQ(p.stride, 3);
  EXPECT_EQ(p.colour, 0xFFFFFFu);
}

TEST(LobjFaces, IndicesOutsideTheMeshAreRefused) {
  test_mesh good({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
  EXPECT_TRUE(lobj_mesh_sound(good.m));
  test_mesh bad({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 3}});
  EXPECT_FALSE(lobj_mesh_sound(bad.m));
  test_mesh negative({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{-1, 1, 2}});
  EXPECT_FALSE(lobj_mesh_sound(negative.m));
}

TEST(LobjInit, MissingOrBrokenFilesFailCleanly) {
  const opening_files& all = opening_build_files();
  for (const char* name : {"lobj/envmap.jpg", "lobj/ltex.pcx", "lobj/sph_hol.lwo", "lobj/sph_ihol.lwo"})
    ASSERT_TRUE(all.count(name)) << name;
  music_clock clock{};
  opening_pixmap frame(pixmap_create(320, 240, PIXMAP_CLEAR));
  const std::vector<uint8_t>& shell = all.at("lobj/sph_hol.lwo");
  const std::vector<uint8_t>& source = all.at("lobj/sph_ihol.lwo");
  struct variant {
    const char* what;
    std::string name;
    std::vector<uint8_t> bytes; // empty: the file is left out
  };
  const std::vector<variant> cases = {
      {"no environment map", "lobj/envmap.jpg", {}},
      {"no beam texture", "lobj/ltex.pcx", {}},
      {"beam texture not 256 x 256", "lobj/ltex.pcx", all.at("diffuse/bgpic.pcx")},
      {"environment map not 256 x 256", "lobj/envmap.jpg", all.at("galaxy/gflare2.jpg")},
      {"no shell", "lobj/sph_hol.lwo", {}},
      {"truncated shell", "lobj/sph_hol.lwo", std::vector<uint8_t>(shell.begin(), shell.begin() + 60)},
      {"no beam source", "lobj/sph_ihol.lwo", {}},
      {"truncated beam source", "lobj/sph_ihol.lwo", std::vector<uint8_t>(source.begin(), source.begin() + 60)}};
  for (const variant& v : cases) {
    SCOPED_TRACE(v.what);
    testkit_tempdir dir;
    opening_files files = all;
    if (v.bytes.empty())
      files.erase(v.name);
    else
      files[v.name] = v.bytes;
    std::string error;
    ASSERT_EQ(opening_use_archive(dir.path, files, &error), 1) << error;
    testing::internal::CaptureStdout();
    show_context show{.clock = &clock, .frame = frame.get()};
    EXPECT_EQ(lobj_init(&show), 0);
    // The first object that fails ends the init: its error is the last line.
    const std::string out = testing::internal::GetCapturedStdout();
    const size_t error_at = out.find("[!]");
    if (error_at != std::string::npos) {
      EXPECT_EQ(out.find('\n', error_at), out.size() - 1) << out;
    }
    const lobj_state* s = lobj_get_state();
    EXPECT_EQ(s->scene, nullptr) << "everything read so far is released";
    EXPECT_EQ(s->shell, nullptr);
    opening_release_archive();
  }
}

namespace {
struct lobj_data : ::testing::Test {
  testkit_tempdir dir;
  music_clock clock{};
  opening_pixmap frame{pixmap_create(320, 240, PIXMAP_CLEAR)};
  show_context show{.clock = &clock, .frame = frame.get()};
  void SetUp() override {
    std::string error;
    ASSERT_EQ(opening_use_archive(dir.path, opening_build_files(), &error), 1) << error;
    build_mul_tables();
    testing::internal::CaptureStdout();
    const int ok = dcube_init(&show) && lobj_init(&show);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(ok, 1);
  }
  void TearDown() override { opening_release_archive(); }

  double mean_level() const {
    double sum = 0;
    for (int32_t i = 0; i < 320 * 240; i++)
      for (int k = 0; k < 3; k++)
        sum += opening_channel(frame->pixels[i], k);
    return sum / (320.0 * 240 * 3);
  }
};
} // namespace

TEST_F(lobj_data, TheObjectsAreReadScaledAndSetUp) {
  const lobj_state* s = lobj_get_state();
  ASSERT_NE(s->shell, nullptr);
  const mesh* shell = s->shell->mesh;
  const mesh* core = s->core->mesh;
  ASSERT_GT(shell->face_count, 100);
  ASSERT_GT(core->face_count, 8);
  EXPECT_EQ(core->face_count, s->source->mesh->face_count) << "the same object twice";
  // Unit-sized objects, 128 times larger.
  float radius = 0;
  for (int32_t i = 0; i < shell->vertex_count; i++)
    radius = std::max(radius, vec3_length(&shell->positions[i]));
  EXPECT_GT(radius, 64.0f);
  EXPECT_LT(radius, 128.0f + 1e-3f);
  for (int32_t f = 0; f < shell->face_count; f++) {
    const polygon& p = shell->faces[f].polygon;
    ASSERT_EQ(p.flags, LOBJ_SHELL_FLAGS);
    for (float uv : std::vector<float>(p.uv, p.uv + 6))
      ASSERT_TRUE(uv >= 1 && uv <= 255) << "inside the environment map";
  }
  EXPECT_EQ(s->source->mesh->faces[0].polygon.flags, LOBJ_BEAM_FLAGS);
  EXPECT_EQ(core->faces[0].polygon.flags, LOBJ_CORE_FLAGS);
  EXPECT_EQ(s->background, nullptr) << "taken from the diffuse cube at the first frame";
}

TEST_F(lobj_data, BeamsAddLightInFrontOfTheShellAndAreHiddenBehindIt) {
  lobj_state* s = lobj_get_state();
  mesh* source = s->source->mesh;
  mesh* core = s->core->mesh;
  const int32_t source_faces = source->face_count, core_faces = core->face_count;
  // The scene (before the blur) of one frame that moves nothing, with the
  // beams and the core left out or in. The depth plane is left nearest of
  // all: the frame must reset it.
  opening_clock_set(&clock, 0.0f, 37, 8);
  auto scene = [&](bool beams, bool with_core, float beam_scale) {
    source->face_count = beams ? source_faces : 0;
    core->face_count = with_core ? core_faces : 0;
    s->beam_scale = beam_scale;
    mem_fill_words(s->scene->depth, 0x80000000u, 320 * 240);
    EXPECT_EQ(lobj_frame(), 1);
    source->face_count = source_faces;
    core->face_count = core_faces;
    return std::vector<uint32_t>(s->scene->pixels, s->scene->pixels + 320 * 240);
  };
  // The shell alone: where its wall lies more than 38 units in front of the
  // centre (depths are camera z), nearer than any point of a beam
  // of scale 1.05 (the core's radius is 0.28 x 128).
  const pixmap* bg = show.pictures.dcube_background;
  const std::vector<uint32_t> shell = scene(false, false, 5.0f);
  std::vector<char> near_wall(320 * 240), on_shell(320 * 240);
  int32_t near_pixels = 0;
  for (int32_t i = 0; i < 320 * 240; i++) {
    on_shell[size_t(i)] = opening_rgb(shell[size_t(i)]) != opening_rgb(bg->pixels[i]);
    near_pixels += near_wall[size_t(i)] = on_shell[size_t(i)] && s->scene->depth[i] < -38;
  }
  EXPECT_GT(near_pixels, 5000) << "the shell is drawn over the background";
  // Pixels the beams brighten: on the near wall, elsewhere on the shell, off it.
  const std::vector<uint32_t> plain = scene(false, true, 5.0f);
  auto brighter = [&](const std::vector<uint32_t>& with) -> std::array<int32_t, 3> {
    std::array<int32_t, 3> n{};
    int32_t darker = 0;
    for (size_t i = 0; i < 320 * 240; i++) {
      for (int k = 0; k < 3; k++)
        darker += opening_channel(with[i], k) < opening_channel(plain[i], k);
      if (opening_rgb(with[i]) != opening_rgb(plain[i]))
        n[near_wall[i] ? 0 : on_shell[i] ? 1 : 2]++;
    }
    EXPECT_EQ(darker, 0) << "beams only add light";
    return n;
  };
  // Short beams stay between the core and the shell: hidden by its near wall,
  // seen through its holes.
  const std::array<int32_t, 3> inside = brighter(scene(true, true, 1.05f));
  EXPECT_EQ(inside[0], 0);
  EXPECT_GT(inside[1] + inside[2], 20);
  // Long beams reach out through the shell and light up its near side too.
  const std::array<int32_t, 3> outside = brighter(scene(true, true, 5.0f));
  EXPECT_GT(outside[0], 200);
  EXPECT_GT(outside[2], 200);
}

TEST_F(lobj_data, TheBeamsJumpOnEveryBarAndShrinkBack) {
  lobj_state* s = lobj_get_state();
  EXPECT_EQ(s->beam_scale, 5.0f);
  opening_clock_set(&clock, 1.0f, 37, 8);
  ASSERT_EQ(lobj_frame(), 1);
  EXPECT_FLOAT_EQ(s->beam_scale, 4.5f);
  for (int i = 0; i < 20; i++)
    lobj_frame();
  EXPECT_EQ(s->beam_scale, 2.5f) << "not below 2.5";
  opening_clock_set(&clock, 1.0f, 37, 0);
  lobj_frame();
  EXPECT_EQ(s->beam_scale, 7.0f) << "the bar starts";
  opening_clock_set(&clock, 1.0f, 37, 3);
  lobj_frame();
  EXPECT_FLOAT_EQ(s->beam_scale, 6.3f) << "once per bar";
  // Row 6 sets the latch again; the next bar jumps.
  opening_clock_set(&clock, 1.0f, 37, 6);
  lobj_frame();
  opening_clock_set(&clock, 1.0f, 37, 16);
  lobj_frame();
  EXPECT_EQ(s->beam_scale, 7.0f);
}

TEST_F(lobj_data, TheSceneIsBlurredIntoTheFrameAndFadesToBlackAtTheEnd) {
  lobj_state* s = lobj_get_state();
  opening_clock_set(&clock, 1.0f, 37, 8);
  std::vector<uint32_t> previous;
  for (int i = 0; i < 10; i++) {
    ASSERT_EQ(lobj_frame(), 1);
    std::vector<uint32_t> now(frame->pixels, frame->pixels + 320 * 240);
    EXPECT_NE(now, previous) << "moves";
    previous = now;
  }
  ASSERT_NE(show.pictures.dcube_background, nullptr);
  EXPECT_EQ(s->background, show.pictures.dcube_background);
  const double lit = mean_level();
  EXPECT_GT(lit, 30.0) << "the shell, the core and the background";
  // Ten ticks of turning and drift (the offsets and U are taken before a step).
  const double pi = 3.14159265358979;
  EXPECT_NEAR(s->u, 128 + 64 * std::sin(pi / 256 * 9), 1e-3);
  EXPECT_NEAR(s->o0, 10 * pi / 512, 1e-5);
  EXPECT_NEAR(s->o1, -10 * 0.007551905417283156, 1e-5);
  EXPECT_NEAR(s->o2, 10 * 0.004818393640475143, 1e-5);
  EXPECT_NEAR(s->offset_x, 32 * std::cos(9 * 0.007363107781851078), 1e-3);
  EXPECT_NEAR(s->offset_y, 32 * std::sin(pi / 3 + 9 * 0.01718058482431918), 1e-3);
  EXPECT_EQ(s->fade, 0.0f) << "no fade before order 39";

  // From order 39 the picture fades to black over 100 ticks.
  opening_clock_set(&clock, 10.0f, 39, 0);
  ASSERT_EQ(lobj_frame(), 1);
  EXPECT_FLOAT_EQ(s->fade, 0.1f);
  for (int i = 0; i < 9; i++)
    lobj_frame();
  EXPECT_FLOAT_EQ(s->fade, 1.0f);
  lobj_frame();
  EXPECT_EQ(s->fade, 1.0f) << "at most 1";
  EXPECT_EQ(mean_level(), 0.0) << "black";
  opening_clock_set(&clock, 1.0f, 40, 0);
  EXPECT_EQ(lobj_frame(), 0);
}
