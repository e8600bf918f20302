// Lights and the light model that render_polygon sums.
#pragma once

#include "vec3.h"

#include <cstdint>

struct light {
  int32_t type; // light model, low four bits used
  vec3 position;
  vec3 direction;
  float intensity;
  float factor;
  int32_t reserved;
};

// Type 0 at the origin, direction (0, 0, 1); none on exhausted memory.
light* light_create();
void light_free(light* l);

// Intensity one light contributes at point p with unit normal n. Types 1 and 2
// are diffuse, 4 ambient, 9 and 10 diffuse with distance falloff, 12 falloff
// only; every other type contributes nothing.
float light_intensity(const light* l, const vec3* p, const vec3* n);
