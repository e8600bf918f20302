#include "engine3d_fixtures.h"
#include "mem.h"
#include "mesh.h"
#include "polygondrawer.h"
#include "render_context.h"
#include "render_polygon.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {
// The drawer in force before any test selects one.
const std::string initial_drawer = current_polygondrawer()->name;

std::vector<polygon> drawn;
void record(const polygon* p, pixmap*) { drawn.push_back(*p); }

struct context_deleter {
  void operator()(render_context* k) const { render_context_free(k); }
};
using context_ptr = std::unique_ptr<render_context, context_deleter>;

struct light_deleter {
  void operator()(light* l) const { light_free(l); }
};
using light_ptr = std::unique_ptr<light, light_deleter>;

struct Pipeline : ::testing::Test {
  pixmap_ptr target = make_target(320, 240);
  context_ptr k{render_context_create(0, target.get(), 320, 240, 400)};
  std::vector<light_ptr> lights;
  void SetUp() override {
    ASSERT_TRUE(k);
    drawn.clear();
  }
  light* add_light(int32_t type, vec3 position, float intensity, float factor = 0) {
    lights.emplace_back(light_create());
    light* l = lights.back().get();
    l->type = type;
    l->position = position;
    l->intensity = intensity;
    l->factor = factor;
    EXPECT_EQ(render_context_add_light(k.get(), l), 1);
    return l;
  }
  // A polygon drawn only through the recording drawer.
  static polygon recorded(uint32_t flags, vec3 v0, vec3 v1, vec3 v2) {
    polygon p = make_polygon(flags | POLY_CUSTOM, v0, v1, v2);
    p.drawer = record;
    return p;
  }
};

void expect_screen(const vec3& v, float x, float y, float z, float tol = 1e-3f) {
  EXPECT_NEAR(v.x, x, tol);
  EXPECT_NEAR(v.y, y, tol);
  EXPECT_NEAR(v.z, z, tol);
}
} // namespace

TEST(RenderContext, CreationSetsProjectionAndPlanes) {
  pixmap_ptr target = make_target(320, 240);
  context_ptr k(render_context_create(1, target.get(), 160, 120, 400));
  ASSERT_TRUE(k);
  EXPECT_EQ(k->tag, 1);
  EXPECT_EQ(k->target, target.get());
  EXPECT_EQ(k->center_x, 160);
  EXPECT_EQ(k->center_y, 120);
  EXPECT_EQ(k->scale_x, 800);
  EXPECT_EQ(k->scale_y, 800);
  EXPECT_EQ(k->depth_min, 0);
  EXPECT_EQ(std::bit_cast<uint32_t>(k->depth_max), 0x7F7FFFFFu);
  EXPECT_EQ(k->light_capacity, 32);
  EXPECT_EQ(k->light_count, 0);
  ASSERT_NE(k->scratch, nullptr);
  // Left plane: (-(focal + 0.5), 0, -view_width / 2) normalised.
  const float d = 400.5f, len = std::sqrt(d * d + 80 * 80);
  EXPECT_NEAR(k->clip_left.x, -d / len, 1e-6);
  EXPECT_NEAR(k->clip_left.z, -80 / len, 1e-6);
  EXPECT_NEAR(k->clip_right.x, d / len, 1e-6);
  const float len_v = std::sqrt(d * d + 60 * 60);
  EXPECT_NEAR(k->clip_top.y, d / len_v, 1e-6);
  EXPECT_NEAR(k->clip_bottom.y, -d / len_v, 1e-6);
  EXPECT_NEAR(k->clip_bottom.z, -60 / len_v, 1e-6);
}

TEST(RenderContext, RefusesAMissingTargetAndReportsIt) {
  EXPECT_EQ(render_context_create(0, nullptr, 320, 240, 400), nullptr);
  EXPECT_STREQ(render_context_error_text(), "Ambiguous error...");
  EXPECT_STREQ(render_context_error_text(), "No error, so far...");
  pixmap_ptr target = make_target(4, 4);
  EXPECT_EQ(render_context_create(0, target.get(), 0, 240, 400), nullptr);
  render_context_error = 1;
  EXPECT_STREQ(render_context_error_text(), "No memory available");
  EXPECT_EQ(render_context_error, 0);
}

TEST_F(Pipeline, LightListGrowsByDoubling) {
  for (int i = 0; i < 33; i++)
    add_light(4, {0, 0, 0}, float(i));
  EXPECT_EQ(k->light_count, 33);
  EXPECT_EQ(k->light_capacity, 64);
  for (int i = 0; i < 33; i++)
    EXPECT_EQ(k->lights[i], lights[size_t(i)].get());
}

TEST_F(Pipeline, TriangleInsideTheViewIsDrawnOnceInInputOrder) {
  polygon p = recorded(POLY_SOLID, {0, 0, 0}, {50, 0, 0}, {0, -50, 0});
  p.colour = 0x123456;
  p.aux = 7;
  p.aux2 = -9;
  p.layer[3] = 12;
  render_polygon(k.get(), &p);
  ASSERT_EQ(drawn.size(), 1u);
  // Projection at z = 0: one pixel per unit around the centre, y turned downwards.
  expect_screen(drawn[0].v[0], 160, 120, 0);
  expect_screen(drawn[0].v[1], 210, 120, 0);
  expect_screen(drawn[0].v[2], 160, 170, 0);
  EXPECT_EQ(drawn[0].colour, 0x123456u);
  EXPECT_EQ(drawn[0].aux, 7);
  EXPECT_EQ(drawn[0].aux2, -9);
  EXPECT_EQ(drawn[0].layer[3], 12);
  EXPECT_EQ(drawn[0].drawer, record);
  // The input polygon keeps its camera-space vertices.
  EXPECT_EQ(p.v[1].x, 50);
}

TEST_F(Pipeline, ProjectionDividesByDistanceFromTheEye) {
  polygon p = recorded(POLY_SOLID | POLY_TWO_SIDED, {40, 20, 400}, {80, 20, 400}, {40, -20, 400});
  render_polygon(k.get(), &p);
  ASSERT_EQ(drawn.size(), 1u);
  // At z = focal the scale is halved; z itself is kept.
  expect_screen(drawn[0].v[0], 180, 110, 400);
  expect_screen(drawn[0].v[1], 200, 110, 400);
  expect_screen(drawn[0].v[2], 180, 130, 400);
}

TEST_F(Pipeline, TextureCoordinatesTravelWithTheVertices) {
  polygon p = recorded(POLY_TEXTURE, {0, 0, 0}, {50, 0, 0}, {0, -50, 0});
  p.uv_count = 12;
  p.stride = 7;
  for (int i = 0; i < 12; i++)
    p.uv[i] = float(i + 1);
  render_polygon(k.get(), &p);
  ASSERT_EQ(drawn.size(), 1u);
  for (int i = 0; i < 12; i++)
    EXPECT_EQ(drawn[0].uv[i], float(i + 1)) << i;
  EXPECT_EQ(drawn[0].uv_count, 12);
  EXPECT_EQ(drawn[0].stride, 7);
}

TEST_F(Pipeline, TriangleCrossingASidePlaneBecomesAFan) {
  polygon p = recorded(POLY_SOLID, {100, 0, 0}, {300, 0, 0}, {100, -50, 0});
  p.uv_count = 6;
  p.stride = 5;
  const float uv[6] = {0, 0, 200, 0, 0, 50};
  std::memcpy(p.uv, uv, sizeof uv);
  render_polygon(k.get(), &p);
  ASSERT_EQ(drawn.size(), 2u);
  // Both triangles share the first clipped vertex, the input's V0.
  for (const polygon& t : drawn)
    expect_screen(t.v[0], 260, 120, 0);
  // The fan goes on from the previous triangle's last vertex.
  expect_screen(drawn[1].v[1], drawn[0].v[2].x, drawn[0].v[2].y, 0);
  expect_screen(drawn[1].v[2], 260, 170, 0);
  // The right plane lies half a unit of focal inside the edge: x = 160 * 400 / 400.5.
  const float edge = 160 + 160 * 400 / 400.5f;
  expect_screen(drawn[0].v[1], edge, 120, 0, 1e-2f);
  EXPECT_LT(drawn[0].v[1].x, 320);
  // The second crossing lies on the edge V1-V2, and texture coordinates are interpolated alike.
  const float t = (300 - (edge - 160)) / 200;
  expect_screen(drawn[0].v[2], edge, 120 + 50 * t, 0, 1e-2f);
  EXPECT_NEAR(drawn[0].uv[2], edge - 260, 1e-2);
  EXPECT_NEAR(drawn[0].uv[4], 200 * (1 - t), 1e-2);
  EXPECT_NEAR(drawn[0].uv[5], 50 * t, 1e-2);
}

TEST_F(Pipeline, TriangleStraddlingTheEyePlaneKeepsOnlyItsFrontPart) {
  polygon p = recorded(POLY_SOLID | POLY_TWO_SIDED, {-20, 0, 100}, {20, 0, 100}, {0, 10, -900});
  render_polygon(k.get(), &p);
  ASSERT_FALSE(drawn.empty());
  for (const polygon& t : drawn) {
    for (const vec3& v : t.v) {
      EXPECT_GT(v.z, -400);
      EXPECT_GE(v.x, 0);
      EXPECT_LE(v.x, 320);
      EXPECT_GE(v.y, 0);
      EXPECT_LE(v.y, 240);
    }
  }
}

TEST_F(Pipeline, PolygonBehindTheEyeIsRejectedWithoutLighting) {
  add_light(4, {0, 0, 0}, 255);
  polygon p = recorded(POLY_FLAT_LIT, {0, 0, -500}, {10, 0, -401}, {0, -10, -500});
  p.shade = 77;
  render_polygon(k.get(), &p);
  EXPECT_TRUE(drawn.empty());
  EXPECT_EQ(p.shade, 77);
}

TEST_F(Pipeline, PolygonOutsideThePyramidDrawsNothing) {
  polygon p = recorded(POLY_SOLID | POLY_TWO_SIDED, {1000, 0, 0}, {1200, 0, 0}, {1000, 50, 0});
  render_polygon(k.get(), &p);
  EXPECT_TRUE(drawn.empty());
}

TEST_F(Pipeline, PolygonThroughTheEyeDrawsNothing) {
  // Seen edge-on from the eye it covers no area; its eye vertex cannot be projected.
  polygon p = recorded(POLY_SOLID | POLY_TWO_SIDED, {0, 0, -400}, {20, 0, 100}, {0, 10, 100});
  render_polygon(k.get(), &p);
  for (const polygon& t : drawn)
    for (const vec3& v : t.v)
      EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y));
  EXPECT_TRUE(drawn.empty());
}

TEST_F(Pipeline, BackFacesAreCulledUnlessTwoSided) {
  // Counter-clockwise on the screen.
  polygon p = recorded(POLY_SOLID, {0, 0, 0}, {0, -50, 0}, {50, 0, 0});
  render_polygon(k.get(), &p);
  EXPECT_TRUE(drawn.empty());
  p.flags |= POLY_TWO_SIDED;
  render_polygon(k.get(), &p);
  EXPECT_EQ(drawn.size(), 1u);
  // Culling comes before the custom drawer, and draw_triangle applies it too.
  polygon screen = recorded(POLY_SOLID, {10, 10, 0}, {10, 20, 0}, {20, 10, 0});
  draw_triangle(&screen, target.get());
  EXPECT_EQ(drawn.size(), 1u);
}

TEST_F(Pipeline, FlatLightSumsTheLightsAtTheCentroid) {
  // Centroid at the origin, normal towards the eye.
  polygon p = recorded(POLY_FLAT_LIT | POLY_TWO_SIDED, {-30, -10, 0}, {30, -10, 0}, {0, 20, 0});
  p.normal = {0, 0, -1};
  add_light(1, {0, 0, -1000}, 100);
  render_polygon(k.get(), &p);
  EXPECT_EQ(p.shade, 100);
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn[0].shade, 100);
  add_light(9, {0, 0, -10}, 100, 5);  // 100 * 5 * 10 / 100
  add_light(12, {0, 0, -20}, 100, 2); // 100 * 2 / 20
  add_light(3, {0, 0, -20}, 100, 2);  // never created by the system: nothing
  add_light(0x14, {0, 0, 0}, 0.5f);   // only the low four bits count: ambient
  render_polygon(k.get(), &p);
  EXPECT_EQ(p.shade, 160);
  // Facing away, the diffuse lights give nothing; falloff-only and ambient remain.
  p.normal = {0, 0, 1};
  render_polygon(k.get(), &p);
  EXPECT_EQ(p.shade, 10);
}

TEST_F(Pipeline, LightIsLimitedTo255) {
  add_light(4, {0, 0, 0}, 255);
  polygon p = recorded(POLY_FLAT_LIT, {-30, -10, 0}, {30, -10, 0}, {0, 20, 0});
  render_polygon(k.get(), &p);
  EXPECT_EQ(p.shade, 255);
  add_light(4, {0, 0, 0}, 200);
  render_polygon(k.get(), &p);
  EXPECT_EQ(p.shade, 255);
  // Both lighting bits at once: no lighting.
  p.flags |= POLY_GOURAUD;
  p.shade = 3;
  render_polygon(k.get(), &p);
  EXPECT_EQ(p.shade, 3);
}

TEST_F(Pipeline, GouraudLightsEveryVertex) {
  add_light(12, {0, 0, -100}, 100, 100);
  add_light(4, {0, 0, 0}, 100);
  polygon p = recorded(POLY_GOURAUD, {0, 0, 0}, {30, 0, -60}, {0, -100, 100});
  render_polygon(k.get(), &p);
  EXPECT_EQ(p.vertex_shade[0], 200); // 10000 / 100 + 100
  EXPECT_EQ(p.vertex_shade[1], 255); // 10000 / 50 + 100, limited
  EXPECT_EQ(p.vertex_shade[2], 144); // 10000 / 223.6 + 100
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].vertex_shade[0], 200);
  EXPECT_EQ(drawn[0].vertex_shade[1], 255);
  EXPECT_EQ(drawn[0].vertex_shade[2], 144);
}

TEST_F(Pipeline, GouraudIntensityIsInterpolatedByClipping) {
  add_light(12, {0, 0, -300}, 100, 300); // 30000 / distance
  polygon p = recorded(POLY_GOURAUD, {100, 0, 0}, {300, 0, 0}, {100, -50, 0});
  render_polygon(k.get(), &p);
  ASSERT_EQ(drawn.size(), 2u);
  const int32_t s0 = p.vertex_shade[0], s1 = p.vertex_shade[1];
  // The crossing on V0-V1 lies 0.299 of the way from V1 back to V0.
  const float t = (160 * 400 / 400.5f - 100) / 200;
  EXPECT_NEAR(drawn[0].vertex_shade[1], s0 + t * (s1 - s0), 1.0);
  EXPECT_EQ(drawn[0].vertex_shade[0], s0);
}

TEST(PolygonDrawer, SelectionByLowEightBits) {
  EXPECT_EQ(initial_drawer, "Software CORRECT and general polygondrawer");
  const std::pair<int32_t, const char*> cases[] = {
      {1, "Software SAFE polygondrawer"},
      {7, "Software SAFE polygondrawer"},
      {2, "Software CORRECT and general polygondrawer"},
      {8, "Software FAST-CORRECT polygondrawer"},
      {18, "Software Correct and general Z-bufferd polygondrawer"},
      {24, "Software FAST-CORRECT Z-buffer polygondrawer"},
      {32, "Software Z-Correct and Z-bufferd polygondrawer"},
      {0x108, "Software FAST-CORRECT polygondrawer"},
      {0, "Software SAFE polygondrawer"},
      {-1, "Software SAFE polygondrawer"},
  };
  for (const auto& [number, name] : cases) {
    EXPECT_EQ(select_polygondrawer(number), 1);
    EXPECT_STREQ(current_polygondrawer()->name, name) << number;
  }
  select_polygondrawer(POLYGONDRAWER_CORRECT);
}

TEST(PolygonDrawer, ModeDispatch) {
  pixmap_ptr texture = make_coordinate_texture();
  const uint32_t background = 0xDEADBEEF;
  // Draws one front-facing screen triangle with the flags under the given set;
  // true when it changed the target.
  auto draws = [&](int32_t set, uint32_t flags) {
    pixmap_ptr target = make_target(64, 64, background, true);
    polygon p = make_polygon(flags, {4, 4, 10}, {40, 4, 10}, {4, 40, 10});
    set_texture(&p, texture.get(), 1, 1, 30, 1, 1, 30);
    p.vertex_shade[0] = p.vertex_shade[1] = p.vertex_shade[2] = 255;
    p.colour = 0x00FF00;
    select_polygondrawer(set);
    draw_triangle(&p, target.get());
    return !changed_pixels(target.get(), background).empty();
  };
  for (int32_t set : {1, 2, 8, 18, 24, 32}) {
    SCOPED_TRACE(set);
    EXPECT_FALSE(draws(set, POLY_TEXTURE | POLY_FLAT_LIT)) << "texture_flat is empty in every set";
    EXPECT_EQ(draws(set, POLY_TEXTURE | POLY_GOURAUD), set == 1);
    EXPECT_TRUE(draws(set, POLY_TEXTURE));
    EXPECT_TRUE(draws(set, POLY_TEXTURE_ALT));
    EXPECT_EQ(draws(set, POLY_SOLID), set != 32);
    EXPECT_EQ(draws(set, POLY_GOURAUD), set != 32) << "any other mode is solid";
    EXPECT_EQ(draws(set, POLY_WIRE | POLY_EDGE01), set != 32);
    EXPECT_FALSE(draws(set, POLY_WIRE)) << "wire without edge flags";
  }
  select_polygondrawer(POLYGONDRAWER_CORRECT);
}

TEST(PolygonDrawer, BothTextureBitsSelectTheSolidSlot) {
  pixmap_ptr texture = make_coordinate_texture();
  pixmap_ptr target = make_target(64, 64);
  polygon p = make_polygon(POLY_TEXTURE | POLY_TEXTURE_ALT, {4, 4, 0}, {40, 4, 0}, {4, 40, 0});
  set_texture(&p, texture.get(), 1, 1, 30, 1, 1, 30);
  p.colour = 0xABCDEF;
  select_polygondrawer(POLYGONDRAWER_FAST);
  draw_triangle(&p, target.get());
  EXPECT_EQ(target->pixels[10 * 64 + 10], 0xABCDEFu);
  select_polygondrawer(POLYGONDRAWER_CORRECT);
}

TEST(PolygonDrawer, TexturedFlatLitCopiesShadeToTheVertices) {
  pixmap_ptr target = make_target(16, 16);
  polygon p = make_polygon(POLY_TEXTURE | POLY_FLAT_LIT, {1, 1, 0}, {10, 1, 0}, {1, 10, 0});
  p.shade = 99;
  draw_triangle(&p, target.get());
  EXPECT_EQ(p.vertex_shade[0], 99);
  EXPECT_EQ(p.vertex_shade[1], 99);
  EXPECT_EQ(p.vertex_shade[2], 99);
}

TEST(PolygonDrawer, CustomFlagWithoutDrawerUsesTheSet) {
  pixmap_ptr target = make_target(16, 16);
  polygon p = make_polygon(POLY_SOLID | POLY_CUSTOM, {1, 1, 0}, {10, 1, 0}, {1, 10, 0});
  p.colour = 0x55;
  select_polygondrawer(POLYGONDRAWER_CORRECT);
  draw_triangle(&p, target.get());
  EXPECT_EQ(target->pixels[2 * 16 + 2], 0x55u);
}

TEST(Mesh, CreateGivesEmptyRecords) {
  mesh_object* o = mesh_object_create();
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->flags, 256u);
  EXPECT_EQ(o->mesh, nullptr);
  mesh* m = mesh_create();
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->vertex_count, 0);
  EXPECT_EQ(m->faces, nullptr);
  o->mesh = m;
  mesh_object_free(o);
  polygon* p = polygon_create();
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->flags, 0u);
  EXPECT_EQ(p->drawer, nullptr);
  EXPECT_EQ(p->uv_count, 0);
  EXPECT_EQ(p->texture[0], nullptr);
  polygon_free(p);
  light* l = light_create();
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->type, 0);
  EXPECT_EQ(l->direction.z, 1);
  light_free(l);
}

namespace {
// A square of two triangles in the z = 0 plane, a tilted triangle sharing an
// edge, one vertex no face uses, and a face of no area.
mesh* make_test_mesh() {
  mesh* m = mesh_create();
  m->vertex_count = 6;
  m->positions = mem_alloc_array<vec3>(6);
  m->normals = mem_alloc_array<vec3>(6);
  const vec3 positions[6] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0, 1}, {9, 9, 9}};
  std::memcpy(m->positions, positions, sizeof positions);
  m->face_count = 4;
  m->faces = mem_alloc_array<mesh_face>(4);
  const int32_t faces[4][3] = {{0, 1, 2}, {0, 2, 3}, {1, 4, 2}, {1, 1, 2}};
  for (int f = 0; f < 4; f++)
    std::memcpy(m->faces[f].index, faces[f], sizeof faces[f]);
  return m;
}
} // namespace

TEST(Mesh, VertexNormalsAverageTheFaceNormals) {
  mesh* m = make_test_mesh();
  ASSERT_EQ(mesh_compute_vertex_normals(m), 1);
  // Face normal (p0 - p1) x (p2 - p1) of the square: (0, 0, -1).
  for (int i : {0, 3}) {
    EXPECT_NEAR(m->normals[i].x, 0, 1e-6);
    EXPECT_NEAR(m->normals[i].z, -1, 1e-6);
  }
  // Vertex 1 sees the square once and the tilted face once; the average is not normalised again.
  // Tilted face (1, 4, 2): a = p1 - p4, b = p2 - p4.
  vec3 a = {1 - 2, 0 - 0, 0 - 1}, b = {1 - 2, 1 - 0, 0 - 1}, tilted;
  vec3_cross(&tilted, &a, &b);
  vec3_normalize(&tilted, &tilted);
  EXPECT_NEAR(m->normals[1].x, tilted.x / 2, 1e-6);
  EXPECT_NEAR(m->normals[1].z, (tilted.z - 1) / 2, 1e-6);
  EXPECT_LT(vec3_length(&m->normals[1]), 1);
  // The unused vertex keeps a zero normal; the face of no area spreads nothing.
  EXPECT_EQ(m->normals[5].x, 0);
  EXPECT_EQ(m->normals[5].y, 0);
  EXPECT_EQ(m->normals[5].z, 0);
  for (int i = 0; i < 6; i++)
    EXPECT_TRUE(std::isfinite(m->normals[i].x + m->normals[i].y + m->normals[i].z)) << i;
  mesh_free(m);
}

TEST(Mesh, FacesWithIndicesOutsideTheVerticesAreSkipped) {
  mesh* m = make_test_mesh();
  m->faces[3].index[2] = 6;
  m->faces[2].index[0] = -1;
  ASSERT_EQ(mesh_compute_vertex_normals(m), 1);
  EXPECT_EQ(m->normals[4].z, 0);
  EXPECT_NEAR(m->normals[1].z, -1, 1e-6);
  mesh_free(m);
}

TEST(Mesh, FlippingTwiceRestoresTheFaces) {
  mesh* m = make_test_mesh();
  mesh_flip_faces(m);
  EXPECT_EQ(m->faces[0].index[0], 2);
  EXPECT_EQ(m->faces[0].index[1], 1);
  EXPECT_EQ(m->faces[0].index[2], 0);
  mesh_compute_vertex_normals(m);
  EXPECT_NEAR(m->normals[0].z, 1, 1e-6) << "front and back exchange";
  mesh_flip_faces(m);
  const int32_t faces[4][3] = {{0, 1, 2}, {0, 2, 3}, {1, 4, 2}, {1, 1, 2}};
  for (int f = 0; f < 4; f++)
    for (int i = 0; i < 3; i++)
      EXPECT_EQ(m->faces[f].index[i], faces[f][i]);
  mesh_free(m);
}

TEST(Clip, EdgeCrossingThePlaneIsCutAndAttributesInterpolated) {
  // Vertices of four floats: position and one attribute.
  const float in[12] = {-1, 0, 1, 10, 1, 0, 1, 30, -1, 1, 1, 50};
  const vec3 n = {1, 0, 0};
  float out[24];
  ASSERT_EQ(clip_polygon_plane(in, 3, 4, &n, out), 4);
  const float expected[16] = {-1, 0, 1, 10, 0, 0, 1, 20, 0, 0.5f, 1, 40, -1, 1, 1, 50};
  for (int i = 0; i < 16; i++)
    EXPECT_FLOAT_EQ(out[i], expected[i]) << i;
}

TEST(Clip, EdgeLyingInThePlaneIsKept) {
  const float in[9] = {0, 0, 0, 0, 1, 0, -1, 0, 0};
  const vec3 n = {1, 0, 0};
  float out[18];
  const int32_t count = clip_polygon_plane(in, 3, 3, &n, out);
  ASSERT_GE(count, 3);
  for (int i = 0; i < 9; i++)
    EXPECT_EQ(out[i], in[i]) << i;
  for (int i = 0; i < count * 3; i++)
    EXPECT_TRUE(std::isfinite(out[i])) << i;
}

TEST(Clip, PolygonOutsideVanishes) {
  const float in[9] = {1, 0, 0, 2, 1, 0, 1, 1, 1};
  const vec3 n = {1, 0, 0};
  float out[18];
  EXPECT_EQ(clip_polygon_plane(in, 3, 3, &n, out), 0);
}
