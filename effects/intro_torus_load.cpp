// Reading the intro's torus object.
#include "intro_parts.h"
#include "lwo.h"

int intro_load_torus(intro_state* s) {
  s->torus = mesh_object_create();
  if (!s->torus)
    return 0;
  if (!lwo_load("data/intro/torus.lwo", "data/intro/", s->torus) || !s->torus->mesh)
    return 0;
  if (!mesh_compute_vertex_normals(s->torus->mesh))
    return 0;
  mesh_flip_faces(s->torus->mesh);
  return 1;
}

void intro_free_torus(intro_state* s) {
  if (s->torus)
    lwo_object_free(s->torus);
  s->torus = nullptr;
}
