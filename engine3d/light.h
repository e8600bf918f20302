// Lights and the light model that render_polygon sums.
#pragma once

#include "vec3.h"

#include <cstdint>

// Light models (the low four bits of type).
enum : int32_t {
  LIGHT_DIFFUSE = 1,      // from its position, by the angle to the normal
  LIGHT_DIFFUSE_ALT = 2,  // the same model as LIGHT_DIFFUSE
  LIGHT_AMBIENT = 4,      // its intensity everywhere
  LIGHT_FALLOFF = 9,      // diffuse, weakening with distance
  LIGHT_FALLOFF_ALT = 10, // the same model as LIGHT_FALLOFF
  LIGHT_DISTANCE = 12,    // weakening with distance only
  LIGHT_TYPE_MASK = 15,
};

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

// Intensity one light contributes at point p with unit normal n; types other
// than the models above contribute nothing.
float light_intensity(const light* l, const vec3* p, const vec3* n);
