// The light object's meshes: face set-up, the shell and the core drawn
// through the scene's context, and the beams extruded from the beam
// source's faces.
#include "drawers.h"
#include "lobj_parts.h"
#include "polygondrawer.h"
#include "render_polygon.h"

#include <cmath>

namespace {
constexpr float PI = 3.14159265358979323846f;

// Turns the mesh's positions and normals into its work arrays and moves the
// positions by (dx, dy).
void lobj_transform(mesh* m, const mat3* r, float dx, float dy) {
  mat3_transform_array(m->work_positions, m->positions, m->vertex_count, r);
  mat3_transform_array(m->work_normals, m->normals, m->vertex_count, r);
  for (int32_t i = 0; i < m->vertex_count; i++) {
    m->work_positions[i].x += dx;
    m->work_positions[i].y += dy;
  }
}

float lobj_distance(const vec3* a, const vec3* b) {
  vec3 d;
  return vec3_length(vec3_sub(&d, b, a));
}

void lobj_set_uv(polygon* p, float u0, float v0, float u1, float v1, float u2, float v2) {
  p->uv[0] = u0;
  p->uv[1] = v0;
  p->uv[2] = u1;
  p->uv[3] = v1;
  p->uv[4] = u2;
  p->uv[5] = v2;
}
} // namespace

bool lobj_mesh_sound(const mesh* m) {
  if (m->vertex_count < 0 || m->face_count < 0 || (m->vertex_count > 0 && !m->positions) ||
      (m->face_count > 0 && !m->faces))
    return false;
  for (int32_t f = 0; f < m->face_count; f++)
    for (int32_t k = 0; k < 3; k++)
      if (m->faces[f].index[k] < 0 || m->faces[f].index[k] >= m->vertex_count)
        return false;
  return true;
}

void lobj_scale_mesh(mesh* m, float s) {
  for (int32_t i = 0; i < m->vertex_count; i++)
    vec3_scale(&m->positions[i], s, &m->positions[i]);
}

void lobj_setup_shell(mesh* m, pixmap* envmap) {
  for (int32_t f = 0; f < m->face_count; f++) {
    polygon& p = m->faces[f].polygon;
    p.flags = LOBJ_SHELL_FLAGS;
    p.stride = 5;
    p.texture[0] = envmap;
    p.layer[0] = 0;
    p.uv_count = 6;
    for (int32_t k = 0; k < 3; k++) {
      const vec3& n = m->normals[m->faces[f].index[k]];
      p.uv[2 * k] = float(int32_t(128.0f + 127.0f * n.x));
      p.uv[2 * k + 1] = float(int32_t(128.0f + 127.0f * n.y));
    }
  }
}

void lobj_setup_source(mesh* m, pixmap* beam_texture) {
  for (int32_t f = 0; f < m->face_count; f++) {
    polygon& p = m->faces[f].polygon;
    p.flags = LOBJ_BEAM_FLAGS;
    p.stride = 5;
    p.drawer = texture_additive_z;
    p.texture[0] = beam_texture;
    p.layer[0] = 0;
    p.uv_count = 6;
  }
}

void lobj_setup_core(mesh* m) {
  for (int32_t f = 0; f < m->face_count; f++) {
    polygon& p = m->faces[f].polygon;
    p.flags = LOBJ_CORE_FLAGS;
    p.stride = 3;
    p.colour = 0xFFFFFF;
  }
}

void lobj_draw_mesh(render_context* rc, mesh* m, const mat3* r, float dx, float dy) {
  lobj_transform(m, r, dx, dy);
  for (int32_t f = 0; f < m->face_count; f++) {
    mesh_face& face = m->faces[f];
    for (int32_t k = 0; k < 3; k++)
      face.polygon.v[k] = m->work_positions[face.index[k]];
    render_polygon(rc, &face.polygon);
  }
}

void lobj_beam_edges(const vec3* p0, const vec3* p1, const vec3* p2, int32_t edges[2][2]) {
  const float d01 = lobj_distance(p0, p1), d12 = lobj_distance(p1, p2), d02 = lobj_distance(p0, p2);
  int32_t longest = 0; // 0: P0P1, 1: P1P2, 2: P0P2
  float best = d01;
  if (d12 > best) {
    longest = 1;
    best = d12;
  }
  if (d02 > best)
    longest = 2;
  static const int32_t table[3][2][2] = {
      {{2, 1}, {0, 2}}, // P0P1 longest
      {{0, 1}, {0, 2}}, // P1P2 longest
      {{0, 1}, {2, 1}}, // P0P2 longest
  };
  for (int32_t e = 0; e < 2; e++) {
    edges[e][0] = table[longest][e][0];
    edges[e][1] = table[longest][e][1];
  }
}

void lobj_draw_beams(render_context* rc, mesh* m, const mat3* r, float dx, float dy, float s, float u) {
  lobj_transform(m, r, dx, dy);
  for (int32_t f = 0; f < m->face_count; f++) {
    mesh_face& face = m->faces[f];
    polygon& p = face.polygon;
    const vec3* corner[3] = {&m->work_positions[face.index[0]], &m->work_positions[face.index[1]],
                             &m->work_positions[face.index[2]]};
    int32_t edges[2][2];
    lobj_beam_edges(corner[0], corner[1], corner[2], edges);
    for (const auto& edge : edges) {
      const vec3 a = *corner[edge[0]], b = *corner[edge[1]];
      vec3 sa, sb;
      vec3_scale(&sa, s, &a);
      vec3_scale(&sb, s, &b);
      p.v[0] = a;
      p.v[1] = b;
      p.v[2] = sb;
      lobj_set_uv(&p, u, 255, u, 255, u + 32, 0);
      render_polygon(rc, &p);
      p.v[0] = sa;
      p.v[1] = a;
      p.v[2] = sb;
      lobj_set_uv(&p, u - 32, 0, u, 255, u + 32, 0);
      render_polygon(rc, &p);
    }
  }
}

void lobj_draw_objects(lobj_state* s, float fd) {
  if (!s->drawer_selected) {
    select_polygondrawer(POLYGONDRAWER_FAST_Z);
    s->drawer_selected = 1;
  }
  mat3 r;
  mat3_rotation_xyz(&r, s->o0, s->o1, s->o2);
  lobj_draw_mesh(s->rc, s->shell->mesh, &r, s->offset_x, s->offset_y);
  lobj_draw_mesh(s->rc, s->core->mesh, &r, s->offset_x, s->offset_y);
  lobj_draw_beams(s->rc, s->source->mesh, &r, s->offset_x, s->offset_y, s->beam_scale, s->u);
  s->o0 += PI / 512 * fd;
  s->o1 -= 0.007551905417283156f * fd;
  s->o2 += 0.004818393640475143f * fd;
}
