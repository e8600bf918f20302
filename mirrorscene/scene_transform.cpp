// The geometry steps of a frame: the camera's aim, camera space, projection,
// back-face culling and camera-space normals.
#include "particles.h"
#include "scene_render.h"

#include <algorithm>
#include <cmath>

namespace {
scene_camera* scene_active_camera(mirror_scene* s) {
  if (!s->cameras || s->camera < 0 || s->camera >= s->camera_count)
    return nullptr;
  return s->cameras[s->camera];
}

void scene_apply(const float* m, const double* v, double* out) {
  const double x = v[0], y = v[1], z = v[2];
  out[0] = m[0] * x + m[1] * y + m[2] * z;
  out[1] = m[3] * x + m[4] * y + m[5] * z;
  out[2] = m[6] * x + m[7] * y + m[8] * z;
}

// The camera matrix applied to p - eye.
void scene_view(const scene_camera* c, const double* p, double* out) {
  const double d[3] = {p[0] - c->eye[0], p[1] - c->eye[1], p[2] - c->eye[2]};
  scene_apply(c->matrix, d, out);
}

bool scene_drawn(const asc_object* o) { return o && o->visible == 1; }

} // namespace

void scene_rotation_x(double a, float* m) {
  const float co = float(std::cos(a)), si = float(std::sin(a));
  const float r[9] = {1, 0, 0, 0, co, si, 0, -si, co};
  std::copy(r, r + 9, m);
}

void scene_rotation_y(double a, float* m) {
  const float co = float(std::cos(a)), si = float(std::sin(a));
  const float r[9] = {co, 0, -si, 0, 1, 0, si, 0, co};
  std::copy(r, r + 9, m);
}

void scene_rotation_z(double a, float* m) {
  const float co = float(std::cos(a)), si = float(std::sin(a));
  const float r[9] = {co, si, 0, -si, co, 0, 0, 0, 1};
  std::copy(r, r + 9, m);
}

void scene_matrix_multiply(const float* a, const float* b, float* out) {
  for (int32_t r = 0; r < 3; r++)
    for (int32_t k = 0; k < 3; k++)
      out[r * 3 + k] = a[r * 3] * b[k] + a[r * 3 + 1] * b[3 + k] + a[r * 3 + 2] * b[6 + k];
}

void camera_aim(mirror_scene* s) {
  scene_camera* c = scene_active_camera(s);
  if (!c)
    return;
  const double dx = c->target[2] - c->eye[2], dy = c->target[0] - c->eye[0];
  c->pitch = -std::atan2(c->target[1] - c->eye[1], std::sqrt(dx * dx + dy * dy));
  c->yaw = std::atan2(dy, dx);
  c->roll = c->roll_input;
  float x[9], y[9], z[9], xy[9];
  scene_rotation_x(c->pitch, x);
  scene_rotation_y(c->yaw, y);
  scene_rotation_z(c->roll, z);
  scene_matrix_multiply(x, y, xy);
  scene_matrix_multiply(z, xy, c->matrix);
}

void scene_to_camera(mirror_scene* s) {
  const scene_camera* c = scene_active_camera(s);
  if (!c)
    return;
  for (int32_t i = 0; i < s->object_count; i++) {
    asc_object* o = s->objects[i];
    if (!scene_drawn(o))
      continue;
    float x[9], y[9], z[9], zx[9];
    scene_rotation_x(o->angles[0], x);
    scene_rotation_y(o->angles[1], y);
    scene_rotation_z(o->angles[2], z);
    scene_matrix_multiply(z, x, zx);
    scene_matrix_multiply(zx, y, o->orientation);
    float* m = o->work + ASC_WORK_VIEW;
    scene_matrix_multiply(c->matrix, o->orientation, m);
    double t[3];
    scene_view(c, o->position, t);
    for (int32_t k = 0; k < o->vertex_count; k++) {
      asc_vertex& v = o->vertices[k];
      const double p[3] = {v.x, v.y, v.z};
      double q[3];
      scene_apply(m, p, q);
      v.cx = q[0] + t[0];
      v.cy = q[1] + t[1];
      v.cz = q[2] + t[2];
    }
  }
  for (int32_t i = 0; i < s->mother_count; i++) {
    emitter* e = s->mothers[i];
    if (!e)
      continue;
    scene_view(c, e->origin, e->view_origin);
    for (int32_t k = 0; k < e->particle_count; k++) {
      particle& p = e->particles[k];
      if (p.alive)
        scene_view(c, p.position, p.view_position);
    }
  }
}

void scene_project(mirror_scene* s, const rgb_image* target) {
  if (!scene_active_camera(s))
    return;
  const double half_w = double(target->width / 2), half_h = double(target->height / 2);
  for (int32_t i = 0; i < s->object_count; i++) {
    asc_object* o = s->objects[i];
    if (!scene_drawn(o) || o->object_type == ASC_OBJECT_HIDDEN)
      continue;
    for (int32_t k = 0; k < o->vertex_count; k++) {
      asc_vertex& v = o->vertices[k];
      // A vertex in the eye plane lands on the centre; faces touching it
      // are never drawn.
      const double lens = v.cz != 0 ? SCENE_LENS / v.cz : 0.0;
      v.sx = float(v.cx * lens + half_w);
      v.sy = float(half_h - v.cy * lens);
    }
  }
  for (int32_t i = 0; i < s->mother_count; i++) {
    emitter* e = s->mothers[i];
    if (!e)
      continue;
    for (int32_t k = 0; k < e->particle_count; k++) {
      particle& p = e->particles[k];
      const double z = p.view_position[2];
      p.visible = p.alive && z > 0 && z <= SCENE_PARTICLE_FAR;
      if (p.visible) {
        p.sx = float(p.view_position[0] * SCENE_LENS / z + half_w);
        p.sy = float(half_h - p.view_position[1] * SCENE_LENS / z);
      }
    }
  }
}

void scene_cull(mirror_scene* s) {
  if (!scene_active_camera(s))
    return;
  int32_t total = 0;
  for (int32_t i = 0; i < s->object_count; i++) {
    asc_object* o = s->objects[i];
    if (!scene_drawn(o))
      continue;
    int32_t front = 0;
    for (int32_t k = 0; k < o->face_count; k++) {
      asc_face& f = o->faces[k];
      if (o->object_type == ASC_OBJECT_HIDDEN) {
        f.visible = 0;
        continue;
      }
      const asc_vertex& p = o->vertices[f.ia];
      const asc_vertex& q = o->vertices[f.ib];
      const asc_vertex& r = o->vertices[f.ic];
      f.visible = !((p.sy - r.sy) * (p.sx - q.sx) >= (p.sy - q.sy) * (p.sx - r.sx));
      front += f.visible;
    }
    o->faces_visible = front;
    total += front;
  }
  s->total_faces = total;
}

void scene_normals(mirror_scene* s) {
  if (!scene_active_camera(s))
    return;
  for (int32_t i = 0; i < s->object_count; i++) {
    asc_object* o = s->objects[i];
    if (!scene_drawn(o) || o->object_type == ASC_OBJECT_HIDDEN ||
        (o->mode != ASC_MODE_NORMALS && o->mode != ASC_MODE_ENVIRONMENT))
      continue;
    const float* m = o->work + ASC_WORK_VIEW;
    for (int32_t k = 0; k < o->vertex_count; k++) {
      asc_vertex& v = o->vertices[k];
      const double n[3] = {v.nx, v.ny, v.nz};
      double q[3];
      scene_apply(m, n, q);
      v.cnx = q[0];
      v.cny = q[1];
      v.cnz = q[2];
    }
  }
}
