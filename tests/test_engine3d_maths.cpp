#include "mat3.h"
#include "quat.h"
#include "vec3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {
constexpr float PI_F = std::numbers::pi_v<float>;
constexpr double PI = std::numbers::pi;

void expect_vec(const vec3& v, float x, float y, float z, float tol = 1e-5f) {
  EXPECT_NEAR(v.x, x, tol);
  EXPECT_NEAR(v.y, y, tol);
  EXPECT_NEAR(v.z, z, tol);
}

void expect_quat(const quat& q, double w, double x, double y, double z, double tol = 1e-9) {
  EXPECT_NEAR(q.w, w, tol);
  EXPECT_NEAR(q.x, x, tol);
  EXPECT_NEAR(q.y, y, tol);
  EXPECT_NEAR(q.z, z, tol);
}

vec3 apply(const mat3& m, vec3 v) {
  vec3 out;
  mat3_transform(&out, &v, &m);
  return out;
}
} // namespace

TEST(Vec3, ProductsAndLength) {
  const vec3 a = {1, 2, 3}, b = {-4, 5, 0.5f};
  vec3 out;
  expect_vec(*vec3_add(&out, &a, &b), -3, 7, 3.5f);
  expect_vec(*vec3_sub(&out, &a, &b), 5, -3, 2.5f);
  expect_vec(*vec3_scale(&out, -2, &a), -2, -4, -6);
  EXPECT_FLOAT_EQ(vec3_dot(&a, &b), -4 + 10 + 1.5f);
  vec3_cross(&out, &a, &b);
  expect_vec(out, 2 * 0.5f - 3 * 5, 3 * -4 - 1 * 0.5f, 1 * 5 - 2 * -4);
  // The cross product is orthogonal to both factors.
  EXPECT_NEAR(vec3_dot(&out, &a), 0, 1e-4);
  EXPECT_NEAR(vec3_dot(&out, &b), 0, 1e-4);
  const vec3 c = {3, 4, 12};
  EXPECT_FLOAT_EQ(vec3_length(&c), 13);
}

TEST(Vec3, NormalizingZeroGivesNonFiniteComponents) {
  const vec3 zero = {0, 0, 0};
  vec3 out;
  vec3_normalize(&out, &zero);
  EXPECT_FALSE(std::isfinite(out.x));
  EXPECT_FALSE(std::isfinite(out.y));
  EXPECT_FALSE(std::isfinite(out.z));
}

TEST(Mat3, RotationXyzOfZeroIsExactlyIdentity) {
  mat3 m;
  mat3_rotation_xyz(&m, 0, 0, 0);
  const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  for (int i = 0; i < 9; i++)
    EXPECT_EQ(m.m[i], identity[i]) << i;
}

TEST(Mat3, RotationXyzTurnsAboutZThenYThenX) {
  const float ax = 0.3f, ay = -1.1f, az = 2.0f;
  mat3 m, rx, ry, rz;
  mat3_rotation_xyz(&m, ax, ay, az);
  mat3_rotation_xyz(&rx, ax, 0, 0);
  mat3_rotation_xyz(&ry, 0, ay, 0);
  mat3_rotation_xyz(&rz, 0, 0, az);
  const vec3 v = {0.5f, -2, 3};
  const vec3 stepwise = apply(rx, apply(ry, apply(rz, v)));
  expect_vec(apply(m, v), stepwise.x, stepwise.y, stepwise.z);
  // Right-handed elementary rotations: a quarter turn about Z takes x to y,
  // about X takes y to z, about Y takes z to x.
  mat3_rotation_xyz(&m, 0, 0, PI_F / 2);
  expect_vec(apply(m, {1, 0, 0}), 0, 1, 0);
  mat3_rotation_xyz(&m, PI_F / 2, 0, 0);
  expect_vec(apply(m, {0, 1, 0}), 0, 0, 1);
  mat3_rotation_xyz(&m, 0, PI_F / 2, 0);
  expect_vec(apply(m, {0, 0, 1}), 1, 0, 0);
}

TEST(Mat3, MulAppliesFirstThenSecond) {
  mat3 a, b, ab, identity;
  mat3_rotation_xyz(&a, 0.4f, 0.1f, -0.7f);
  const vec3 axis = {1, 2, 2};
  mat3_rotation_axis(&b, &axis, 1.3f);
  mat3_rotation_xyz(&identity, 0, 0, 0);
  mat3_mul(&ab, &a, &b);
  const vec3 v = {1, -1, 0.25f};
  const vec3 stepwise = apply(b, apply(a, v));
  expect_vec(apply(ab, v), stepwise.x, stepwise.y, stepwise.z);
  mat3 left, right;
  mat3_mul(&left, &identity, &a);
  mat3_mul(&right, &a, &identity);
  for (int i = 0; i < 9; i++) {
    EXPECT_FLOAT_EQ(left.m[i], a.m[i]);
    EXPECT_FLOAT_EQ(right.m[i], a.m[i]);
  }
  // The output may be an input.
  mat3 c = a;
  mat3_mul(&c, &c, &b);
  for (int i = 0; i < 9; i++)
    EXPECT_FLOAT_EQ(c.m[i], ab.m[i]);
}

TEST(Mat3, TransposeOfRotationIsItsInverse) {
  mat3 r, t, p;
  mat3_rotation_xyz(&r, 1.0f, -0.5f, 0.25f);
  mat3_transpose(&t, &r);
  mat3_mul(&p, &r, &t);
  for (int i = 0; i < 9; i++)
    EXPECT_NEAR(p.m[i], i % 4 == 0 ? 1 : 0, 1e-6) << i;
  EXPECT_EQ(t.m[1], r.m[3]);
  EXPECT_EQ(t.m[6], r.m[2]);
}

TEST(Mat3, RotationAxisFollowsTheRightHandRule) {
  mat3 m;
  const vec3 z = {0, 0, 1};
  mat3_rotation_axis(&m, &z, PI_F / 2);
  expect_vec(apply(m, {1, 0, 0}), 0, 1, 0);
  // The axis is normalised: a long axis gives the same rotation.
  const vec3 long_axis = {0, 0, 7};
  mat3 n;
  mat3_rotation_axis(&n, &long_axis, PI_F / 2);
  for (int i = 0; i < 9; i++)
    EXPECT_FLOAT_EQ(n.m[i], m.m[i]);
  // A point on the axis stays, others keep their distance to it.
  const vec3 axis = {1, 1, 0};
  mat3_rotation_axis(&m, &axis, 2.0f);
  expect_vec(apply(m, {3, 3, 0}), 3, 3, 0);
  const vec3 turned = apply(m, {0, 0, 2});
  EXPECT_NEAR(vec3_length(&turned), 2, 1e-5);
}

TEST(Mat3, LookAimsTheZAxis) {
  mat3 m;
  const vec3 f = {0, 0, 5}, up = {0, 3, 0};
  mat3_look(&m, &f, &up);
  const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  for (int i = 0; i < 9; i++)
    EXPECT_NEAR(m.m[i], identity[i], 1e-6) << i;
  // An up vector not orthogonal to forward is straightened.
  const vec3 f2 = {1, 0, 0}, up2 = {1, 1, 0};
  mat3_look(&m, &f2, &up2);
  expect_vec(apply(m, {0, 0, 1}), 1, 0, 0);
  expect_vec(apply(m, {0, 1, 0}), 0, 1, 0);
  expect_vec(apply(m, {1, 0, 0}), 0, 0, -1);
}

TEST(Mat3, TransformArrayMatchesSingleTransforms) {
  mat3 m;
  mat3_rotation_xyz(&m, 0.2f, 0.9f, -0.4f);
  const vec3 in[4] = {{1, 0, 0}, {0, 2, 0}, {3, -1, 4}, {-0.5f, 0.5f, 8}};
  vec3 out[4];
  mat3_transform_array(out, in, 4, &m);
  for (int i = 0; i < 4; i++) {
    const vec3 one = apply(m, in[i]);
    EXPECT_EQ(out[i].x, one.x);
    EXPECT_EQ(out[i].y, one.y);
    EXPECT_EQ(out[i].z, one.z);
  }
}

TEST(Quat, AxisAngleRoundTripAndIdentity) {
  double angle, x, y, z;
  quat_to_axis_angle(&quat_identity, &angle, &x, &y, &z);
  EXPECT_EQ(angle, 0);
  EXPECT_EQ(x, 1);
  EXPECT_EQ(y, 0);
  EXPECT_EQ(z, 0);
  quat q;
  const double s = 1 / std::sqrt(3.0);
  quat_from_axis_angle(&q, 1.2, s, s, s);
  quat_to_axis_angle(&q, &angle, &x, &y, &z);
  EXPECT_NEAR(angle, 1.2, 1e-12);
  EXPECT_NEAR(x, s, 1e-12);
  EXPECT_NEAR(y, s, 1e-12);
  EXPECT_NEAR(z, s, 1e-12);
  // The axis is taken as given, not normalised.
  quat_from_axis_angle(&q, PI, 2, 0, 0);
  expect_quat(q, std::cos(PI / 2), 2, 0, 0);
}

TEST(Quat, ProductComposesRotations) {
  quat a, b, ab;
  quat_from_axis_angle(&a, PI / 2, 0, 0, 1);
  quat_from_axis_angle(&b, PI / 2, 1, 0, 0);
  quat_mul(&ab, &b, &a); // a first, then b
  // Rotate the point (1, 0, 0) as q p q*: about Z to (0, 1, 0), about X to (0, 0, 1).
  quat p = {0, 1, 0, 0}, conj, tmp;
  quat_conjugate(&conj, &ab);
  quat_mul(&tmp, &ab, &p);
  quat_mul(&p, &tmp, &conj);
  expect_quat(p, 0, 0, 0, 1, 1e-12);
  // Hamilton's rules: i j = k, j i = -k.
  const quat i = {0, 1, 0, 0}, j = {0, 0, 1, 0};
  quat k;
  expect_quat(*quat_mul(&k, &i, &j), 0, 0, 0, 1);
  expect_quat(*quat_mul(&k, &j, &i), 0, 0, 0, -1);
}

TEST(Quat, LogAndExp) {
  quat out;
  expect_quat(*quat_log(&out, &quat_identity), 0, 0, 0, 0);
  expect_quat(*quat_exp(&out, &quat_zero), 1, 0, 0, 0);
  // For a unit quaternion exp undoes log.
  quat q, l;
  quat_from_axis_angle(&q, 2.5, 0, 0.6, 0.8);
  quat_log(&l, &q);
  expect_quat(l, 0, 0, 0.6 * 1.25, 0.8 * 1.25, 1e-12);
  quat_exp(&out, &l);
  expect_quat(out, q.w, q.x, q.y, q.z, 1e-12);
  // Below a sine of 0.001 the vector part is copied unchanged.
  const quat tiny = {0, 1e-5, 0, 0};
  quat_exp(&out, &tiny);
  expect_quat(out, std::cos(1e-5), 1e-5, 0, 0, 1e-15);
  const quat almost_one = {0.9999999999, 1e-6, 0, 0};
  quat_log(&out, &almost_one);
  expect_quat(out, 0, 1e-6, 0, 0, 1e-15);
}

TEST(Quat, SlerpEndsAndEqualKeys) {
  quat p, q, out;
  quat_from_axis_angle(&p, 0.3, 1, 0, 0);
  quat_from_axis_angle(&q, 1.9, 0, 1, 0);
  expect_quat(*quat_slerp(&out, 0, &p, &q), p.w, p.x, p.y, p.z);
  expect_quat(*quat_slerp(&out, 1, &p, &q), q.w, q.x, q.y, q.z, 1e-12);
  expect_quat(*quat_slerp(&out, 0.7, &p, &p), p.w, p.x, p.y, p.z);
  // Halfway between two rotations about one axis is the half angle.
  quat a, b;
  quat_from_axis_angle(&a, 0.2, 0, 0, 1);
  quat_from_axis_angle(&b, 1.0, 0, 0, 1);
  quat expected;
  quat_from_axis_angle(&expected, 0.6, 0, 0, 1);
  expect_quat(*quat_slerp(&out, 0.5, &a, &b), expected.w, expected.x, expected.y, expected.z, 1e-12);
  // No sign flip: the opposite of a key is reached along the long arc.
  quat neg;
  quat_negate(&neg, &b);
  quat_slerp(&out, 0.5, &a, &neg);
  EXPECT_LT(quat_dot(&out, &expected), 0.5);
}

TEST(Quat, SquadEndsAreTheKeys) {
  quat p, a, b, q, out;
  quat_from_axis_angle(&p, 0.1, 1, 0, 0);
  quat_from_axis_angle(&a, 0.5, 0, 1, 0);
  quat_from_axis_angle(&b, 0.9, 0, 0, 1);
  quat_from_axis_angle(&q, 1.4, 1, 0, 0);
  expect_quat(*quat_squad(&out, 0, &p, &a, &b, &q), p.w, p.x, p.y, p.z);
  expect_quat(*quat_squad(&out, 1, &p, &a, &b, &q), q.w, q.x, q.y, q.z, 1e-12);
  // With the controls equal to the keys' own path squad is slerp.
  quat s;
  quat_slerp(&s, 0.3, &p, &q);
  expect_quat(*quat_squad(&out, 0.3, &p, &p, &q, &q), s.w, s.x, s.y, s.z, 1e-12);
}
