#include "polygondrawer.h"

#include "drawers.h"

namespace {
polygondrawer safe_set = {"Software SAFE polygondrawer",
                          nullptr,
                          safe_line,
                          safe_solid,
                          safe_wire,
                          nullptr,
                          safe_texture,
                          nullptr,
                          nullptr,
                          nullptr,
                          safe_texture_gouraud,
                          {}};
polygondrawer correct_set = {"Software CORRECT and general polygondrawer",
                             nullptr,
                             float_line,
                             scan_solid,
                             float_wire,
                             nullptr,
                             texture_general,
                             nullptr,
                             nullptr,
                             nullptr,
                             nullptr,
                             {}};
polygondrawer fast_set = {"Software FAST-CORRECT polygondrawer",
                          nullptr,
                          float_line,
                          scan_solid,
                          float_wire,
                          nullptr,
                          texture_fast,
                          nullptr,
                          nullptr,
                          nullptr,
                          nullptr,
                          {}};
polygondrawer correct_z_set = {"Software Correct and general Z-bufferd polygondrawer",
                               nullptr,
                               float_line,
                               scan_solid,
                               float_wire,
                               nullptr,
                               texture_general_z,
                               nullptr,
                               nullptr,
                               nullptr,
                               nullptr,
                               {}};
polygondrawer fast_z_set = {"Software FAST-CORRECT Z-buffer polygondrawer",
                            nullptr,
                            float_line,
                            scan_solid,
                            float_wire,
                            nullptr,
                            texture_fast_z,
                            nullptr,
                            nullptr,
                            nullptr,
                            nullptr,
                            {}};
polygondrawer perspective_z_set = {"Software Z-Correct and Z-bufferd polygondrawer",
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   texture_perspective_z,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   {}};

const polygondrawer* current = &correct_set;
} // namespace

int select_polygondrawer(int32_t number) {
  switch (number & 255) {
  case 2:
    current = &correct_set;
    break;
  case 8:
    current = &fast_set;
    break;
  case 18:
    current = &correct_z_set;
    break;
  case 24:
    current = &fast_z_set;
    break;
  case 32:
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
