// Position and rotation splines: segments, clamping, Catmull-Rom tangents,
// tracks too short for a segment, and the single-precision quaternions the
// rotation keys are accumulated with.
#include "quatf.h"
#include "spline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

struct position_deleter {
  void operator()(position_spline* s) const { position_spline_free(s); }
};
struct rotation_deleter {
  void operator()(rotation_spline* s) const { rotation_spline_free(s); }
};
using position_ptr = std::unique_ptr<position_spline, position_deleter>;
using rotation_ptr = std::unique_ptr<rotation_spline, rotation_deleter>;

constexpr double PI = 3.14159265358979323846;

std::vector<double> value_at(const position_spline* s, double t) {
  double v[3];
  position_spline_value(s, t, v);
  return {v[0], v[1], v[2]};
}

TEST(Spline, FourKeysMakeOneSegmentClampedAtBothEnds) {
  const std::vector<position_key> keys = {
      {0, 0, 0, 0, 0, 0, 0}, {10, 1, 2, 3, 0, 0, 0}, {20, 4, 6, 5, 0, 0, 0}, {35, 9, 9, 9, 0, 0, 0}};
  position_ptr s(position_spline_create(keys.data(), 4));
  ASSERT_TRUE(s);
  ASSERT_EQ(s->segment_count, 1);
  EXPECT_EQ(s->segments[0].t1, 10);
  EXPECT_EQ(s->segments[0].t2, 20);
  EXPECT_EQ(s->segments[0].span, 10);
  for (double t : {-100.0, 0.0, 5.0, 10.0})
    EXPECT_EQ(value_at(s.get(), t), (std::vector<double>{1, 2, 3})) << t;
  for (double t : {20.0, 30.0, 1e9}) {
    const std::vector<double> v = value_at(s.get(), t);
    EXPECT_NEAR(v[0], 4, 1e-12) << t;
    EXPECT_NEAR(v[1], 6, 1e-12) << t;
    EXPECT_NEAR(v[2], 5, 1e-12) << t;
  }
  // Beyond the end it is exactly the value at s = 1.
  EXPECT_EQ(value_at(s.get(), 20), value_at(s.get(), 1e9));
  // Inside, the curve moves between the keys.
  const std::vector<double> mid = value_at(s.get(), 15);
  EXPECT_GT(mid[0], 1);
  EXPECT_LT(mid[0], 4);
}

TEST(Spline, CatmullRomWithEquallySpacedKeys) {
  const double p[6] = {0, 3, -2, 5, 1, 4};
  std::vector<position_key> keys;
  for (int i = 0; i < 6; i++)
    keys.push_back({double(2 * i), p[i], -p[i], 0.5 * p[i], 0, 0, 0});
  position_ptr s(position_spline_create(keys.data(), 6));
  ASSERT_TRUE(s);
  ASSERT_EQ(s->segment_count, 3);
  for (int j = 0; j < 3; j++) {
    // The outgoing tangent is (P2 - P0) / 2 around the segment's first key.
    EXPECT_NEAR(s->segments[j].k1[0], (p[j + 2] - p[j]) / 2, 1e-12) << j;
    // The inner keys are passed through.
    EXPECT_NEAR(value_at(s.get(), 2.0 * (j + 1))[0], p[j + 1], 1e-12) << j;
    // Any point of the segment: the Catmull-Rom polynomial.
    for (double u : {0.25, 0.5, 0.8}) {
      const double p0 = p[j], p1 = p[j + 1], p2 = p[j + 2], p3 = p[j + 3];
      const double cr = 0.5 * (2 * p1 + (p2 - p0) * u + (2 * p0 - 5 * p1 + 4 * p2 - p3) * u * u +
                               (3 * p1 - p0 - 3 * p2 + p3) * u * u * u);
      const std::vector<double> v = value_at(s.get(), 2.0 * (j + 1) + 2 * u);
      EXPECT_NEAR(v[0], cr, 1e-9) << j << " " << u;
      EXPECT_NEAR(v[1], -cr, 1e-9);
      EXPECT_NEAR(v[2], 0.5 * cr, 1e-9);
    }
  }
}

TEST(Spline, TensionContinuityBiasShapeTheTangents) {
  std::vector<position_key> keys = {
      {0, 0, 0, 0, 0, 0, 0}, {1, 1, 0, 0, 0, 0, 0}, {2, 3, 0, 0, 0, 0, 0}, {3, 6, 0, 0, 0, 0, 0}};
  keys[1].tension = 1;
  keys[2].tension = 1;
  position_ptr tight(position_spline_create(keys.data(), 4));
  // Full tension: no tangents, the curve is a smoothstep between the keys.
  EXPECT_EQ(tight->segments[0].k1[0], 0);
  EXPECT_NEAR(value_at(tight.get(), 1.5)[0], 2, 1e-12);
  keys[1].tension = 0;
  keys[1].bias = 1;
  position_ptr biased(position_spline_create(keys.data(), 4));
  // Bias 1 takes the outgoing tangent from the incoming side only: 1 x (P1 - P0).
  EXPECT_NEAR(biased->segments[0].k1[0], 1, 1e-12);
}

TEST(Spline, ShortTracksHoldTheirFirstKey) {
  for (int n = 1; n <= 3; n++) {
    std::vector<position_key> keys;
    std::vector<rotation_key> rkeys;
    for (int i = 0; i < n; i++) {
      keys.push_back({double(i), 1.0 + i, 2.0 + i, 3.0 + i, 0, 0, 0});
      rkeys.push_back({double(i), 0, 0, 1, 0.5 + i, 0, 0, 0});
    }
    position_ptr s(position_spline_create(keys.data(), n));
    rotation_ptr r(rotation_spline_create(rkeys.data(), n));
    ASSERT_TRUE(s);
    ASSERT_TRUE(r);
    EXPECT_EQ(s->segment_count, 0);
    for (double t : {-1.0, 0.0, 1.5, 10.0}) {
      EXPECT_EQ(value_at(s.get(), t), (std::vector<double>{1, 2, 3}));
      double v[4];
      rotation_spline_value(r.get(), t, v);
      EXPECT_EQ(v[2], 1);
      EXPECT_EQ(v[3], 0.5);
    }
  }
  EXPECT_FALSE(position_spline_create(nullptr, 0));
  const position_key one = {0, 0, 0, 0, 0, 0, 0};
  EXPECT_FALSE(position_spline_create(&one, 0));
}

TEST(Spline, KeysSharingATimeStayFinite) {
  const std::vector<position_key> keys = {{5, 0, 0, 0, 0, 0, 0},
                                          {5, 1, 1, 1, 0, 0, 0},
                                          {5, 2, 2, 2, 0, 0, 0},
                                          {5, 3, 3, 3, 0, 0, 0},
                                          {6, 4, 4, 4, 0, 0, 0}};
  position_ptr s(position_spline_create(keys.data(), 5));
  std::vector<rotation_key> rkeys;
  for (const position_key& k : keys)
    rkeys.push_back({k.time, 0, 1, 0, k.x, 0, 0, 0});
  rotation_ptr r(rotation_spline_create(rkeys.data(), 5));
  for (double t : {4.0, 5.0, 5.5, 6.0, 7.0}) {
    for (double v : value_at(s.get(), t))
      EXPECT_TRUE(std::isfinite(v)) << t;
    double q[4];
    rotation_spline_value(r.get(), t, q);
    for (double v : q)
      EXPECT_TRUE(std::isfinite(v)) << t;
  }
}

TEST(Spline, RotationAtConstantSpeedIsTheSlerp) {
  std::vector<rotation_key> keys;
  for (int i = 0; i < 5; i++)
    keys.push_back({double(i), 0, 0, 1, i * PI / 4, 0, 0, 0});
  rotation_ptr r(rotation_spline_create(keys.data(), 5));
  ASSERT_TRUE(r);
  ASSERT_EQ(r->segment_count, 2);
  double v[4];
  rotation_spline_value(r.get(), -3, v);
  EXPECT_NEAR(v[3], PI / 4, 1e-9);
  EXPECT_NEAR(v[2], 1, 1e-9);
  rotation_spline_value(r.get(), 1.5, v);
  EXPECT_NEAR(v[3], 1.5 * PI / 4, 1e-9);
  EXPECT_NEAR(v[2], 1, 1e-9);
  rotation_spline_value(r.get(), 2.25, v);
  EXPECT_NEAR(v[3], 2.25 * PI / 4, 1e-9);
  rotation_spline_value(r.get(), 100, v);
  EXPECT_NEAR(v[3], 3 * PI / 4, 1e-9);
}

TEST(Spline, RotationTakesTheShortWayBetweenKeys) {
  // 350 degrees after 10 about the same axis: the neighbouring key is
  // negated so the turn goes the 20 degrees across zero.
  const double d = PI / 180;
  const std::vector<rotation_key> keys = {{0, 0, 0, 1, 10 * d, 0, 0, 0},
                                          {1, 0, 0, 1, 10 * d, 0, 0, 0},
                                          {2, 0, 0, 1, 350 * d, 0, 0, 0},
                                          {3, 0, 0, 1, 350 * d, 0, 0, 0}};
  rotation_ptr r(rotation_spline_create(keys.data(), 4));
  double v[4];
  rotation_spline_value(r.get(), 1.5, v);
  // Halfway is the identity (angle 0 or a full turn).
  EXPECT_NEAR(std::cos(v[3] / 2) * std::cos(v[3] / 2), 1, 1e-6);
}

TEST(Quatf, AxisAngleAndProducts) {
  quatf q;
  quatf_from_axis_angle(&q, 1.0f, 0, 0, 0);
  EXPECT_EQ(q.w, 0);
  EXPECT_EQ(q.x, 1);
  EXPECT_EQ(q.y, 0);
  EXPECT_EQ(q.z, 0);
  float angle, ax, ay, az;
  quatf_to_axis_angle(&q, &angle, &ax, &ay, &az);
  EXPECT_NEAR(angle, PI, 1e-6);
  EXPECT_EQ(ax, 1);
  // The axis is normalised.
  quatf_from_axis_angle(&q, float(PI / 2), 0, 0, 5);
  EXPECT_NEAR(q.w, std::sqrt(0.5), 1e-6);
  EXPECT_NEAR(q.z, std::sqrt(0.5), 1e-6);
  // Two quarter turns about Z make a half turn.
  quatf h;
  quatf_mul(&h, &q, &q);
  quatf_to_axis_angle(&h, &angle, &ax, &ay, &az);
  EXPECT_NEAR(angle, PI, 1e-5);
  EXPECT_NEAR(az, 1, 1e-6);
  // No vector part: angle 0 about X; w past 1 by rounding stays defined.
  const quatf drift = {1.0000001f, 0, 0, 0};
  quatf_to_axis_angle(&drift, &angle, &ax, &ay, &az);
  EXPECT_EQ(angle, 0);
  EXPECT_EQ(ax, 1);
  const quatf slight = {1.0000001f, 1e-4f, 0, 0};
  quatf_to_axis_angle(&slight, &angle, &ax, &ay, &az);
  EXPECT_EQ(angle, 0);
  EXPECT_EQ(ax, 1);
  // q applied first, then p: about X then about Z differs from the other order.
  quatf px, pz, a, b;
  quatf_from_axis_angle(&px, float(PI / 2), 1, 0, 0);
  quatf_from_axis_angle(&pz, float(PI / 2), 0, 0, 1);
  quatf_mul(&a, &pz, &px);
  quatf_mul(&b, &px, &pz);
  EXPECT_NEAR(a.w, 0.5, 1e-6);
  EXPECT_NEAR(a.x, 0.5, 1e-6);
  EXPECT_NEAR(a.y, 0.5, 1e-6);
  EXPECT_NEAR(a.z, 0.5, 1e-6);
  EXPECT_NEAR(b.y, -0.5, 1e-6);
}

} // namespace
