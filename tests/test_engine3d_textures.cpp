#include "drawers.h"
#include "engine3d_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {
using pixel_set = std::set<std::pair<int32_t, int32_t>>;
constexpr uint32_t BACKGROUND = 0x01020304;

pixmap_ptr make_constant_texture(uint32_t value, int32_t size = 256) {
  pixmap_ptr pm(pixmap_create(size, size, 0));
  std::fill(pm->pixels, pm->pixels + size * size, value);
  return pm;
}

// The fractional triangle (4, 1.5), (8, 5.5), (0, 9.5) with texture
// coordinates u = 2 x + u_base and v = 4 y + v_base, at camera depth z.
polygon fractional_triangle(pixmap* texture, float u_base, float v_base, float z = 10) {
  const vec3 v[3] = {{4, 1.5f, z}, {8, 5.5f, z}, {0, 9.5f, z}};
  polygon p = make_polygon(POLY_TEXTURE, v[0], v[1], v[2]);
  set_texture(&p, texture, 2 * v[0].x + u_base, 4 * v[0].y + v_base, 2 * v[1].x + u_base, 4 * v[1].y + v_base,
              2 * v[2].x + u_base, 4 * v[2].y + v_base);
  return p;
}

// The spans the texture routines draw for the fractional triangle: as the
// solid fill, but with the right end trunc(x), exclusive.
const pixel_set fractional_spans =
    row_spans({{1, 3, 3}, {2, 3, 4}, {3, 2, 5}, {4, 2, 6}, {5, 1, 6}, {6, 1, 4}, {7, 0, 2}, {8, 0, 0}});

// Every span's first pixel takes its values at ceil(x) of the left edge and
// every row those of the next whole y, so pixel (x, y) of this triangle maps
// to texel (2 (x + 1) + u_base, 4 (y + 1) + v_base).
void expect_fractional_mapping(const pixmap* target, float u_base, float v_base, bool clamp_to = false) {
  EXPECT_EQ(changed_pixels(target, BACKGROUND), fractional_spans);
  for (const auto& [x, y] : fractional_spans) {
    int32_t u = 2 * (x + 1) + int32_t(u_base), v = 4 * (y + 1) + int32_t(v_base);
    if (clamp_to) {
      u = std::min(u, 255);
      v = std::min(v, 255);
    }
    EXPECT_EQ(target->pixels[target->rows[y] + x], coordinate_texel(u, v)) << x << "," << y;
  }
}
} // namespace

TEST(TextureRoutines, MapTexelsPixelExactly) {
  pixmap_ptr texture = make_coordinate_texture();
  for (polygon_routine routine : {texture_general, texture_general_z, texture_fast, texture_fast_z}) {
    pixmap_ptr target = make_target(12, 12, BACKGROUND, true);
    polygon p = fractional_triangle(texture.get(), 10, 3);
    routine(&p, target.get());
    expect_fractional_mapping(target.get(), 10, 3);
  }
}

TEST(TextureRoutines, FastRoutinesWrapGeneralRoutinesStayInside) {
  pixmap_ptr texture = make_coordinate_texture();
  // u runs past 256 along the rows, v past 256 down the triangle.
  for (polygon_routine routine : {texture_fast, texture_fast_z}) {
    pixmap_ptr target = make_target(12, 12, BACKGROUND, true);
    polygon p = fractional_triangle(texture.get(), 246, 230);
    routine(&p, target.get());
    expect_fractional_mapping(target.get(), 246, 230);
    // Row 4 spans texels 252 .. 255, 0 .. 4 of u.
    EXPECT_EQ(target->pixels[target->rows[4] + 6] & 255, 4u);
  }
  // The general routines read no further than the texture's last row and column.
  for (polygon_routine routine : {texture_general, texture_general_z}) {
    pixmap_ptr target = make_target(12, 12, BACKGROUND, true);
    polygon p = fractional_triangle(texture.get(), 246, 230);
    routine(&p, target.get());
    expect_fractional_mapping(target.get(), 246, 230, true);
  }
}

TEST(TextureRoutines, GeneralRoutinesTakeAnyTextureSize) {
  // A 32 x 64 texture: coordinates are normalised by the texture's own size.
  pixmap_ptr texture = make_coordinate_texture(32, 64);
  pixmap_ptr target = make_target(12, 12, BACKGROUND);
  polygon p = fractional_triangle(texture.get(), 4, 2);
  texture_general(&p, target.get());
  expect_fractional_mapping(target.get(), 4, 2);
}

TEST(TextureRoutines, CoordinateAtTheTextureEdgeReadsTheEdgeTexel) {
  // u and v reach the texture's width and height (4) at the right and bottom.
  pixmap_ptr texture = make_coordinate_texture(4, 4);
  for (polygon_routine routine : {texture_general, safe_texture}) {
    pixmap_ptr target = make_target(8, 8, BACKGROUND);
    polygon p = make_polygon(POLY_TEXTURE, {0, 0, 0}, {8, 0, 0}, {0, 8, 0});
    set_texture(&p, texture.get(), 0, 0, 8, 0, 0, 8);
    routine(&p, target.get());
    const pixel_set drawn = changed_pixels(target.get(), BACKGROUND);
    ASSERT_FALSE(drawn.empty());
    for (const auto& [x, y] : drawn) {
      const uint32_t texel = target->pixels[target->rows[y] + x];
      EXPECT_LE(texel & 255, 3u);
      EXPECT_LE(texel >> 8 & 255, 3u);
    }
    // Column 6 of row 0 maps beyond u = 4: the last column.
    EXPECT_EQ(target->pixels[6], coordinate_texel(3, 0));
  }
}

TEST(TextureRoutines, ZeroWidthSpanDrawsNothing) {
  pixmap_ptr texture = make_coordinate_texture();
  for (polygon_routine routine : {texture_general, texture_general_z, texture_fast, texture_fast_z, texture_additive_z,
                                  texture_perspective_z, scan_solid}) {
    pixmap_ptr target = make_target(8, 8, BACKGROUND, true);
    // A vertical sliver: left and right x are equal on every row.
    polygon p = make_polygon(POLY_TEXTURE, {3, 1, 0}, {3, 6, 0}, {3, 3, 0});
    set_texture(&p, texture.get(), 1, 1, 2, 2, 3, 3);
    routine(&p, target.get());
    EXPECT_TRUE(changed_pixels(target.get(), BACKGROUND).empty());
  }
}

TEST(DepthRules, GeneralZDrawsOnlyNearerAndKeepsTheFirstOfEqualDepths) {
  pixmap_ptr first = make_constant_texture(0xAAAAAAAA), second = make_constant_texture(0x55555555);
  pixmap_ptr target = make_target(12, 12, BACKGROUND, true);
  polygon p = fractional_triangle(first.get(), 0, 0, 100.7f);
  texture_general_z(&p, target.get());
  EXPECT_EQ(target->pixels[target->rows[4] + 3], 0xAAAAAAAAu);
  EXPECT_EQ(target->depth[target->rows[4] + 3], 100);
  p.texture[0] = second.get();
  p.v[0].z = p.v[1].z = p.v[2].z = 100.2f;
  texture_general_z(&p, target.get());
  EXPECT_EQ(target->pixels[target->rows[4] + 3], 0xAAAAAAAAu) << "equal depth: the first drawn stays";
  p.v[0].z = p.v[1].z = p.v[2].z = 99.9f;
  texture_general_z(&p, target.get());
  EXPECT_EQ(target->pixels[target->rows[4] + 3], 0x55555555u);
  EXPECT_EQ(target->depth[target->rows[4] + 3], 99);
}

TEST(DepthRules, FastZOverwritesEqualDepths) {
  pixmap_ptr first = make_constant_texture(0xAAAAAAAA), second = make_constant_texture(0x55555555);
  pixmap_ptr target = make_target(12, 12, BACKGROUND, true);
  polygon p = fractional_triangle(first.get(), 0, 0, 100);
  texture_fast_z(&p, target.get());
  EXPECT_EQ(target->depth[target->rows[4] + 3], 100);
  p.texture[0] = second.get();
  texture_fast_z(&p, target.get());
  EXPECT_EQ(target->pixels[target->rows[4] + 3], 0x55555555u) << "equal depth: the second overwrites";
  p.texture[0] = first.get();
  p.v[0].z = p.v[1].z = p.v[2].z = 101;
  texture_fast_z(&p, target.get());
  EXPECT_EQ(target->pixels[target->rows[4] + 3], 0x55555555u) << "farther: not drawn";
}

TEST(DepthRules, FastZTestsWholeSpansWithTheirFirstDepth) {
  // Depth 40 + x across every row, against a stored 50.
  pixmap_ptr texture = make_constant_texture(0x77777777);
  for (polygon_routine routine : {texture_fast_z, texture_general_z}) {
    pixmap_ptr target = make_target(16, 16, BACKGROUND, true);
    std::fill(target->depth, target->depth + 256, 50);
    polygon p = make_polygon(POLY_TEXTURE, {0, 0, 40}, {16, 0, 56}, {0, 16, 40});
    set_texture(&p, texture.get(), 0, 0, 1, 0, 0, 1);
    routine(&p, target.get());
    for (int32_t y = 0; y < 16; y++) {
      for (int32_t x = 0; x < 16; x++) {
        const bool inside = x <= 15 - y && x < 15; // the last column is never drawn
        const uint32_t pixel = target->pixels[target->rows[y] + x];
        const int32_t depth = target->depth[target->rows[y] + x];
        if (routine == texture_fast_z) {
          // One value per span, the nearest end's: the whole span is drawn at depth 40.
          EXPECT_EQ(pixel, inside ? 0x77777777u : BACKGROUND) << x << "," << y;
          EXPECT_EQ(depth, inside ? 40 : 50) << x << "," << y;
        } else {
          // Per pixel: only where 40 + x < 50.
          EXPECT_EQ(pixel, inside && x < 10 ? 0x77777777u : BACKGROUND) << x << "," << y;
          EXPECT_EQ(depth, inside && x < 10 ? 40 + x : 50) << x << "," << y;
        }
      }
    }
  }
}

TEST(DepthRules, AdditiveAddsWithSaturationAndNeverWritesDepth) {
  pixmap_ptr texture = make_constant_texture(0x30405060);
  pixmap_ptr target = make_target(12, 12, 0xAA000000, true);
  std::fill(target->depth, target->depth + 144, 101);
  // The left half of the target is at depth 100: not nearer than the surface.
  for (int32_t y = 0; y < 12; y++)
    std::fill(target->depth + y * 12, target->depth + y * 12 + 3, 100);
  target->pixels[target->rows[4] + 5] = 0x12FFFFFF;
  polygon p = fractional_triangle(texture.get(), 0, 0, 100);
  texture_additive_z(&p, target.get());
  EXPECT_EQ(target->pixels[target->rows[4] + 4], 0xAA405060u);
  EXPECT_EQ(target->pixels[target->rows[4] + 5], 0x12FFFFFFu) << "white stays white, byte 3 kept";
  EXPECT_EQ(target->pixels[target->rows[4] + 2], 0xAA000000u) << "depth 100 is not behind 100";
  texture_additive_z(&p, target.get());
  EXPECT_EQ(target->pixels[target->rows[4] + 4], 0xAA80A0C0u);
  texture_additive_z(&p, target.get());
  EXPECT_EQ(target->pixels[target->rows[4] + 4], 0xAAC0F0FFu);
  for (int32_t y = 0; y < 12; y++)
    for (int32_t x = 0; x < 12; x++)
      ASSERT_EQ(target->depth[y * 12 + x], x < 3 ? 100 : 101);
  // Only the triangle's spans right of column 2 changed.
  pixel_set expected;
  for (const auto& px : fractional_spans)
    if (px.first >= 3)
      expected.insert(px);
  expected.insert({5, 4});
  EXPECT_EQ(changed_pixels(target.get(), 0xAA000000), expected);
}

TEST(DepthRules, PerspectiveUsesOneDepthPerRowAndStrictLess) {
  pixmap_ptr texture = make_coordinate_texture();
  pixmap_ptr target = make_target(12, 12, BACKGROUND, true);
  // Camera z 0 at the left, 80 at the top right: distances 256 and 336.
  polygon p = make_polygon(POLY_TEXTURE, {0, 0, 0}, {8, 0, 80}, {0, 8, 0});
  set_texture(&p, texture.get(), 0, 0, 16, 0, 0, 16);
  texture_perspective_z(&p, target.get());
  // Row r: right edge distance 331 - 10 r at the row's centre, left 256, their integer mean.
  for (int32_t y = 0; y < 8; y++) {
    const int32_t expected = (256 + 331 - 10 * y) / 2;
    for (int32_t x = 0; x <= 7 - y; x++)
      EXPECT_EQ(target->depth[target->rows[y] + x], expected) << x << "," << y;
  }
  EXPECT_EQ(target->depth[target->rows[0] + 8], PIXMAP_FAR_DEPTH);
  // The same triangle again, in another texture: equal depths are not drawn.
  pixmap_ptr other = make_constant_texture(0x99999999);
  p.texture[0] = other.get();
  const uint32_t before = target->pixels[target->rows[0] + 0];
  EXPECT_EQ(before & 0xFF000000u, 0x7F000000u);
  texture_perspective_z(&p, target.get());
  EXPECT_EQ(target->pixels[target->rows[0] + 0], before);
  p.v[0].z = p.v[1].z = p.v[2].z = -100;
  texture_perspective_z(&p, target.get());
  EXPECT_EQ(target->pixels[target->rows[0] + 0], 0x99999999u);
  EXPECT_EQ(target->depth[target->rows[0] + 0], 156);
}

TEST(Perspective, MapsPixelCentresAtConstantDepth) {
  pixmap_ptr texture = make_coordinate_texture();
  pixmap_ptr target = make_target(12, 12, BACKGROUND, true);
  polygon p = make_polygon(POLY_TEXTURE, {0, 0, 0}, {8, 0, 0}, {0, 8, 0});
  set_texture(&p, texture.get(), 0, 0, 16, 0, 0, 16);
  texture_perspective_z(&p, target.get());
  pixel_set expected;
  for (int32_t y = 0; y < 8; y++)
    for (int32_t x = 0; x <= 7 - y; x++)
      expected.insert({x, y});
  EXPECT_EQ(changed_pixels(target.get(), BACKGROUND), expected);
  for (const auto& [x, y] : expected) {
    EXPECT_EQ(target->pixels[target->rows[y] + x], coordinate_texel(2 * x + 1, 2 * y + 1)) << x << "," << y;
    EXPECT_EQ(target->depth[target->rows[y] + x], 256);
  }
}

TEST(Perspective, DividesPerPixelAcrossDepth) {
  // A plane receding from distance 256 to 2560 across x: the texel of each
  // pixel centre follows u/z and 1/z, far from the affine interpolation.
  pixmap_ptr texture = make_coordinate_texture();
  pixmap_ptr target = make_target(64, 64, BACKGROUND, true);
  const vec3 v[3] = {{0, 0, 0}, {60, 0, 2304}, {0, 60, 0}};
  const float u[3] = {0, 240, 0}, w[3] = {0, 0, 240};
  polygon p = make_polygon(POLY_TEXTURE, v[0], v[1], v[2]);
  set_texture(&p, texture.get(), u[0], w[0], u[1], w[1], u[2], w[2]);
  texture_perspective_z(&p, target.get());
  // s = u/z', t = v/z', q = 1/z' are affine in the half-pixel-shifted screen.
  auto plane = [&](const double a[3], double x, double y) {
    const double x0 = 0.5, y0 = 0.5, x1 = 60.5, y1 = 0.5, x2 = 0.5, y2 = 60.5;
    const double area = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);
    const double ax = ((a[1] - a[0]) * (y2 - y0) - (a[2] - a[0]) * (y1 - y0)) / area;
    const double ay = ((a[2] - a[0]) * (x1 - x0) - (a[1] - a[0]) * (x2 - x0)) / area;
    return a[0] + ax * (x - x0) + ay * (y - y0);
  };
  double q[3], s[3], t[3];
  for (int k = 0; k < 3; k++) {
    q[k] = 1.0 / (v[k].z + 256.0);
    s[k] = u[k] * q[k];
    t[k] = w[k] * q[k];
  }
  int checked = 0;
  for (int32_t y = 0; y < 64; y++) {
    for (int32_t x = 0; x < 64; x++) {
      const uint32_t pixel = target->pixels[target->rows[y] + x];
      if (pixel == BACKGROUND)
        continue;
      const double cx = x + 1.0, cy = y + 1.0, qq = plane(q, cx, cy);
      EXPECT_NEAR(double(pixel & 255), plane(s, cx, cy) / qq, 1.01) << x << "," << y;
      EXPECT_NEAR(double(pixel >> 8 & 255), plane(t, cx, cy) / qq, 1.01) << x << "," << y;
      checked++;
    }
  }
  EXPECT_GT(checked, 1500);
  // Halfway across the top row, the perspective u is far below the affine 120.
  EXPECT_LT(target->pixels[target->rows[0] + 30] & 255, 30u);
}

TEST(SafeTexture, MapsTruncatedRowValues) {
  pixmap_ptr texture = make_coordinate_texture();
  pixmap_ptr target = make_target(8, 8, BACKGROUND);
  polygon p = make_polygon(POLY_TEXTURE, {1, 1, 0}, {5, 1, 0}, {1, 5, 0});
  // u = x + 9, v = y + 19.
  set_texture(&p, texture.get(), 10, 20, 14, 20, 10, 24);
  safe_texture(&p, target.get());
  const pixel_set expected = row_spans({{1, 1, 5}, {2, 1, 4}, {3, 1, 3}, {4, 1, 2}, {5, 1, 1}});
  EXPECT_EQ(changed_pixels(target.get(), BACKGROUND), expected);
  for (const auto& [x, y] : expected)
    EXPECT_EQ(target->pixels[target->rows[y] + x], coordinate_texel(x + 9, y + 19)) << x << "," << y;
}

TEST(SafeTexture, GouraudScalesBytesByIntensityOver255) {
  pixmap_ptr texture = make_constant_texture(0x120080FF); // bytes 255, 128, 0, 0x12
  pixmap_ptr target = make_target(8, 8, 0x34000000);
  polygon p = make_polygon(POLY_TEXTURE | POLY_GOURAUD, {1, 1, 0}, {5, 1, 0}, {1, 5, 0});
  set_texture(&p, texture.get(), 10, 20, 14, 20, 10, 24);
  p.vertex_shade[0] = p.vertex_shade[1] = p.vertex_shade[2] = 255;
  safe_texture_gouraud(&p, target.get());
  // The single-precision 1/255 lies just above 1/255, so full intensity keeps the texel.
  EXPECT_EQ(target->pixels[target->rows[2] + 2], 0x340080FFu);
  p.vertex_shade[0] = p.vertex_shade[1] = p.vertex_shade[2] = 128;
  safe_texture_gouraud(&p, target.get());
  EXPECT_EQ(target->pixels[target->rows[2] + 2], 0x34004080u); // 128 * 255 / 255, 128 * 128 / 255
  p.vertex_shade[0] = p.vertex_shade[1] = p.vertex_shade[2] = 0;
  safe_texture_gouraud(&p, target.get());
  EXPECT_EQ(target->pixels[target->rows[2] + 2], 0x34000000u);
  // Intensity falls from 255 at the left to 0 at the right vertex along row 1.
  p.vertex_shade[0] = 255;
  p.vertex_shade[2] = 255;
  safe_texture_gouraud(&p, target.get());
  const uint32_t left = target->pixels[target->rows[1] + 1], right = target->pixels[target->rows[1] + 5];
  EXPECT_EQ(left & 255, 255u);
  EXPECT_EQ(right & 255, 0u);
  EXPECT_GT(target->pixels[target->rows[1] + 3] & 255, right & 255);
  EXPECT_LT(target->pixels[target->rows[1] + 3] & 255, left & 255);
}

TEST(SpanTexture, StepsAndWrapsIn16Point16) {
  pixmap_ptr texture = make_coordinate_texture();
  uint32_t out[16];
  std::fill(out, out + 16, BACKGROUND);
  // u from 250 by 1, v from 7.5 by 0.25.
  span_texture(12, 2, 250 << 16, (7 << 16) + 0x8000, 1 << 16, 0x4000, texture->pixels, out);
  EXPECT_EQ(out[0], BACKGROUND);
  EXPECT_EQ(out[1], BACKGROUND);
  for (int i = 0; i < 12; i++)
    EXPECT_EQ(out[2 + i], coordinate_texel((250 + i) & 255, (30 + i) / 4)) << i;
  EXPECT_EQ(out[14], BACKGROUND);
  // Negative steps wrap the other way; no count draws nothing.
  span_texture(3, 0, 1 << 16, 0, -(1 << 16), -(1 << 16), texture->pixels, out);
  EXPECT_EQ(out[0], coordinate_texel(1, 0));
  EXPECT_EQ(out[1], coordinate_texel(0, 255));
  EXPECT_EQ(out[2], coordinate_texel(255, 254));
  span_texture(0, 0, 0, 0, 0, 0, texture->pixels, out);
  span_texture(-5, 0, 0, 0, 0, 0, texture->pixels, out);
  EXPECT_EQ(out[0], coordinate_texel(1, 0));
}

TEST(SpanTexture, DepthSpanUsesOneValueAndLessOrEqual) {
  pixmap_ptr texture = make_coordinate_texture();
  uint32_t out[6];
  int32_t depth[6] = {9, 10, 11, 8, 10, 100};
  std::fill(out, out + 6, BACKGROUND);
  // z = 10.75 in 16.16: the span compares 10 everywhere; dz is ignored.
  span_texture_z(6, 0, 0, 0, 1 << 16, 0, (10 << 16) + 0xC000, -(50 << 16), depth, texture->pixels, out);
  const bool drawn[6] = {false, true, true, false, true, true};
  for (int i = 0; i < 6; i++) {
    EXPECT_EQ(out[i], drawn[i] ? coordinate_texel(i, 0) : BACKGROUND) << i;
    EXPECT_EQ(depth[i], drawn[i] ? 10 : (i == 0 ? 9 : 8)) << i;
  }
}
