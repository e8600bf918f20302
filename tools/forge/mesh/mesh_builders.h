// Meshes built mathematically, each centred on the origin with texture
// coordinates in [0, 1]. Closed solids face outward. Every builder replaces
// the mesh's contents and returns 1, or 0 (mesh empty) for counts or sizes
// out of range.
#pragma once

#include "forge_mesh.h"

#include <vector>

// Torus around the y axis: ring radius `major`, tube radius `minor`.
int forge_mesh_torus(forge_mesh* m, float major, float minor, int32_t rings, int32_t sides);

// Sphere of slices around y and stacks from pole to pole (u around, v down).
int forge_mesh_uv_sphere(forge_mesh* m, float radius, int32_t slices, int32_t stacks);

// Geodesic sphere: an icosahedron whose faces are split into level^2
// triangles each, pushed onto the sphere (20 * level^2 faces); spherical
// texture coordinates. Faces across the seam take u past 1 (up to 1.5) so a
// wrapping texture lookup stays continuous.
int forge_mesh_geosphere(forge_mesh* m, float radius, int32_t level);

// A spherical shell of the given thickness, perforated: the slices x stacks
// grid is split into 3 x 3 sub-cells, and in every cell whose (slice + stack)
// is even and that does not touch a pole the middle sub-cell is cut out. Walls
// join the outer and inner surfaces around every hole, so the solid stays
// closed. Outer faces are surface 0, inner faces and walls surface 1.
int forge_mesh_sphere_holes(forge_mesh* m, float radius, float thickness, int32_t slices, int32_t stacks);

// A star of `points` points in the xy plane (outer and inner radius) with
// pointed faces rising to a front and a back apex `depth` away from it.
int forge_mesh_star(forge_mesh* m, int32_t points, float outer, float inner, float depth);

// A flat grid in the xy plane facing +z, width x height, cols x rows cells.
int forge_mesh_plate(forge_mesh* m, float width, float height, int32_t cols, int32_t rows);

// A disc facing +z, or a flat ring when inner > 0; texture mapped like a
// picture laid over it.
int forge_mesh_disc(forge_mesh* m, float outer, float inner, int32_t segments);

// A box centred on the origin, each side mapped to the whole texture.
int forge_mesh_box(forge_mesh* m, float sx, float sy, float sz);

// Extrudes a simple polygon (x, y points in either orientation, no repeated
// end point) along z from -depth/2 to +depth/2, with triangulated caps
// (surface 0) and side walls (surface 1). Caps take texture coordinates from
// the outline's bounding box, walls run u along the outline and v across
// the depth.
int forge_mesh_extrude(forge_mesh* m, const std::vector<forge_uv>& outline, float depth);

// Triangulates a simple polygon by ear clipping; appends index triples
// (counter-clockwise) to out. Returns 0 for fewer than 3 points or a polygon
// that cannot be clipped (self-intersecting).
int forge_triangulate(const std::vector<forge_uv>& polygon, std::vector<int32_t>* out);
