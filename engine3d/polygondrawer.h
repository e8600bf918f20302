// Polygon drawer sets: named tables of drawing routines, one of which is
// current for the whole system.
#pragma once

#include "drawers.h"
#include "pixmap.h"
#include "polygon.h"

#include <cstdint>

struct polygondrawer {
  const char* name;
  polygon_routine unused1;
  line_routine line;
  polygon_routine solid;
  polygon_routine wire;
  polygon_routine unused5;
  polygon_routine texture;
  polygon_routine texture_flat;
  polygon_routine unused8;
  polygon_routine unused9;
  polygon_routine texture_gouraud;
  polygon_routine unused11[9];
};

// The numbers select_polygondrawer takes.
enum : int32_t {
  POLYGONDRAWER_SAFE = 1, // so does every number without a set of its own
  POLYGONDRAWER_CORRECT = 2,
  POLYGONDRAWER_FAST = 8,
  POLYGONDRAWER_CORRECT_Z = 18,     // per-pixel depth
  POLYGONDRAWER_FAST_Z = 24,        // depth per span
  POLYGONDRAWER_PERSPECTIVE_Z = 32, // perspective-correct texture with depth; nothing else
};

// Chooses the current set by the low 8 bits of number: the five numbers above
// past POLYGONDRAWER_SAFE select their set, every other value the SAFE set.
// Returns 1.
int select_polygondrawer(int32_t number);
const polygondrawer* current_polygondrawer();

// Back-face test and dispatch of one projected triangle to the current set.
// Writes vertex_shade for textured flat-lit polygons.
void draw_triangle(polygon* p, pixmap* target);
