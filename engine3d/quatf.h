// Single-precision quaternions (w scalar part, then x, y, z), used where
// rotation keys are accumulated one after another.
#pragma once

struct quatf {
  float w;
  float x;
  float y;
  float z;
};

// The axis is normalised here; a zero axis gives (0, 1, 0, 0), a half turn about X.
quatf* quatf_from_axis_angle(quatf* out, float angle, float ax, float ay, float az);
// Hamilton product p.q (q applied first, then p).
quatf* quatf_mul(quatf* out, const quatf* p, const quatf* q);
// Angle 2 acos(w) and the unit vector part; angle 0 about (1, 0, 0) when the
// vector part is zero.
void quatf_to_axis_angle(const quatf* q, float* angle, float* ax, float* ay, float* az);
