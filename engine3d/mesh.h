// Meshes: vertex arrays and triangle faces, each face carrying the polygon it
// is drawn with.
#pragma once

#include "polygon.h"
#include "vec3.h"

#include <cstdint>

struct lwo_surface;

struct mesh_face {
  int32_t surface; // index of the face's surface
  int32_t kind;    // 1 dot, 2 line, 4 triangle
  int32_t index[3];
  struct polygon polygon; // drawn with; flags, colour and texture data set once, vertices every frame
};

struct mesh {
  int32_t kind;
  int32_t vertex_count;
  int32_t face_count;
  int32_t surface_count;
  int32_t reserved;
  lwo_surface* surfaces; // owned, filled by the object reader
  mesh_face* faces;      // owned
  vec3* positions;       // owned, object space
  vec3* normals;         // owned, object space
  vec3* work_positions;  // owned, rewritten every frame by the effect
  vec3* work_normals;    // owned
  vec3* work_extra;      // owned, for the effects' own use
};

// Option bits of mesh_object.flags are the object reader's.
constexpr uint32_t MESH_OBJECT_DEFAULT_FLAGS = 256;

// The object reader's state fields go between flags and mesh.
struct mesh_object {
  uint32_t flags;
  struct mesh* mesh; // none until a reader fills the object
};

// Empty records (all fields zero, object flags 256), or none on exhausted memory.
mesh* mesh_create();
mesh_object* mesh_object_create();
// Releases the mesh and every array it owns. The surface array is released as
// one block: the reader that filled it releases what its records own first.
void mesh_free(mesh* m);
void mesh_object_free(mesh_object* o);

// Averages the unit normals of the faces around every vertex into normals
// (not normalised again). Vertices no face uses, faces with an index outside
// the vertex array and faces of no area leave the sums alone. 1, or 0 on
// exhausted memory.
int mesh_compute_vertex_normals(mesh* m);
// Reverses the winding of every face (front and back exchange).
void mesh_flip_faces(mesh* m);
