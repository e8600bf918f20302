#include "vec3.h"

#include <cmath>

vec3* vec3_add(vec3* out, const vec3* a, const vec3* b) {
  *out = {a->x + b->x, a->y + b->y, a->z + b->z};
  return out;
}

vec3* vec3_sub(vec3* out, const vec3* a, const vec3* b) {
  *out = {a->x - b->x, a->y - b->y, a->z - b->z};
  return out;
}

vec3* vec3_scale(vec3* out, float s, const vec3* a) {
  *out = {s * a->x, s * a->y, s * a->z};
  return out;
}

float vec3_dot(const vec3* a, const vec3* b) { return a->x * b->x + a->y * b->y + a->z * b->z; }

vec3* vec3_cross(vec3* out, const vec3* a, const vec3* b) {
  *out = {a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z, a->x * b->y - a->y * b->x};
  return out;
}

float vec3_length(const vec3* a) { return std::sqrt(vec3_dot(a, a)); }

vec3* vec3_normalize(vec3* out, const vec3* a) {
  const float inv = 1.0f / vec3_length(a);
  return vec3_scale(out, inv, a);
}
