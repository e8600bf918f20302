#include "mat3.h"

#include <cmath>

vec3* mat3_transform(vec3* out, const vec3* v, const mat3* m) {
  const float* a = m->m;
  const vec3 r = {a[0] * v->x + a[3] * v->y + a[6] * v->z, a[1] * v->x + a[4] * v->y + a[7] * v->z,
                  a[2] * v->x + a[5] * v->y + a[8] * v->z};
  *out = r;
  return out;
}

void mat3_transform_array(vec3* out, const vec3* in, int32_t count, const mat3* m) {
  const float* a = m->m;
  for (int32_t i = 0; i < count; i++) {
    const float x = in[i].x, y = in[i].y, z = in[i].z;
    out[i].x = a[0] * x + a[3] * y + a[6] * z;
    out[i].y = a[1] * x + a[4] * y + a[7] * z;
    out[i].z = a[2] * x + a[5] * y + a[8] * z;
  }
}

mat3* mat3_mul(mat3* out, const mat3* a, const mat3* b) {
  mat3 r;
  for (int i = 0; i < 3; i++)
    for (int k = 0; k < 3; k++)
      r.m[3 * i + k] = a->m[3 * i] * b->m[k] + a->m[3 * i + 1] * b->m[3 + k] + a->m[3 * i + 2] * b->m[6 + k];
  *out = r;
  return out;
}

mat3* mat3_transpose(mat3* out, const mat3* a) {
  mat3 r;
  for (int i = 0; i < 3; i++)
    for (int k = 0; k < 3; k++)
      r.m[3 * i + k] = a->m[3 * k + i];
  *out = r;
  return out;
}

mat3* mat3_rotation_xyz(mat3* out, float ax, float ay, float az) {
  const float sx = std::sin(ax), cx = std::cos(ax);
  const float sy = std::sin(ay), cy = std::cos(ay);
  const float sz = std::sin(az), cz = std::cos(az);
  float* m = out->m;
  m[0] = cy * cz;
  m[1] = sx * sy * cz + cx * sz;
  m[2] = sx * sz - cx * sy * cz;
  m[3] = -cy * sz;
  m[4] = cx * cz - sx * sy * sz;
  m[5] = cx * sy * sz + sx * cz;
  m[6] = sy;
  m[7] = -sx * cy;
  m[8] = cx * cy;
  return out;
}

mat3* mat3_rotation_axis(mat3* out, const vec3* axis, float angle) {
  vec3 n;
  vec3_normalize(&n, axis);
  const float x = n.x, y = n.y, z = n.z;
  const float co = std::cos(angle), si = std::sin(angle), t = 1.0f - co;
  float* m = out->m;
  m[0] = t * x * x + co;
  m[1] = t * x * y + z * si;
  m[2] = t * x * z - y * si;
  m[3] = t * x * y - z * si;
  m[4] = t * y * y + co;
  m[5] = t * y * z + x * si;
  m[6] = t * x * z + y * si;
  m[7] = t * y * z - x * si;
  m[8] = t * z * z + co;
  return out;
}

mat3* mat3_look(mat3* out, const vec3* forward, const vec3* up) {
  vec3 f, u, s, d;
  vec3_normalize(&f, forward);
  vec3_normalize(&u, up);
  vec3_scale(&d, vec3_dot(&f, &u), &f);
  vec3_sub(&u, &u, &d);
  vec3_normalize(&u, &u);
  vec3_cross(&s, &u, &f);
  const float m[9] = {s.x, s.y, s.z, u.x, u.y, u.z, f.x, f.y, f.z};
  for (int i = 0; i < 9; i++)
    out->m[i] = m[i];
  return out;
}
