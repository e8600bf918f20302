#include "quat.h"

#include <algorithm>
#include <cmath>

// Below this sine the angle is treated as zero, where the formulas would divide by it.
static constexpr double QUAT_SMALL_SINE = 0.001;

quat* quat_from_axis_angle(quat* out, double angle, double ax, double ay, double az) {
  const double s = std::sin(angle / 2);
  *out = {std::cos(angle / 2), s * ax, s * ay, s * az};
  return out;
}

void quat_to_axis_angle(const quat* q, double* angle, double* ax, double* ay, double* az) {
  const double n = q->x * q->x + q->y * q->y + q->z * q->z;
  if (n > 0) {
    const double len = std::sqrt(n);
    // acos is only defined on [-1, 1]; a unit quaternion may drift past it by rounding.
    *angle = 2 * std::acos(std::clamp(q->w, -1.0, 1.0));
    *ax = q->x / len;
    *ay = q->y / len;
    *az = q->z / len;
  } else {
    *angle = 0;
    *ax = 1;
    *ay = 0;
    *az = 0;
  }
}

quat* quat_add(quat* out, const quat* a, const quat* b) {
  *out = {a->w + b->w, a->x + b->x, a->y + b->y, a->z + b->z};
  return out;
}

quat* quat_sub(quat* out, const quat* a, const quat* b) {
  *out = {a->w - b->w, a->x - b->x, a->y - b->y, a->z - b->z};
  return out;
}

quat* quat_mul(quat* out, const quat* p, const quat* q) {
  *out = {p->w * q->w - p->x * q->x - p->y * q->y - p->z * q->z, p->w * q->x + p->x * q->w + p->y * q->z - p->z * q->y,
          p->w * q->y + p->y * q->w + p->z * q->x - p->x * q->z, p->w * q->z + p->z * q->w + p->x * q->y - p->y * q->x};
  return out;
}

quat* quat_scale(quat* out, double s, const quat* q) {
  *out = {s * q->w, s * q->x, s * q->y, s * q->z};
  return out;
}

quat* quat_negate(quat* out, const quat* q) {
  *out = {-q->w, -q->x, -q->y, -q->z};
  return out;
}

double quat_dot(const quat* a, const quat* b) { return a->w * b->w + a->x * b->x + a->y * b->y + a->z * b->z; }

quat* quat_conjugate(quat* out, const quat* q) {
  *out = {q->w, -q->x, -q->y, -q->z};
  return out;
}

quat* quat_exp(quat* out, const quat* q) {
  const double theta = std::sqrt(q->x * q->x + q->y * q->y + q->z * q->z);
  const double s = std::sin(theta);
  if (std::fabs(s) >= QUAT_SMALL_SINE) {
    const double k = s / theta;
    *out = {std::cos(theta), q->x * k, q->y * k, q->z * k};
  } else {
    *out = {std::cos(theta), q->x, q->y, q->z};
  }
  return out;
}

quat* quat_log(quat* out, const quat* q) {
  if (std::fabs(q->w) < 1) {
    const double theta = std::acos(q->w);
    const double s = std::sin(theta);
    if (std::fabs(s) >= QUAT_SMALL_SINE) {
      const double k = theta / s;
      *out = {0, q->x * k, q->y * k, q->z * k};
      return out;
    }
  }
  *out = {0, q->x, q->y, q->z};
  return out;
}

quat* quat_slerp(quat* out, double t, const quat* p, const quat* q) {
  const double d = std::clamp(quat_dot(p, q), -1.0, 1.0);
  const double theta = std::acos(d);
  const double s = std::sin(theta);
  if (s >= QUAT_SMALL_SINE) {
    const double kp = std::sin((1 - t) * theta) / s;
    const double kq = std::sin(t * theta) / s;
    *out = {p->w * kp + q->w * kq, p->x * kp + q->x * kq, p->y * kp + q->y * kq, p->z * kp + q->z * kq};
  } else {
    *out = *p;
  }
  return out;
}

quat* quat_squad(quat* out, double t, const quat* p, const quat* a, const quat* b, const quat* q) {
  quat s1, s2;
  quat_slerp(&s1, t, p, q);
  quat_slerp(&s2, t, a, b);
  return quat_slerp(out, 2 * t * (1 - t), &s1, &s2);
}
