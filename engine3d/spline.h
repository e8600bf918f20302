// Keyframe splines of the render scene: Kochanek-Bartels curves through
// position keys and squad interpolation of rotation keys with
// Kochanek-Bartels tangents. Segment j runs from key j+1 to key j+2, so n
// keys make n - 3 segments; coefficients are computed once when a spline is
// built, so evaluation is one segment search and one cubic or squad.
#pragma once

#include "quat.h"

#include <cstdint>

struct position_key {
  double time;
  double x, y, z;
  double tension, continuity, bias;
};

struct rotation_key {
  double time;
  double ax, ay, az; // unit axis
  double angle;
  double tension, continuity, bias;
};

struct position_segment {
  double p1[3];
  double k1[3];
  double k2[3];
  double k3[3];
  double t1;
  double t2;
  double span; // t2 - t1
};

struct rotation_segment {
  quat q1;
  quat a;
  quat b;
  quat q2;
  double t1;
  double t2;
  double span;
};

// A track of one to three keys has no segment and holds the first key's value.
struct position_spline {
  int32_t segment_count;
  position_segment* segments;
  double hold[3];
};

struct rotation_spline {
  int32_t segment_count;
  rotation_segment* segments;
  double hold[4]; // axis x, y, z, angle
};

// None for no keys or on exhausted memory.
position_spline* position_spline_create(const position_key* keys, int32_t count);
rotation_spline* rotation_spline_create(const rotation_key* keys, int32_t count);
void position_spline_free(position_spline* s);
void rotation_spline_free(rotation_spline* s);

// The value at time t: before the first segment its start, after the last its end.
void position_spline_value(const position_spline* s, double t, double out[3]);
// Axis x, y, z and angle at time t.
void rotation_spline_value(const rotation_spline* s, double t, double out[4]);
