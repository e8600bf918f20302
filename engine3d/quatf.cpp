#include "quatf.h"

#include <algorithm>
#include <cmath>

quatf* quatf_from_axis_angle(quatf* out, float angle, float ax, float ay, float az) {
  const float n = std::sqrt(ax * ax + ay * ay + az * az);
  if (ax == 0 && ay == 0 && az == 0) {
    *out = {0, 1, 0, 0};
    return out;
  }
  const float s = std::sin(angle / 2);
  *out = {std::cos(angle / 2), s * ax / n, s * ay / n, s * az / n};
  return out;
}

quatf* quatf_mul(quatf* out, const quatf* p, const quatf* q) {
  *out = {p->w * q->w - p->x * q->x - p->y * q->y - p->z * q->z, p->w * q->x + p->x * q->w + p->y * q->z - p->z * q->y,
          p->w * q->y + p->y * q->w + p->z * q->x - p->x * q->z, p->w * q->z + p->z * q->w + p->x * q->y - p->y * q->x};
  return out;
}

void quatf_to_axis_angle(const quatf* q, float* angle, float* ax, float* ay, float* az) {
  const float n = std::sqrt(q->x * q->x + q->y * q->y + q->z * q->z);
  if (n > 0) {
    // Products of many keys drift off unit length; acos needs [-1, 1].
    *angle = 2 * std::acos(std::clamp(q->w, -1.0f, 1.0f));
    *ax = q->x / n;
    *ay = q->y / n;
    *az = q->z / n;
  } else {
    *angle = 0;
    *ax = 1;
    *ay = 0;
    *az = 0;
  }
}
