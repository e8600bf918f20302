// The polygon record: one triangle with its drawing mode, shading and texture
// data. The same layout is the input of render_polygon, the projected triangle
// handed to the drawers, and the record inside every mesh face.
#pragma once

#include "pixmap.h"
#include "vec3.h"

#include <cstdint>

enum : uint32_t {
  POLY_SOLID = 0x1,
  POLY_TEXTURE = 0x4,
  POLY_TEXTURE_ALT = 0x10,
  POLY_WIRE = 0x100,
  POLY_FLAT_LIT = 0x200,
  POLY_GOURAUD = 0x400,
  POLY_EDGE01 = 0x800,
  POLY_EDGE12 = 0x1000,
  POLY_EDGE20 = 0x2000,
  POLY_TWO_SIDED = 0x10000,
  POLY_CUSTOM = 0x20000,
};

// Texture layers a polygon can carry, and the floats of texture coordinates.
constexpr int32_t POLY_MAX_LAYERS = 6;
constexpr int32_t POLY_UV_FLOATS = 6 * POLY_MAX_LAYERS;

struct polygon;
// A drawing routine: draws one projected triangle into the target.
using polygon_routine = void (*)(const polygon* p, pixmap* target);

struct polygon {
  uint32_t flags;
  uint32_t colour;
  int32_t aux;
  int32_t shade;
  int32_t vertex_shade[3];
  int32_t aux2;
  vec3 v[3];
  vec3 n[3];
  vec3 normal;
  int32_t stride;
  polygon_routine drawer;
  int32_t layer[POLY_MAX_LAYERS];
  int32_t uv_count;
  float uv[POLY_UV_FLOATS];
  pixmap* texture[POLY_MAX_LAYERS];
};

// 1 after a polygon_create ran out of memory (not reported further).
extern int32_t polygon_error;

// A zeroed polygon, or none on exhausted memory.
polygon* polygon_create();
void polygon_free(polygon* p);
