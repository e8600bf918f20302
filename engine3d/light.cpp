#include "light.h"

#include "mem.h"

light* light_create() {
  light* l = mem_alloc_array<light>(1);
  if (l)
    l->direction = {0, 0, 1};
  return l;
}

void light_free(light* l) {
  if (l)
    mem_free(l);
}

float light_intensity(const light* l, const vec3* p, const vec3* n) {
  vec3 d;
  vec3_sub(&d, &l->position, p);
  switch (l->type & LIGHT_TYPE_MASK) {
  case LIGHT_DIFFUSE:
  case LIGHT_DIFFUSE_ALT: {
    // A light exactly at the point gives a non-finite direction, whose
    // product fails the test below: it contributes nothing.
    vec3 dir;
    vec3_normalize(&dir, &d);
    const float dp = vec3_dot(&dir, n);
    return dp > 0 ? dp * l->intensity : 0;
  }
  case LIGHT_AMBIENT:
    return l->intensity;
  case LIGHT_FALLOFF:
  case LIGHT_FALLOFF_ALT: {
    const float dp = vec3_dot(&d, n);
    return dp > 0 ? l->intensity * l->factor * dp / vec3_dot(&d, &d) : 0;
  }
  case LIGHT_DISTANCE: {
    const float len = vec3_length(&d);
    // A light exactly at the point has no defined falloff: it contributes nothing.
    return len > 0 ? l->intensity * l->factor / len : 0;
  }
  default:
    return 0;
  }
}
