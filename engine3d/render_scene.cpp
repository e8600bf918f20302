#include "render_scene.h"

#include "mem.h"
#include "render_polygon.h"
#include "scene_list.h"

namespace {

// A missing item is refused.
template <typename T> int list_append(T*** list, int32_t* count, T* item) {
  return item && scene_list_append(list, count, item);
}

void free_block(void* b) {
  if (b)
    mem_free(b);
}

mat3 transpose(const mat3* m) {
  mat3 out;
  mat3_transpose(&out, m);
  return out;
}

void update_node(scene_node* n, int32_t depth) {
  if ((n->flags & SCENE_NODE_HAS_TRACK) && n->track && n->track->type == SCENE_TRACK_SPLINE) {
    const scene_track* t = n->track;
    if (t->flags & SCENE_TRACK_POSITION)
      n->position = {float(t->position_value[0]), float(t->position_value[1]), float(t->position_value[2])};
    if (t->flags & SCENE_TRACK_ROTATION) {
      const vec3 axis = {float(t->rotation_value[0]), float(t->rotation_value[1]), float(t->rotation_value[2])};
      mat3 r;
      mat3_rotation_axis(&r, &axis, float(t->rotation_value[3]));
      if (n->type == SCENE_NODE_CAMERA) {
        // The camera looks along the file's z axis, which is y here: turned
        // a quarter about X onto the engine's view direction.
        mat3 turn, rt = transpose(&r);
        mat3_rotation_xyz(&turn, -1.5707964f, 0, 0);
        mat3_mul(&n->view, &rt, &turn);
        n->matrix = transpose(&n->view);
      } else {
        mat3 id;
        mat3_rotation_xyz(&id, 0, 0, 0);
        mat3_mul(&n->matrix, &id, &r);
      }
    }
  }
  // Children follow their parent; a cycle of children would never end.
  if (depth < 64)
    for (int32_t i = 0; i < n->child_count; i++)
      update_node(n->children[i], depth + 1);
}

} // namespace

render_scene* render_scene_create() { return mem_alloc_array<render_scene>(1); }

scene_node* scene_node_create(int32_t type) {
  if (type < 0 || type > SCENE_NODE_LAST_TYPE)
    return nullptr;
  scene_node* n = mem_alloc_array<scene_node>(1);
  if (!n)
    return nullptr;
  n->type = type;
  mat3_rotation_xyz(&n->matrix, 0, 0, 0);
  mat3_rotation_xyz(&n->view, 0, 0, 0);
  n->unit = 1.0f;
  return n;
}

scene_track* scene_track_create() {
  scene_track* t = mem_alloc_array<scene_track>(1);
  if (t)
    t->type = SCENE_TRACK_SPLINE;
  return t;
}

scene_material* scene_material_create() {
  scene_material* m = mem_alloc_array<scene_material>(1);
  if (m) {
    m->reserved1 = -1;
    m->reserved2 = 255;
  }
  return m;
}

scene_face* scene_face_create() { return mem_alloc_array<scene_face>(1); }

int render_scene_add_camera(render_scene* s, scene_node* n) { return list_append(&s->cameras, &s->camera_count, n); }
int render_scene_add_object(render_scene* s, scene_node* n) { return list_append(&s->objects, &s->object_count, n); }
int render_scene_add_animated(render_scene* s, scene_node* n) {
  return list_append(&s->animated, &s->animated_count, n);
}
int render_scene_add_root(render_scene* s, scene_node* n) { return list_append(&s->roots, &s->root_count, n); }
int render_scene_add_material(render_scene* s, scene_material* m) {
  return list_append(&s->materials, &s->material_count, m);
}

void render_scene_reset_time(render_scene* s) { s->time = 0; }

void render_scene_animate(render_scene* s) {
  for (int32_t i = 0; i < s->animated_count; i++) {
    scene_track* t = s->animated[i]->track;
    if (!t || t->type != SCENE_TRACK_SPLINE)
      continue;
    if ((t->flags & SCENE_TRACK_POSITION) && t->position_spline)
      position_spline_value(t->position_spline, s->time, t->position_value);
    if ((t->flags & SCENE_TRACK_ROTATION) && t->rotation_spline)
      rotation_spline_value(t->rotation_spline, s->time, t->rotation_value);
  }
  for (int32_t i = 0; i < s->root_count; i++)
    update_node(s->roots[i], 0);
}

void render_scene_draw(render_scene* s, render_context* k) {
  if (s->camera_count <= 0)
    return;
  const scene_node* camera = s->cameras[0];
  for (int32_t i = 0; i < s->object_count; i++) {
    scene_node* o = s->objects[i];
    vec3 d, p;
    vec3_sub(&d, &o->position, &camera->position);
    mat3_transform(&p, &d, &camera->view);
    p.z -= k->focal;
    mat3 m;
    mat3_mul(&m, &o->matrix, &camera->view);
    mat3_transform_array(o->work_positions, o->positions, o->vertex_count, &m);
    for (int32_t v = 0; v < o->vertex_count; v++)
      vec3_add(&o->work_positions[v], &o->work_positions[v], &p);
    for (int32_t f = 0; f < o->face_count; f++) {
      scene_face* face = o->faces[f];
      for (int c = 0; c < 3; c++)
        face->polygon->v[c] = o->work_positions[face->index[c]];
      render_polygon(k, face->polygon);
    }
  }
}

void scene_track_free(scene_track* t) {
  if (!t)
    return;
  position_spline_free(t->position_spline);
  rotation_spline_free(t->rotation_spline);
  mem_free(t);
}

void scene_node_free(scene_node* n) {
  if (!n)
    return;
  scene_track_free(n->track);
  for (int32_t i = 0; i < n->face_count && n->faces; i++) {
    if (n->faces[i]) {
      polygon_free(n->faces[i]->polygon);
      mem_free(n->faces[i]);
    }
  }
  void* blocks[] = {n->faces, n->positions, n->work_positions, n->normals, n->work_normals, n->children};
  for (void* b : blocks)
    free_block(b);
  mem_free(n);
}

void render_scene_free(render_scene* s) {
  if (!s)
    return;
  for (int32_t i = 0; i < s->camera_count; i++)
    scene_node_free(s->cameras[i]);
  for (int32_t i = 0; i < s->object_count; i++)
    scene_node_free(s->objects[i]);
  for (int32_t i = 0; i < s->material_count; i++) {
    pixmap_free(s->materials[i]->pixmap);
    mem_free(s->materials[i]);
  }
  void* lists[] = {s->cameras, s->objects, s->animated, s->roots, s->materials};
  for (void* l : lists)
    free_block(l);
  mem_free(s);
}
