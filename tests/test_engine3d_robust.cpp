// Triangles far outside the target, degenerate and non-finite ones, and
// malformed polygons: every routine stays inside its buffers (checked by the
// sanitizer build) and draws nothing it should not.
#include "drawers.h"
#include "engine3d_fixtures.h"
#include "polygondrawer.h"
#include "render_context.h"
#include "render_polygon.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <vector>

namespace {
constexpr uint32_t BACKGROUND = 0x01020304;
constexpr float INF = std::numeric_limits<float>::infinity();
constexpr float NAN_F = std::numeric_limits<float>::quiet_NaN();

const polygon_routine all_routines[] = {safe_solid,   safe_wire,      safe_texture,       safe_texture_gouraud,
                                        float_wire,   scan_solid,     texture_general,    texture_general_z,
                                        texture_fast, texture_fast_z, texture_additive_z, texture_perspective_z};

struct shape {
  vec3 v[3];
  bool outside; // lies entirely outside a 32 x 24 target
};

std::vector<shape> nasty_shapes() {
  return {
      {{{-1e9f, -1e9f, 5}, {1e9f, -1e9f, 5}, {-1e9f, 1e9f, 5}}, false},
      {{{-1e30f, 3, 5}, {1e30f, 4, 5}, {0, 1e30f, 5}}, false},
      {{{-FLT_MAX, -FLT_MAX, 5}, {FLT_MAX, -FLT_MAX, 5}, {0, FLT_MAX, 5}}, false},
      {{{5, -1e9f, 5}, {30, 1e9f, 5}, {6, 3e8f, 5}}, false},
      {{{0, -3e9f, 5}, {10, 10, 5}, {0, 20, 5}}, false},
      {{{0, 10, 5}, {-3e9f, 12, 5}, {20, 20, 5}}, false},
      {{{10, 10, 5}, {10, 10, 5}, {10, 10, 5}}, false},
      {{{1, 1, 5}, {10, 10, 5}, {20, 20, 5}}, false},
      {{{1, 1, 5}, {1.0001f, 20, 5}, {1.00005f, 10, 5}}, false},
      {{{3, 4, 5}, {3, 4, 5}, {20, 4, 5}}, false},
      {{{1, 1, 1e30f}, {20, 1, -1e30f}, {1, 20, 0}}, false},
      {{{1, 1, -256}, {20, 1, -300}, {1, 20, 0}}, false},
      {{{-1e9f, -1e9f, 5}, {-1e9f + 10, -1e9f, 5}, {-1e9f, -1e9f + 10, 5}}, true},
      {{{1e9f, 1e9f, 5}, {1e9f + 100, 1e9f, 5}, {1e9f, 1e9f + 100, 5}}, true},
      {{{-50, 2, 5}, {-40, 2, 5}, {-45, 20, 5}}, true},
      {{{40, 2, 5}, {50, 2, 5}, {45, 20, 5}}, true},
      {{{2, -50, 5}, {20, -40, 5}, {5, -30, 5}}, true},
      {{{2, 30, 5}, {20, 40, 5}, {5, 50, 5}}, true},
      {{{NAN_F, 1, 5}, {20, 1, 5}, {1, 20, 5}}, true},
      {{{1, 1, 5}, {INF, 1, 5}, {1, 20, 5}}, true},
      {{{1, -INF, 5}, {20, 1, 5}, {1, 20, 5}}, true},
      {{{1, 1, NAN_F}, {20, 1, 5}, {1, 20, 5}}, false},
  };
}

polygon textured(const shape& s, pixmap* texture) {
  polygon p = make_polygon(POLY_TEXTURE | POLY_EDGE01 | POLY_EDGE12 | POLY_EDGE20, s.v[0], s.v[1], s.v[2]);
  set_texture(&p, texture, -1e9f, 3, 1e9f, NAN_F, 70000, -70000);
  p.vertex_shade[0] = 255;
  p.vertex_shade[1] = INT32_MAX;
  p.vertex_shade[2] = INT32_MIN;
  p.colour = 0xFFFFFFFF;
  return p;
}
} // namespace

TEST(Robust, FarOutsideDegenerateAndNonFiniteTriangles) {
  pixmap_ptr texture = make_coordinate_texture();
  const std::vector<shape> shapes = nasty_shapes();
  for (size_t i = 0; i < shapes.size(); i++) {
    for (polygon_routine routine : all_routines) {
      pixmap_ptr target = make_target(32, 24, BACKGROUND, true);
      polygon p = textured(shapes[i], texture.get());
      routine(&p, target.get());
      // Swapped winding as well: the routines do not rely on it.
      std::swap(p.v[1], p.v[2]);
      routine(&p, target.get());
      if (shapes[i].outside) {
        EXPECT_TRUE(changed_pixels(target.get(), BACKGROUND).empty()) << "shape " << i;
      }
    }
  }
}

// A vertex beyond the range of the fixed-point steps draws the same pixels
// as one far above the target but within it: the rows and columns inside the
// target see the same edges.
TEST(Robust, VerticesBeyondTheFixedPointRangeDrawLikeNearerOnes) {
  pixmap_ptr texture = make_coordinate_texture();
  for (size_t k = 0; k < std::size(all_routines); k++) {
    const polygon_routine routine = all_routines[k];
    pixmap_ptr far_target = make_target(32, 24, BACKGROUND, true);
    pixmap_ptr near_target = make_target(32, 24, BACKGROUND, true);
    polygon far_p = textured({{{2, -5e9f, 5}, {12, 10, 5}, {2, 10, 5}}, false}, texture.get());
    polygon near_p = textured({{{2, -5e8f, 5}, {12, 10, 5}, {2, 10, 5}}, false}, texture.get());
    routine(&far_p, far_target.get());
    routine(&near_p, near_target.get());
    size_t differ = 0;
    for (int32_t i = 0; i < 32 * 24; i++)
      differ += (far_target->pixels[i] != BACKGROUND) != (near_target->pixels[i] != BACKGROUND);
    EXPECT_LE(differ, 10u) << "routine " << k;
  }
}

TEST(Robust, TinyAndEmptyTargets) {
  pixmap_ptr texture = make_coordinate_texture();
  for (int32_t size : {0, 1, 2}) {
    for (polygon_routine routine : all_routines) {
      pixmap_ptr target(pixmap_create(size, size, PIXMAP_DEPTH | PIXMAP_CLEAR));
      ASSERT_TRUE(target);
      polygon p = textured({{{-5, -5, 5}, {40, -5, 5}, {-5, 40, 5}}, false}, texture.get());
      routine(&p, target.get());
    }
    pixmap_ptr target(pixmap_create(size, size, PIXMAP_CLEAR));
    safe_line(target.get(), -5, -5, 40, 40, 1);
    float_line(target.get(), -5, -5, 40, 40, 1);
  }
}

TEST(Robust, MalformedPolygonsDrawNothing) {
  pixmap_ptr texture = make_coordinate_texture();
  pixmap_ptr small_texture = make_coordinate_texture(128, 128);
  const shape s = {{{1, 1, 5}, {20, 1, 5}, {1, 20, 5}}, false};
  for (polygon_routine routine : {safe_texture, safe_texture_gouraud, texture_general, texture_general_z, texture_fast,
                                  texture_fast_z, texture_additive_z, texture_perspective_z}) {
    pixmap_ptr target = make_target(32, 24, BACKGROUND, true);
    polygon p = textured(s, texture.get());
    p.layer[0] = 31; // coordinates would run past the array
    routine(&p, target.get());
    p.layer[0] = -1;
    routine(&p, target.get());
    p.layer[0] = 0;
    p.texture[0] = nullptr;
    routine(&p, target.get());
    EXPECT_TRUE(changed_pixels(target.get(), BACKGROUND).empty());
    // The last layer slot is a valid place for the coordinates.
    p.texture[0] = texture.get();
    p.layer[0] = 30;
    for (int i = 0; i < 6; i++)
      p.uv[30 + i] = 5;
    routine(&p, target.get());
    EXPECT_FALSE(changed_pixels(target.get(), BACKGROUND).empty());
  }
  // The wrapping routines need a whole 256 x 256 texture; the depth routines a depth buffer.
  for (polygon_routine routine : {texture_fast, texture_fast_z, texture_additive_z}) {
    pixmap_ptr target = make_target(32, 24, BACKGROUND, true);
    polygon p = textured(s, small_texture.get());
    routine(&p, target.get());
    EXPECT_TRUE(changed_pixels(target.get(), BACKGROUND).empty());
  }
  for (polygon_routine routine : {texture_general_z, texture_fast_z, texture_additive_z, texture_perspective_z}) {
    pixmap_ptr target = make_target(32, 24, BACKGROUND, false);
    polygon p = textured(s, texture.get());
    routine(&p, target.get());
    EXPECT_TRUE(changed_pixels(target.get(), BACKGROUND).empty());
  }
}

TEST(Robust, PipelineWithEveryDrawerSetAndHostileInput) {
  pixmap_ptr texture = make_coordinate_texture();
  pixmap_ptr target = make_target(320, 240, BACKGROUND, true);
  render_context* k = render_context_create(0, target.get(), 320, 240, 400);
  ASSERT_TRUE(k);
  light* l = light_create();
  l->type = 12;
  l->intensity = 100;
  l->factor = 1e30f;
  render_context_add_light(k, l);
  const vec3 cases[][3] = {
      {{-1e30f, -1e30f, 10}, {1e30f, -1e30f, 10}, {0, 1e30f, 10}},
      {{0, 0, -400}, {50, 0, 0}, {0, -50, 0}},
      {{0, 0, -400}, {0, 0, -400}, {0, 0, -400}},
      {{-10, -10, -399.999f}, {10, -10, -399.999f}, {0, 10, 1e6f}},
      {{NAN_F, 0, 0}, {50, 0, 0}, {0, -50, 0}},
      {{0, 0, INF}, {50, 0, 0}, {0, -50, 0}},
      {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
      {{-1000, -1000, 0}, {1000, -1000, 0}, {0, 1000, 0}},
      {{-1e6f, 0, -399}, {1e6f, 0, -399}, {0, 1e6f, 1e6f}},
  };
  const uint32_t flags[] = {POLY_SOLID, POLY_TEXTURE | POLY_TWO_SIDED, POLY_TEXTURE | POLY_GOURAUD | POLY_TWO_SIDED,
                            POLY_WIRE | POLY_EDGE01 | POLY_EDGE12 | POLY_EDGE20 | POLY_TWO_SIDED,
                            POLY_SOLID | POLY_FLAT_LIT | POLY_TWO_SIDED};
  for (int32_t set : {1, 2, 8, 18, 24, 32}) {
    select_polygondrawer(set);
    for (const auto& c : cases) {
      for (uint32_t f : flags) {
        for (int32_t uv_count : {6, -100, 1000}) {
          polygon p = make_polygon(f, c[0], c[1], c[2]);
          set_texture(&p, texture.get(), 0, 0, 255, 0, 0, 255);
          p.uv_count = uv_count;
          p.stride = 99;
          p.normal = {0, 0, -1};
          p.n[0] = p.n[1] = p.n[2] = {0, 0, -1};
          render_polygon(k, &p);
          EXPECT_GE(p.shade, 0);
          EXPECT_LE(p.shade, 255);
        }
      }
    }
  }
  select_polygondrawer(POLYGONDRAWER_CORRECT);
  light_free(l);
  render_context_free(k);
}

TEST(Robust, ClippedGeometryStaysInsideTheTarget) {
  // Large polygons through the view: with every set, the drawn pixels stay
  // inside (the sanitizer build checks the routines without bounds tests).
  pixmap_ptr texture = make_coordinate_texture();
  pixmap_ptr target = make_target(320, 240, BACKGROUND, true);
  render_context* k = render_context_create(0, target.get(), 320, 240, 400);
  ASSERT_TRUE(k);
  for (int32_t set : {1, 2, 8, 18, 24, 32}) {
    select_polygondrawer(set);
    for (int i = 0; i < 200; i++) {
      const float a = float(i) * 0.7f, r = 100.0f + float(i) * 40.0f;
      polygon p = make_polygon(POLY_TEXTURE | POLY_TWO_SIDED, {r * std::cos(a), r * std::sin(a), -300 + float(i)},
                               {r * std::cos(a + 2.1f), r * std::sin(a + 2.1f), 500},
                               {r * std::cos(a + 4.2f), r * std::sin(a + 4.2f), float(i) * 10});
      set_texture(&p, texture.get(), 0, 0, 255, 10, 30, 255);
      render_polygon(k, &p);
    }
  }
  EXPECT_FALSE(changed_pixels(target.get(), BACKGROUND).empty());
  select_polygondrawer(POLYGONDRAWER_CORRECT);
  render_context_free(k);
}
