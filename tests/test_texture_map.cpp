// Texture coordinates of the four projections, their axes, tiling, and the
// guards against unset sizes.
#include "texture_map.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

texture_mapping_entry entry(int32_t type, int32_t axis) {
  texture_mapping_reset();
  texture_mapping_entry e = texture_mapping[0];
  e.type = type;
  e.axis = axis;
  e.size = {2, 4, 8};
  e.center = {1, 1, 1};
  return e;
}

TEST(TextureMap, ResetValues) {
  texture_mapping[7].type = 3;
  texture_mapping[7].size.x = 5;
  texture_mapping_reset();
  for (const texture_mapping_entry& e : texture_mapping) {
    EXPECT_EQ(e.type, TEXTURE_MAP_NONE);
    EXPECT_EQ(e.axis, TEXTURE_AXIS_Y);
    EXPECT_EQ(e.size.x, 0);
    EXPECT_EQ(e.center.z, 0);
    EXPECT_EQ(e.width_tiling, 1.0f);
    EXPECT_EQ(e.height_tiling, 1.0f);
  }
}

TEST(TextureMap, PlanarPerAxis) {
  float u = -1, v = -1;
  texture_mapping_entry e = entry(TEXTURE_MAP_PLANAR, TEXTURE_AXIS_Y);
  ASSERT_EQ(texture_map_point(&e, 1, 1, 1, &u, &v), 1);
  EXPECT_FLOAT_EQ(u, 0.5f);
  EXPECT_FLOAT_EQ(v, 0.5f);
  // Axis Y: u from x, v from z.
  ASSERT_EQ(texture_map_point(&e, 1.5f, 9, 3, &u, &v), 1);
  EXPECT_FLOAT_EQ(u, 0.75f);
  EXPECT_FLOAT_EQ(v, 0.25f);
  // Axis X: u from z, v from y; the fraction keeps its sign.
  e.axis = TEXTURE_AXIS_X;
  ASSERT_EQ(texture_map_point(&e, 9, 3, -1, &u, &v), 1);
  EXPECT_FLOAT_EQ(u, 0.25f);
  EXPECT_FLOAT_EQ(v, 0.0f);
  ASSERT_EQ(texture_map_point(&e, 9, 4, 1, &u, &v), 1);
  EXPECT_FLOAT_EQ(v, -0.25f);
  // Axis Z: u from x, v from y; whole repeats drop out.
  e.axis = TEXTURE_AXIS_Z;
  ASSERT_EQ(texture_map_point(&e, 1 + 2 * 3.25f, 1, 0, &u, &v), 1);
  EXPECT_FLOAT_EQ(u, 0.75f);
  EXPECT_FLOAT_EQ(v, 0.5f);
}

TEST(TextureMap, CylinderAndSphere) {
  float u, v;
  texture_mapping_entry e = entry(TEXTURE_MAP_CYLINDRICAL, TEXTURE_AXIS_Y);
  // Straight ahead along +z: heading 0, so u = fract(1) = 0; v from the height.
  ASSERT_EQ(texture_map_point(&e, 1, 2, 5, &u, &v), 1);
  EXPECT_NEAR(u, 0, 1e-6);
  EXPECT_NEAR(v, 0.25, 1e-6);
  // Along +x: the point is (-x, y, z) = (-4, 0, 0), heading +pi/2, u = 1 - 1 = 0 again
  // (the map turns twice around the cylinder); along -x heading -pi/2 gives u = fract(2) = 0.
  ASSERT_EQ(texture_map_point(&e, 5, 1, 1, &u, &v), 1);
  EXPECT_NEAR(u, 0, 1e-6);
  // An eighth turn in between: heading -pi/4, u = 1 + 0.5 = 1.5, so 0.5.
  ASSERT_EQ(texture_map_point(&e, 0, 1, 2, &u, &v), 1);
  EXPECT_NEAR(u, 0.5, 1e-6);
  e.width_tiling = 3;
  ASSERT_EQ(texture_map_point(&e, 0, 1, 2, &u, &v), 1);
  EXPECT_NEAR(u, 0.5, 1e-6);

  e = entry(TEXTURE_MAP_SPHERICAL, TEXTURE_AXIS_Y);
  // Straight up: pitch pi/2, v = 0.5 - 0.5 = 0.
  ASSERT_EQ(texture_map_point(&e, 1, 3, 1, &u, &v), 1);
  EXPECT_NEAR(v, 0, 1e-6);
  ASSERT_EQ(texture_map_point(&e, 1, -3, 1, &u, &v), 1);
  EXPECT_NEAR(v, 0, 1e-6);
  ASSERT_EQ(texture_map_point(&e, 1, 1, 3, &u, &v), 1);
  EXPECT_NEAR(v, 0.5, 1e-6);
  ASSERT_EQ(texture_map_point(&e, 1, 2, 2, &u, &v), 1);
  EXPECT_NEAR(v, 0.25, 1e-6);
  e.height_tiling = 2;
  ASSERT_EQ(texture_map_point(&e, 1, 2, 2, &u, &v), 1);
  EXPECT_NEAR(v, 0.5, 1e-6);
}

TEST(TextureMap, HeadingAndPitch) {
  const double pi = 3.141592654;
  EXPECT_EQ(texture_map_heading(0, 5, 0), 0);
  EXPECT_NEAR(texture_map_heading(-1, 0, 0), pi / 2, 1e-9);
  EXPECT_NEAR(texture_map_heading(1, 0, 0), -pi / 2, 1e-9);
  EXPECT_NEAR(texture_map_heading(1, 0, 1), -pi / 4, 1e-9);
  EXPECT_NEAR(texture_map_heading(1, 0, -1), pi + pi / 4, 1e-9);
  EXPECT_EQ(texture_map_pitch(0, 0, 0), 0);
  EXPECT_NEAR(texture_map_pitch(0, -2, 0), -pi / 2, 1e-9);
  EXPECT_NEAR(texture_map_pitch(0, 2, 0), pi / 2, 1e-9);
  EXPECT_NEAR(texture_map_pitch(3, 5, 4), std::atan(1.0), 1e-9);
}

TEST(TextureMap, CubicAndOthers) {
  float u = 7, v = 7;
  texture_mapping_entry e = entry(TEXTURE_MAP_CUBIC, TEXTURE_AXIS_Y);
  ASSERT_EQ(texture_map_point(&e, 1, 1, 2, &u, &v), 1);
  EXPECT_NEAR(u, 0.5, 1e-6);
  EXPECT_NEAR(v, 0.5, 1e-6);
  ASSERT_EQ(texture_map_point(&e, 2, 1, 1, &u, &v), 1);
  EXPECT_NEAR(u, 0.75, 1e-6);
  u = v = 7;
  e.type = TEXTURE_MAP_REFLECTION;
  EXPECT_EQ(texture_map_point(&e, 1, 2, 3, &u, &v), 0);
  e.type = TEXTURE_MAP_NONE;
  EXPECT_EQ(texture_map_point(&e, 1, 2, 3, &u, &v), 0);
  EXPECT_EQ(u, 7);
  EXPECT_EQ(v, 7);
}

TEST(TextureMap, UnsetSizesStayFinite) {
  float u, v;
  for (int32_t type : {TEXTURE_MAP_PLANAR, TEXTURE_MAP_CYLINDRICAL, TEXTURE_MAP_SPHERICAL}) {
    for (int32_t axis : {TEXTURE_AXIS_X, TEXTURE_AXIS_Y, TEXTURE_AXIS_Z}) {
      texture_mapping_reset();
      texture_mapping_entry e = texture_mapping[0];
      e.type = type;
      e.axis = axis;
      ASSERT_EQ(texture_map_point(&e, 3, -4, 5, &u, &v), 1);
      EXPECT_TRUE(std::isfinite(u)) << type << " " << axis;
      EXPECT_TRUE(std::isfinite(v)) << type << " " << axis;
    }
  }
}

} // namespace
