// Double-precision quaternions (w scalar part, then x, y, z) for keyframed
// rotations. Outputs may be one of the inputs.
#pragma once

struct quat {
  double w;
  double x;
  double y;
  double z;
};

inline constexpr quat quat_zero = {0.0, 0.0, 0.0, 0.0};
inline constexpr quat quat_identity = {1.0, 0.0, 0.0, 0.0};

// The axis is taken as given (the caller supplies a unit axis).
quat* quat_from_axis_angle(quat* out, double angle, double ax, double ay, double az);
// Angle 0 about (1, 0, 0) when the vector part is zero.
void quat_to_axis_angle(const quat* q, double* angle, double* ax, double* ay, double* az);
quat* quat_add(quat* out, const quat* a, const quat* b);
quat* quat_sub(quat* out, const quat* a, const quat* b);
// Hamilton product p.q.
quat* quat_mul(quat* out, const quat* p, const quat* q);
quat* quat_scale(quat* out, double s, const quat* q);
quat* quat_negate(quat* out, const quat* q);
double quat_dot(const quat* a, const quat* b);
quat* quat_conjugate(quat* out, const quat* q);
quat* quat_exp(quat* out, const quat* q);
quat* quat_log(quat* out, const quat* q);
// Follows the arc between p and q exactly as passed (no sign flip).
quat* quat_slerp(quat* out, double t, const quat* p, const quat* q);
// Spherical quadrangle interpolation between keys p and q with controls a, b.
quat* quat_squad(quat* out, double t, const quat* p, const quat* a, const quat* b, const quat* q);
