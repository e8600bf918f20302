#include "polygondrawer.h"

#include "drawers.h"

namespace {
polygondrawer safe_set = {
    .name = "Software SAFE polygondrawer",
    .line = safe_line,
    .solid = safe_solid,
    .wire = safe_wire,
    .texture = safe_texture,
    .texture_gouraud = safe_texture_gouraud,
};
polygondrawer correct_set = {
    .name = "Software CORRECT and general polygondrawer",
    .line = float_line,
    .solid = scan_solid,
    .wire = float_wire,
    .texture = texture_general,
};
polygondrawer fast_set = {
    .name = "Software FAST-CORRECT polygondrawer",
    .line = float_line,
    .solid = scan_solid,
    .wire = float_wire,
    .texture = texture_fast,
};
polygondrawer correct_z_set = {
    .name = "Software Correct and general Z-bufferd polygondrawer",
    .line = float_line,
    .solid = scan_solid,
    .wire = float_wire,
    .texture = texture_general_z,
};
polygondrawer fast_z_set = {
    .name = "Software FAST-CORRECT Z-buffer polygondrawer",
    .line = float_line,
    .solid = scan_solid,
    .wire = float_wire,
    .texture = texture_fast_z,
};
polygondrawer perspective_z_set = {
    .name = "Software Z-Correct and Z-bufferd polygondrawer",
    .texture = texture_perspective_z,
};

const polygondrawer* current = &correct_set;
} // namespace

int select_polygondrawer(int32_t number) {
  switch (number & 255) {
  case POLYGONDRAWER_CORRECT:
    current = &correct_set;
    break;
  case POLYGONDRAWER_FAST:
    current = &fast_set;
    break;
  case POLYGONDRAWER_CORRECT_Z:
    current = &correct_z_set;
    break;
  case POLYGONDRAWER_FAST_Z:
    current = &fast_z_set;
    break;
  case POLYGONDRAWER_PERSPECTIVE_Z:
    current = &perspective_z_set;
    break;
  default:
    current = &safe_set;
    break;
  }
  return 1;
}

const polygondrawer* current_polygondrawer() { return current; }

void draw_triangle(polygon* p, pixmap* target) {
  if (!(p->flags & POLY_TWO_SIDED)) {
    // Front faces run clockwise on the screen (y grows downwards).
    const vec3* v = p->v;
    const float s = (v[2].y - v[1].y) * (v[0].x - v[1].x) - (v[2].x - v[1].x) * (v[0].y - v[1].y);
    if (s > 0)
      return;
  }
  if ((p->flags & POLY_CUSTOM) && p->drawer) {
    p->drawer(p, target);
    return;
  }
  const polygondrawer* d = current;
  if (p->flags & POLY_WIRE) {
    if (d->wire)
      d->wire(p, target);
    return;
  }
  polygon_routine routine;
  switch (p->flags & 0x6FC) {
  case POLY_TEXTURE:
  case POLY_TEXTURE_ALT:
    routine = d->texture;
    break;
  case POLY_TEXTURE | POLY_FLAT_LIT:
    p->vertex_shade[0] = p->vertex_shade[1] = p->vertex_shade[2] = p->shade;
    routine = d->texture_flat;
    break;
  case POLY_TEXTURE | POLY_GOURAUD:
    routine = d->texture_gouraud;
    break;
  default:
    routine = d->solid;
    break;
  }
  if (routine)
    routine(p, target);
}
