// Triangle meshes built by the forge, written out later in the object and
// scene formats. Positions are shared between faces; texture coordinates
// belong to face corners, so seams need no duplicated vertices.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct forge_vec3 {
  float x = 0, y = 0, z = 0;
};

struct forge_uv {
  float u = 0, v = 0;
};

struct forge_triangle {
  int32_t v[3] = {0, 0, 0}; // position indices, counter-clockwise seen from outside
  forge_uv uv[3];
  int32_t surface = 0; // material index
};

struct forge_mesh {
  std::vector<forge_vec3> positions;
  std::vector<forge_triangle> faces;
};

forge_vec3 forge_vec3_sub(forge_vec3 a, forge_vec3 b);
forge_vec3 forge_vec3_cross(forge_vec3 a, forge_vec3 b);
float forge_vec3_dot(forge_vec3 a, forge_vec3 b);
forge_vec3 forge_vec3_normalise(forge_vec3 v);

int32_t forge_mesh_add_vertex(forge_mesh* m, forge_vec3 p);
void forge_mesh_add_triangle(forge_mesh* m, int32_t a, int32_t b, int32_t c, forge_uv ta, forge_uv tb, forge_uv tc,
                             int32_t surface = 0);
// Two triangles a-b-c and a-c-d.
void forge_mesh_add_quad(forge_mesh* m, const int32_t v[4], const forge_uv uv[4], int32_t surface = 0);

// Unit normal of a face (right-hand rule over its corners).
forge_vec3 forge_mesh_face_normal(const forge_mesh* m, const forge_triangle* t);
// Area-weighted vertex normals, one per position.
void forge_mesh_vertex_normals(const forge_mesh* m, std::vector<forge_vec3>* out);

// Scales, then rotates about x, y and z (radians, in that order), then moves.
void forge_mesh_transform(forge_mesh* m, forge_vec3 scale, forge_vec3 rotate, forge_vec3 move);
// Appends src's vertices and faces to m.
void forge_mesh_append(forge_mesh* m, const forge_mesh* src);
// Merges positions closer than epsilon, rewriting the faces (seams of
// builders that generate shared edges twice).
void forge_mesh_weld(forge_mesh* m, float epsilon);
// Smallest and largest corner of the bounding box; 0 for an empty mesh.
int forge_mesh_bounds(const forge_mesh* m, forge_vec3* lo, forge_vec3* hi);
// Every index in range and no face with two equal corners.
bool forge_mesh_valid(const forge_mesh* m);
