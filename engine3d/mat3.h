// 3x3 rotation matrices of nine floats m0..m8, stored column by column:
// m0..m2 is the image of the x axis, m3..m5 of y, m6..m8 of z.
#pragma once

#include "vec3.h"

#include <cstdint>

struct mat3 {
  float m[9];
};

// out = m applied to v.
vec3* mat3_transform(vec3* out, const vec3* v, const mat3* m);
// out[i] = m applied to in[i]; the two arrays must not overlap.
void mat3_transform_array(vec3* out, const vec3* in, int32_t count, const mat3* m);
// Applying out equals applying a first and then b.
mat3* mat3_mul(mat3* out, const mat3* a, const mat3* b);
mat3* mat3_transpose(mat3* out, const mat3* a);
// Turns about Z by az, then about Y by ay, then about X by ax.
mat3* mat3_rotation_xyz(mat3* out, float ax, float ay, float az);
// Right-hand rotation by angle about axis (normalised here).
mat3* mat3_rotation_axis(mat3* out, const vec3* axis, float angle);
// Orientation whose z axis is forward and whose y axis is up made orthogonal.
mat3* mat3_look(mat3* out, const vec3* forward, const vec3* up);
