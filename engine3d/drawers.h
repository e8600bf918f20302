// The drawing routines of the polygon drawer sets. Each takes a projected
// triangle (screen x, screen y, camera z in its vertices) and a target.
#pragma once

#include "pixmap.h"
#include "polygon.h"

#include <cstdint>

// Draws a line in integer screen coordinates.
using line_routine = void (*)(pixmap* target, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour);

// SAFE set: bounds-tested integer routines working through row tables.
void safe_line(pixmap* target, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour);
void safe_wire(const polygon* p, pixmap* target);
void safe_solid(const polygon* p, pixmap* target);
void safe_texture(const polygon* p, pixmap* target);
void safe_texture_gouraud(const polygon* p, pixmap* target);

// Float-stepped line and wire of the other sets; the end point is not drawn.
void float_line(pixmap* target, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour);
void float_wire(const polygon* p, pixmap* target);

// Scan-converted solid fill of the other sets; the right end is exclusive.
void scan_solid(const polygon* p, pixmap* target);

// Texture routines; texture[0] mapped with uv[layer[0] + 0..5].
void texture_general(const polygon* p, pixmap* target);
void texture_general_z(const polygon* p, pixmap* target);
void texture_fast(const polygon* p, pixmap* target);
void texture_fast_z(const polygon* p, pixmap* target);
void texture_additive_z(const polygon* p, pixmap* target);
void texture_perspective_z(const polygon* p, pixmap* target);

// Inner spans of the 256x256 wrapping routines: u, v, du, dv in 16.16 fixed
// point, texel (u >> 16 & 255, v >> 16 & 255). count <= 0 draws nothing.
void span_texture(int32_t count, int32_t start, int32_t u, int32_t v, int32_t du, int32_t dv, const uint32_t* texels,
                  uint32_t* target);
// As span_texture, with one depth value z >> 16 for the whole span: a pixel is
// drawn (and its depth stored) where that value is <= the stored one. dz is
// accepted and not used.
void span_texture_z(int32_t count, int32_t start, int32_t u, int32_t v, int32_t du, int32_t dv, int32_t z, int32_t dz,
                    int32_t* depth, const uint32_t* texels, uint32_t* target);
