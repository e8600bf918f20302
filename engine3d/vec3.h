// Single-precision 3D vectors. Every operation writes through its output
// argument (which may be one of the inputs) and returns it, so calls nest.
#pragma once

struct vec3 {
  float x;
  float y;
  float z;
};

vec3* vec3_add(vec3* out, const vec3* a, const vec3* b);
vec3* vec3_sub(vec3* out, const vec3* a, const vec3* b);
vec3* vec3_scale(vec3* out, float s, const vec3* a);
float vec3_dot(const vec3* a, const vec3* b);
vec3* vec3_cross(vec3* out, const vec3* a, const vec3* b);
float vec3_length(const vec3* a);
// No test for a zero vector: its components become non-finite.
vec3* vec3_normalize(vec3* out, const vec3* a);
