// Section 2 of the intro: the turning wireframe torus, drawn as additive
// lines over the title.
#include "intro_parts.h"

#include "polygondrawer.h"
#include "render_polygon.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr uint32_t LINE_FLAGS = POLY_EDGE01 | POLY_EDGE12 | POLY_EDGE20 | POLY_CUSTOM;
// Longer lines than this cannot come out of the clipping; they are not drawn.
constexpr float LINE_MAX_STEPS = 8192.0f;

void additive_line(pixmap* target, const vec3& a, const vec3& b, uint32_t add) {
  const float dx = b.x - a.x, dy = b.y - a.y;
  const float n = std::max(std::fabs(dx), std::fabs(dy));
  if (!(n >= 1.0f) || !(n <= LINE_MAX_STEPS))
    return;
  const float sx = dx / n, sy = dy / n;
  const float w = float(target->width), h = float(target->height);
  float x = a.x, y = a.y;
  for (float i = 0; i < n; i += 1.0f, x += sx, y += sy) {
    if (!(x > 0.0f && x < w && y > 0.0f && y < h))
      continue;
    uint32_t& p = target->pixels[target->rows[int32_t(y)] + int32_t(x)];
    const uint32_t r = std::min<uint32_t>(255, (p & 255) + add);
    const uint32_t g = std::min<uint32_t>(255, ((p >> 8) & 255) + add);
    const uint32_t bl = std::min<uint32_t>(255, ((p >> 16) & 255) + add);
    p = (p & 0xFF000000u) | r | g << 8 | bl << 16;
  }
}
} // namespace

void intro_additive_lines(const polygon* p, pixmap* target) {
  const int32_t brightness = p->aux; // the torus brightness, carried by the polygon
  if (!target || brightness <= 0)
    return;
  const uint32_t add = uint32_t(std::min(brightness, 255));
  additive_line(target, p->v[0], p->v[1], add);
  additive_line(target, p->v[1], p->v[2], add);
  additive_line(target, p->v[2], p->v[0], add);
}

int intro_make_torus_line(intro_state* s) {
  s->line = polygon_create();
  if (!s->line)
    return 0;
  s->line->flags = LINE_FLAGS;
  s->line->stride = 3;
  s->line->drawer = intro_additive_lines;
  return 1;
}

void intro_draw_torus(intro_state* s, float fd) {
  if (!s->torus_started) {
    select_polygondrawer(POLYGONDRAWER_SAFE);
    s->torus_started = 1;
  }
  mesh* m = s->torus ? s->torus->mesh : nullptr;
  if (m && m->vertex_count > 0) {
    mat3 turn;
    mat3_rotation_xyz(&turn, 0.0f, s->torus_angle, 0.0f);
    mat3_transform_array(m->work_positions, m->positions, m->vertex_count, &turn);
    mat3_transform_array(m->work_normals, m->normals, m->vertex_count, &turn);
    for (int32_t i = 0; i < m->vertex_count; i++) {
      m->work_positions[i].x += 160.0f;
      m->work_positions[i].z -= 200.0f;
    }
    s->line->aux = s->torus_brightness;
    for (int32_t f = 0; f < m->face_count; f++) {
      const mesh_face& face = m->faces[f];
      bool inside = true;
      for (int32_t k = 0; k < 3; k++)
        inside = inside && face.index[k] >= 0 && face.index[k] < m->vertex_count;
      if (!inside)
        continue;
      for (int32_t k = 0; k < 3; k++)
        s->line->v[k] = m->work_positions[face.index[k]];
      render_polygon(s->rc, s->line);
    }
  }
  s->torus_angle -= float(0.014024967203525862 * double(fd));
}
