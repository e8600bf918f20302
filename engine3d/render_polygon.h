// The object pipeline: lighting, clipping against the view pyramid,
// projection, fan triangulation and dispatch of one polygon.
#pragma once

#include "render_context.h"

#include <cstdint>

// Lights, clips, projects and draws one polygon into the context's target
// through the current polygon drawer.
void render_polygon(render_context* k, polygon* p);

// Floats a clip vertex can hold: position, six texture pairs, intensity.
constexpr int32_t CLIP_MAX_FLOATS = 3 + 2 * POLY_MAX_LAYERS + 1;
// Vertices a clip buffer holds: a triangle at most doubles at each of the four planes.
constexpr int32_t CLIP_MAX_VERTICES = 48;

// Clips a polygon of count vertices of size floats each (position first)
// against the plane through the origin with normal n; points where the dot
// product is above 0 are outside. Writes the result to out and returns its
// vertex count. out must have room for twice as many vertices as in.
int32_t clip_polygon_plane(const float* in, int32_t count, int32_t size, const vec3* n, float* out);
