#include "mesh.h"

#include "mem.h"

#include <cmath>
#include <utility>

mesh* mesh_create() { return mem_alloc_array<mesh>(1); }

mesh_object* mesh_object_create() {
  mesh_object* o = mem_alloc_array<mesh_object>(1);
  if (o)
    o->flags = MESH_OBJECT_DEFAULT_FLAGS;
  return o;
}

void mesh_free(mesh* m) {
  if (!m)
    return;
  void* blocks[] = {m->surfaces, m->faces, m->positions, m->normals, m->work_positions, m->work_normals, m->work_extra};
  for (void* block : blocks) {
    if (block)
      mem_free(block);
  }
  mem_free(m);
}

void mesh_object_free(mesh_object* o) {
  if (!o)
    return;
  mesh_free(o->mesh);
  mem_free(o);
}

int mesh_compute_vertex_normals(mesh* m) {
  const int32_t n = m->vertex_count;
  if (n <= 0 || !m->positions || !m->normals)
    return 1;
  int32_t* counters = mem_alloc_array<int32_t>(size_t(n));
  if (!counters)
    return 0;
  for (int32_t i = 0; i < n; i++)
    m->normals[i] = {0, 0, 0};
  for (int32_t f = 0; f < m->face_count && m->faces; f++) {
    const int32_t* idx = m->faces[f].index;
    if (idx[0] < 0 || idx[0] >= n || idx[1] < 0 || idx[1] >= n || idx[2] < 0 || idx[2] >= n)
      continue;
    vec3 a, b, c;
    vec3_sub(&a, &m->positions[idx[0]], &m->positions[idx[1]]);
    vec3_sub(&b, &m->positions[idx[2]], &m->positions[idx[1]]);
    vec3_cross(&c, &a, &b);
    // A face of no area has no direction; it would spread non-finite values.
    if (!(vec3_length(&c) > 0) || !std::isfinite(vec3_length(&c)))
      continue;
    vec3_normalize(&c, &c);
    for (int k = 0; k < 3; k++) {
      vec3_add(&m->normals[idx[k]], &m->normals[idx[k]], &c);
      counters[idx[k]]++;
    }
  }
  for (int32_t i = 0; i < n; i++) {
    if (counters[i] > 0) {
      const float count = float(counters[i]);
      m->normals[i] = {m->normals[i].x / count, m->normals[i].y / count, m->normals[i].z / count};
    }
  }
  mem_free(counters);
  return 1;
}

void mesh_flip_faces(mesh* m) {
  for (int32_t f = 0; f < m->face_count && m->faces; f++)
    std::swap(m->faces[f].index[0], m->faces[f].index[2]);
}
