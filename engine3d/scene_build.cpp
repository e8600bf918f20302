// Building a render scene from an ASCII scene: materials, objects and the
// first camera, with their position and rotation tracks.
#include "ase.h"
#include "jpeg.h"
#include "mem.h"
#include "quatf.h"
#include "render_scene.h"

#include <vector>

namespace {

// File coordinates (x, y, z) become (x, z, y).
vec3 swap_yz(const vec3& v) { return {v.x, v.z, v.y}; }

// A rotation about the axis; an exporter writes a zero axis for no rotation,
// which has no direction to normalise.
void rotation_about(mat3* out, const vec3* axis, float angle) {
  if (axis->x == 0 && axis->y == 0 && axis->z == 0)
    mat3_rotation_xyz(out, 0, 0, 0);
  else
    mat3_rotation_axis(out, axis, angle);
}

// The track of an animation block; none on exhausted memory.
scene_track* build_track(const ase_tm_animation* a) {
  scene_track* t = scene_track_create();
  if (!t)
    return nullptr;
  if (a->pos_key_count > 0) {
    std::vector<position_key> keys;
    for (int32_t i = 0; i < a->pos_key_count; i++) {
      const ase_key* k = &a->pos_keys[i];
      const float* v = k->values;
      const bool full = k->value_count >= 3;
      keys.push_back({double(k->frame), full ? v[0] : 0.0, full ? v[2] : 0.0, full ? v[1] : 0.0, 0, 0, 0});
    }
    t->position_spline = position_spline_create(keys.data(), int32_t(keys.size()));
    if (!t->position_spline) {
      scene_track_free(t);
      return nullptr;
    }
    t->flags |= SCENE_TRACK_POSITION;
  }
  if (a->rot_key_count > 0) {
    // Rotation keys are relative to the one before: accumulated in single precision.
    std::vector<rotation_key> keys;
    quatf acc;
    quatf_from_axis_angle(&acc, 0, 1, 0, 0);
    for (int32_t i = 0; i < a->rot_key_count; i++) {
      const ase_key* k = &a->rot_keys[i];
      const float* v = k->values;
      const bool full = k->value_count >= 4;
      quatf q, product;
      quatf_from_axis_angle(&q, full ? v[3] : 0, full ? v[0] : 0, full ? v[2] : 0, full ? v[1] : 0);
      quatf_mul(&product, &q, &acc);
      acc = product;
      float angle, ax, ay, az;
      quatf_to_axis_angle(&acc, &angle, &ax, &ay, &az);
      keys.push_back({double(k->frame), ax, ay, az, angle, 0, 0, 0});
    }
    t->rotation_spline = rotation_spline_create(keys.data(), int32_t(keys.size()));
    if (!t->rotation_spline) {
      scene_track_free(t);
      return nullptr;
    }
    t->flags |= SCENE_TRACK_ROTATION;
  }
  return t;
}

// Gives the node the track of the animation block, if there is one. 0 on exhausted memory.
int attach_track(scene_node* n, const ase_tm_animation* a) {
  if (!a)
    return 1;
  n->track = build_track(a);
  if (!n->track)
    return 0;
  n->flags |= SCENE_NODE_HAS_TRACK;
  return 1;
}

// The object node of a geometry object, or none when it cannot be drawn
// (or memory runs out).
scene_node* build_object(render_scene* s, const ase_scene* a, const ase_geom* g) {
  const ase_mesh* mesh = g->mesh;
  const ase_node_tm* tm = g->node_tm;
  if (!mesh || !tm || g->material_ref < 0 || g->material_ref >= s->material_count)
    return nullptr;
  scene_material* material = s->materials[g->material_ref];
  const pixmap* picture = material->pixmap;
  if (!picture || mesh->tvface_count < mesh->face_count)
    return nullptr;
  scene_node* n = scene_node_create(SCENE_NODE_OBJECT);
  if (!n)
    return nullptr;
  if (!attach_track(n, g->tm_animation)) {
    scene_node_free(n);
    return nullptr;
  }
  const vec3 axis = swap_yz(tm->rot_axis);
  rotation_about(&n->matrix, &axis, tm->rot_angle);
  n->position = swap_yz(tm->pos);
  n->positions = mem_alloc_array<vec3>(size_t(mesh->vertex_count));
  n->work_positions = mem_alloc_array<vec3>(size_t(mesh->vertex_count));
  n->faces = mem_alloc_array<scene_face*>(size_t(mesh->face_count));
  if (!n->positions || !n->work_positions || !n->faces) {
    scene_node_free(n);
    return nullptr;
  }
  // Object space: rotated and moved back by the node transform.
  mat3 inverse;
  mat3_transpose(&inverse, &n->matrix);
  n->vertex_count = mesh->vertex_count;
  for (int32_t i = 0; i < mesh->vertex_count; i++) {
    const vec3 v = swap_yz(mesh->vertices[i]);
    vec3 d;
    vec3_sub(&d, &v, &n->position);
    mat3_transform(&n->positions[i], &d, &inverse);
  }
  mat3 turn;
  mat3_rotation_xyz(&turn, 0, 0, -a->materials[g->material_ref]->diffuse_map.uvw_angle);
  const float w = float(picture->width - 1);
  const float h = float(picture->height - 1);
  static const int corner[3] = {0, 2, 1};
  for (int32_t j = 0; j < mesh->face_count; j++) {
    scene_face* f = scene_face_create();
    polygon* p = f ? polygon_create() : nullptr;
    if (!p) {
      if (f)
        mem_free(f);
      scene_node_free(n);
      return nullptr;
    }
    n->faces[j] = f;
    n->face_count = j + 1;
    f->material = material;
    f->polygon = p;
    p->flags = POLY_TEXTURE | POLY_EDGE01 | POLY_EDGE12 | POLY_EDGE20;
    p->stride = 5;
    p->layer[0] = 0;
    p->uv_count = 6;
    p->texture[0] = material->pixmap;
    for (int c = 0; c < 3; c++) {
      f->index[c] = mesh->faces[j].index[corner[c]];
      const vec3 tv = mesh->tvertices[mesh->tvfaces[j][corner[c]]];
      const vec3 centred = {tv.x - 0.5f, tv.y - 0.5f, tv.z};
      vec3 turned;
      mat3_transform(&turned, &centred, &turn);
      p->uv[2 * c] = (turned.x + 0.5f) * w;
      p->uv[2 * c + 1] = (turned.y + 0.5f) * h;
    }
  }
  return n;
}

int build_scene(render_scene* s, const ase_scene* a) {
  for (int32_t i = 0; i < a->material_count; i++) {
    scene_material* m = scene_material_create();
    if (!m)
      return 0;
    const ase_map* map = &a->materials[i]->diffuse_map;
    if (map->bitmap)
      m->pixmap = jpeg_load(map->bitmap);
    if (m->pixmap)
      m->flags |= SCENE_MATERIAL_PICTURE;
    if (!render_scene_add_material(s, m)) {
      pixmap_free(m->pixmap);
      mem_free(m);
      return 0;
    }
  }
  for (int32_t i = 0; i < a->geom_count; i++) {
    scene_node* n = build_object(s, a, a->geoms[i]);
    if (!n)
      return 0;
    if (!render_scene_add_object(s, n)) {
      scene_node_free(n);
      return 0;
    }
    if (!render_scene_add_animated(s, n) || !render_scene_add_root(s, n))
      return 0;
  }
  if (a->camera_count > 0) {
    scene_node* n = scene_node_create(SCENE_NODE_CAMERA);
    if (!n)
      return 0;
    if (!attach_track(n, a->cameras[0]->tm_animation) || !render_scene_add_camera(s, n)) {
      scene_node_free(n);
      return 0;
    }
    if (!render_scene_add_animated(s, n) || !render_scene_add_root(s, n))
      return 0;
  }
  return 1;
}

} // namespace

render_scene* ase_build_scene(const char* path, const char* texture_dir) {
  ase_scene* a = ase_load(path, texture_dir);
  if (!a)
    return nullptr;
  render_scene* s = render_scene_create();
  const int ok = s && build_scene(s, a);
  ase_scene_free(a);
  if (!ok) {
    render_scene_free(s);
    return nullptr;
  }
  return s;
}
