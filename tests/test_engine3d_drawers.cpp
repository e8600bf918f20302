#include "drawers.h"
#include "engine3d_fixtures.h"
#include "polygondrawer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace {
using pixel_set = std::set<std::pair<int32_t, int32_t>>;

constexpr uint32_t BACKGROUND = 0x01020304;
constexpr uint32_t INK = 0xFF00FF00;

pixel_set line_pixels(line_routine line, int32_t w, int32_t h, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  pixmap_ptr target = make_target(w, h, BACKGROUND);
  line(target.get(), x0, y0, x1, y1, INK);
  return changed_pixels(target.get(), BACKGROUND);
}

// Pixels a routine draws for the triangle, on a w x h target.
pixel_set triangle_pixels(polygon_routine routine, int32_t w, int32_t h, vec3 v0, vec3 v1, vec3 v2,
                          uint32_t flags = POLY_SOLID) {
  pixmap_ptr target = make_target(w, h, BACKGROUND);
  polygon p = make_polygon(flags, v0, v1, v2);
  p.colour = INK;
  routine(&p, target.get());
  return changed_pixels(target.get(), BACKGROUND);
}
} // namespace

TEST(SafeLine, StepsWithEightFractionBits) {
  EXPECT_EQ(line_pixels(safe_line, 8, 8, 0, 0, 4, 2), (pixel_set{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}));
  // Either end first gives the same pixels.
  EXPECT_EQ(line_pixels(safe_line, 8, 8, 4, 2, 0, 0), (pixel_set{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}));
  // y-major: slope 64 per row, both ends drawn.
  EXPECT_EQ(line_pixels(safe_line, 8, 8, 0, 0, 1, 4), (pixel_set{{0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 4}}));
  // Falling slope: y from 512 down by 128 per column.
  EXPECT_EQ(line_pixels(safe_line, 8, 8, 0, 2, 4, 0), (pixel_set{{0, 2}, {1, 1}, {2, 1}, {3, 0}, {4, 0}}));
  // A single row, a diagonal.
  EXPECT_EQ(line_pixels(safe_line, 8, 8, 1, 3, 3, 3), (pixel_set{{1, 3}, {2, 3}, {3, 3}}));
  EXPECT_EQ(line_pixels(safe_line, 8, 8, 0, 0, 2, 2), (pixel_set{{0, 0}, {1, 1}, {2, 2}}));
}

TEST(SafeLine, ZeroLengthDrawsNothing) { EXPECT_TRUE(line_pixels(safe_line, 8, 8, 3, 5, 3, 5).empty()); }

TEST(SafeLine, PointsOutsideTheTargetAreSkipped) {
  // From (-2, 0) the rows run 0, 0, 1, 1, 2, 2, 3, 3, 4 over x = -2 .. 6.
  EXPECT_EQ(line_pixels(safe_line, 8, 8, -2, 0, 6, 4),
            (pixel_set{{0, 1}, {1, 1}, {2, 2}, {3, 2}, {4, 3}, {5, 3}, {6, 4}}));
  EXPECT_EQ(line_pixels(safe_line, 4, 4, 2, -3, 2, 9), (pixel_set{{2, 0}, {2, 1}, {2, 2}, {2, 3}}));
  EXPECT_EQ(line_pixels(safe_line, 4, 4, INT32_MIN, 1, INT32_MAX, 1), (pixel_set{{0, 1}, {1, 1}, {2, 1}, {3, 1}}));
  EXPECT_TRUE(line_pixels(safe_line, 4, 4, -10, -10, -5, 20).empty());
}

TEST(FloatLine, EndPointIsNotDrawn) {
  EXPECT_EQ(line_pixels(float_line, 8, 8, 0, 0, 4, 0), (pixel_set{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
  EXPECT_EQ(line_pixels(float_line, 8, 8, 0, 0, 3, 3), (pixel_set{{0, 0}, {1, 1}, {2, 2}}));
  EXPECT_EQ(line_pixels(float_line, 8, 8, 5, 6, 5, 2), (pixel_set{{5, 6}, {5, 5}, {5, 4}, {5, 3}}));
  // Steps of (1, 0.5) truncated.
  EXPECT_EQ(line_pixels(float_line, 8, 8, 0, 0, 4, 2), (pixel_set{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
  EXPECT_TRUE(line_pixels(float_line, 8, 8, 3, 5, 3, 5).empty());
}

TEST(FloatLine, PointsOutsideTheTargetAreSkipped) {
  EXPECT_EQ(line_pixels(float_line, 4, 4, -2, 1, 6, 1), (pixel_set{{0, 1}, {1, 1}, {2, 1}, {3, 1}}));
  // A very long line is cut to the target without stepping its whole length.
  EXPECT_EQ(line_pixels(float_line, 4, 4, -2000000000, 2, 2000000000, 2), (pixel_set{{0, 2}, {1, 2}, {2, 2}, {3, 2}}));
  EXPECT_TRUE(line_pixels(float_line, 4, 4, INT32_MIN, INT32_MIN, INT32_MIN + 10, INT32_MAX).empty());
}

TEST(Wire, DrawsTheFlaggedEdgesWithTheSetsLine) {
  const vec3 a = {1, 1, 0}, b = {5, 1, 0}, c = {1, 5, 0};
  EXPECT_EQ(triangle_pixels(safe_wire, 8, 8, a, b, c, POLY_EDGE01),
            (pixel_set{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}}));
  EXPECT_EQ(triangle_pixels(float_wire, 8, 8, a, b, c, POLY_EDGE01), (pixel_set{{1, 1}, {2, 1}, {3, 1}, {4, 1}}));
  EXPECT_EQ(triangle_pixels(float_wire, 8, 8, a, b, c, POLY_EDGE20), (pixel_set{{1, 5}, {1, 4}, {1, 3}, {1, 2}}));
  EXPECT_EQ(triangle_pixels(float_wire, 8, 8, a, b, c, POLY_EDGE12), (pixel_set{{5, 1}, {4, 2}, {3, 3}, {2, 4}}));
  EXPECT_TRUE(triangle_pixels(float_wire, 8, 8, a, b, c, 0).empty());
  // Screen coordinates are truncated before the line is drawn.
  EXPECT_EQ(triangle_pixels(safe_wire, 8, 8, {1.9f, 1.9f, 0}, {3.9f, 1.2f, 0}, c, POLY_EDGE01),
            (pixel_set{{1, 1}, {2, 1}, {3, 1}}));
}

TEST(ScanSolid, FlatTopTriangle) {
  const pixel_set expected = row_spans({{1, 1, 4}, {2, 1, 3}, {3, 1, 2}, {4, 1, 1}});
  EXPECT_EQ(triangle_pixels(scan_solid, 8, 8, {1, 1, 0}, {5, 1, 0}, {1, 5, 0}), expected);
  // The vertices are sorted: every order gives the same pixels.
  EXPECT_EQ(triangle_pixels(scan_solid, 8, 8, {5, 1, 0}, {1, 5, 0}, {1, 1, 0}), expected);
  EXPECT_EQ(triangle_pixels(scan_solid, 8, 8, {1, 5, 0}, {5, 1, 0}, {1, 1, 0}), expected);
}

TEST(ScanSolid, FlatBottomTriangle) {
  // Slopes -1 and 1 from (4, 1); row 1 is empty, the bottom row 5 is not drawn.
  EXPECT_EQ(triangle_pixels(scan_solid, 10, 10, {4, 1, 0}, {8, 5, 0}, {0, 5, 0}),
            row_spans({{2, 3, 4}, {3, 2, 5}, {4, 1, 6}}));
}

TEST(ScanSolid, FractionalTriangleWithBothHalves) {
  // Long edge slope -0.5 on the left, upper edge 1 and lower edge -2 on the
  // right. Rows start at trunc(y) with the edges stepped to ceil(y); the right
  // end is ceil16(x), exclusive.
  const pixel_set expected =
      row_spans({{1, 3, 4}, {2, 3, 5}, {3, 2, 6}, {4, 2, 7}, {5, 1, 6}, {6, 1, 4}, {7, 0, 2}, {8, 0, 0}});
  const std::array<vec3, 3> v = {vec3{4, 1.5f, 0}, vec3{8, 5.5f, 0}, vec3{0, 9.5f, 0}};
  std::array<int, 3> order = {0, 1, 2};
  do {
    EXPECT_EQ(triangle_pixels(scan_solid, 12, 12, v[size_t(order[0])], v[size_t(order[1])], v[size_t(order[2])]),
              expected);
  } while (std::next_permutation(order.begin(), order.end()));
}

TEST(ScanSolid, CoveringTheTargetLeavesTheLastColumn) {
  const pixel_set drawn = triangle_pixels(scan_solid, 16, 12, {-100, -100, 0}, {1000, -100, 0}, {-100, 1000, 0});
  pixel_set expected;
  for (int32_t y = 0; y < 12; y++)
    for (int32_t x = 0; x < 15; x++)
      expected.insert({x, y});
  EXPECT_EQ(drawn, expected);
}

TEST(ScanSolid, StartsAboveTheTarget) {
  // Straight left edge at x = 2, right edge slope 1 from (2, -4): at row 0 the
  // edges have been advanced to y = 0; both ends are whole, so no pre-step.
  const pixel_set drawn = triangle_pixels(scan_solid, 12, 8, {2, -4, 0}, {10, 4, 0}, {2, 4, 0});
  EXPECT_EQ(drawn, row_spans({{0, 2, 5}, {1, 2, 6}, {2, 2, 7}, {3, 2, 8}}));
}

TEST(ScanSolid, RejectsTrianglesOutsideOrOnOneRow) {
  EXPECT_TRUE(triangle_pixels(scan_solid, 8, 8, {1, 3, 0}, {6, 3, 0}, {3, 3, 0}).empty());
  EXPECT_TRUE(triangle_pixels(scan_solid, 8, 8, {-9, 1, 0}, {-1, 2, 0}, {-5, 6, 0}).empty());
  EXPECT_TRUE(triangle_pixels(scan_solid, 8, 8, {8, 1, 0}, {12, 2, 0}, {9, 6, 0}).empty());
  EXPECT_TRUE(triangle_pixels(scan_solid, 8, 8, {1, -9, 0}, {6, -5, 0}, {3, -0.5f, 0}).empty());
  EXPECT_TRUE(triangle_pixels(scan_solid, 8, 8, {1, 8, 0}, {6, 9, 0}, {3, 12, 0}).empty());
  // A triangle ending on the last row draws that row.
  EXPECT_FALSE(triangle_pixels(scan_solid, 8, 8, {0, 6, 0}, {7, 6, 0}, {0, 9, 0}).empty());
}

TEST(ScanSolid, FlatLightFillsWithGreyShade) {
  pixmap_ptr target = make_target(8, 8, BACKGROUND);
  polygon p = make_polygon(POLY_SOLID | POLY_FLAT_LIT, {1, 1, 0}, {5, 1, 0}, {1, 5, 0});
  p.colour = INK;
  p.shade = 128;
  scan_solid(&p, target.get());
  EXPECT_EQ(target->pixels[1 * 8 + 1] & 0xFFFFFF, 0x808080u);
  p.shade = 0x1FF; // only the low byte counts
  scan_solid(&p, target.get());
  EXPECT_EQ(target->pixels[1 * 8 + 1] & 0xFFFFFF, 0xFFFFFFu);
  // The SAFE solid ignores the shade.
  safe_solid(&p, target.get());
  EXPECT_EQ(target->pixels[1 * 8 + 1], INK);
}

TEST(ScanSolid, ZBufferedSetsNeitherTestNorWriteDepth) {
  pixmap_ptr target = make_target(8, 8, BACKGROUND, true);
  std::fill(target->depth, target->depth + 64, -5);
  polygon p = make_polygon(POLY_SOLID, {1, 1, 1000}, {5, 1, 1000}, {1, 5, 1000});
  p.colour = INK;
  select_polygondrawer(POLYGONDRAWER_FAST_Z);
  draw_triangle(&p, target.get());
  select_polygondrawer(POLYGONDRAWER_CORRECT);
  EXPECT_EQ(target->pixels[1 * 8 + 1], INK);
  for (int i = 0; i < 64; i++)
    ASSERT_EQ(target->depth[i], -5);
}

TEST(SafeSolid, FillsBothEndsOfEveryRow) {
  EXPECT_EQ(triangle_pixels(safe_solid, 8, 8, {1, 1, 0}, {5, 1, 0}, {1, 5, 0}),
            row_spans({{1, 1, 5}, {2, 1, 4}, {3, 1, 3}, {4, 1, 2}, {5, 1, 1}}));
  // Coordinates are truncated first.
  EXPECT_EQ(triangle_pixels(safe_solid, 8, 8, {1.9f, 1.5f, 0}, {5.7f, 1.1f, 0}, {1.2f, 5.99f, 0}),
            row_spans({{1, 1, 5}, {2, 1, 4}, {3, 1, 3}, {4, 1, 2}, {5, 1, 1}}));
}

TEST(SafeSolid, ClipsToTheTargetAndDrawsNothingOnOneRow) {
  EXPECT_TRUE(triangle_pixels(safe_solid, 8, 8, {1, 3, 0}, {6, 3, 0}, {3, 3, 0}).empty());
  // Reaching past the right and bottom edges: only target pixels change.
  const pixel_set drawn = triangle_pixels(safe_solid, 4, 4, {1, 1, 0}, {9, 1, 0}, {1, 9, 0});
  EXPECT_EQ(drawn, row_spans({{1, 1, 3}, {2, 1, 3}, {3, 1, 3}}));
  EXPECT_TRUE(triangle_pixels(safe_solid, 8, 8, {-9, 1, 0}, {-1, 2, 0}, {-5, 6, 0}).empty());
}

TEST(SafeSolid, BackFacingTriangleLeavesOnlyWhereItsEdgesMeet) {
  // Counter-clockwise: the up table holds the right edge, so a row draws only
  // where both edges share a column, at the bottom vertex.
  EXPECT_EQ(triangle_pixels(safe_solid, 8, 8, {1, 1, 0}, {1, 5, 0}, {5, 1, 0}), (pixel_set{{1, 5}}));
}
