// The magnet's wire cube: each face a sweep of additive glowing lines
// between two of its edges. Faces turned away are left out until the end
// phase, when the cube flies back and out of the top of the picture.
#include "magnet_parts.h"
#include "mat3.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float MAGNET_FOCAL = 400.0f;
constexpr int32_t MAGNET_SWEEP_LINES = 16;
constexpr int32_t MAGNET_END_SWEEP_LINES = 8;
constexpr float MAGNET_FAR = 800.0f;        // the end phase's last distance
constexpr float MAGNET_RISE_FROM = 700.0f;  // the cube rises from this distance on
constexpr float MAGNET_GONE_LIFT = -200.0f; // out of the top
// Longer lines cannot come from the cube; they are not drawn.
constexpr float MAGNET_LINE_MAX = 65536.0f;

struct magnet_face {
  int32_t p, q, s;        // the visibility triple
  int32_t k1, k2, k3, k4; // the sweeps' corners
};

constexpr magnet_face magnet_faces[6] = {{0, 1, 2, 0, 1, 2, 3}, {5, 6, 7, 4, 5, 6, 7}, {5, 1, 0, 0, 1, 4, 5},
                                         {2, 3, 7, 2, 3, 6, 7}, {4, 0, 2, 4, 0, 6, 2}, {1, 5, 7, 1, 5, 3, 7}};

// Lines from K1 + (K2 - K1) i / n to K3 + (K4 - K3) i / n, i = 0 to n.
void magnet_sweep(pixmap* p, const vec3& k1, const vec3& k2, const vec3& k3, const vec3& k4, int32_t n, int32_t g) {
  for (int32_t i = 0; i <= n; i++) {
    const float t = float(i) / float(n);
    magnet_glow_line(p, k1.x + (k2.x - k1.x) * t, k1.y + (k2.y - k1.y) * t, k3.x + (k4.x - k3.x) * t,
                     k3.y + (k4.y - k3.y) * t, g);
  }
}

void magnet_add(uint32_t* px, int32_t g) {
  const uint32_t v = *px;
  uint32_t out = v & 0xFF000000u;
  for (int32_t k = 0; k < 24; k += 8)
    out |= uint32_t(std::min(255, int32_t((v >> k) & 255) + g)) << k;
  *px = out;
}
} // namespace

bool magnet_face_visible(const vec3& p, const vec3& q, const vec3& s) {
  return (p.x - q.x) * (s.y - q.y) - (s.x - q.x) * (p.y - q.y) > 0.0f;
}

void magnet_cube_reset(magnet_cube* c) {
  const vec3 v[8] = {{-80, 80, 80},  {80, 80, 80},  {-80, -80, 80},  {80, -80, 80},
                     {-80, 80, -80}, {80, 80, -80}, {-80, -80, -80}, {80, -80, -80}};
  for (int32_t k = 0; k < 8; k++) {
    c->vertices[k] = v[k];
    c->screen[k] = {0, 0, 0};
  }
  c->c0 = c->c1 = 0.0f;
  c->glow = 0.0f;
  c->distance = 600.0f;
  c->speed = 0.1f;
  c->lift = 0.0f;
  c->end_phase = 0;
  c->done = 0;
}

void magnet_glow_line(pixmap* p, float x0, float y0, float x1, float y1, int32_t g) {
  const float dx = x1 - x0, dy = y1 - y0;
  const float k = std::max(std::fabs(dx), std::fabs(dy));
  if (!(k < MAGNET_LINE_MAX))
    return;
  const int32_t count = k >= 1.0f ? int32_t(std::ceil(k)) : 1;
  const float sx = k >= 1.0f ? dx / k : 0.0f, sy = k >= 1.0f ? dy / k : 0.0f;
  const float w = float(p->width), h = float(p->height);
  for (int32_t i = 0; i < count; i++) {
    const float x = x0 + float(i) * sx, y = y0 + float(i) * sy;
    if (x > 0.0f && x < w && y > 0.0f && y < h)
      magnet_add(&p->pixels[p->rows[int32_t(y)] + int32_t(x)], g);
  }
}

void magnet_cube_step(magnet_cube* c, pixmap* p, float fd) {
  mat3 m;
  mat3_rotation_xyz(&m, c->c0, c->c1, 0.0f);
  vec3 turned[8];
  mat3_transform_array(turned, c->vertices, 8, &m);
  if (c->end_phase) {
    if (c->distance < MAGNET_FAR) {
      c->distance += c->speed * fd;
      if (c->speed < 10.0f)
        c->speed += 0.1f * fd;
    }
    if (c->distance > MAGNET_RISE_FROM) {
      c->lift -= fd;
      if (c->lift < MAGNET_GONE_LIFT)
        c->done = 1;
    }
  }
  // The cube stays at least 461 deep, far from the eye plane at 400.
  for (int32_t k = 0; k < 8; k++) {
    const float f = MAGNET_FOCAL / (MAGNET_FOCAL - (turned[k].z + c->distance));
    c->screen[k] = {f * turned[k].x + 160.0f, f * turned[k].y + c->lift + 120.0f, turned[k].z};
  }
  const int32_t g = int32_t(c->glow);
  const int32_t n = c->end_phase ? MAGNET_END_SWEEP_LINES : MAGNET_SWEEP_LINES;
  for (const magnet_face& face : magnet_faces) {
    if (!c->end_phase && !magnet_face_visible(c->screen[face.p], c->screen[face.q], c->screen[face.s]))
      continue;
    const vec3 &k1 = c->screen[face.k1], &k2 = c->screen[face.k2], &k3 = c->screen[face.k3], &k4 = c->screen[face.k4];
    magnet_sweep(p, k1, k2, k3, k4, n, g);
    magnet_sweep(p, k1, k3, k2, k4, n, g);
  }
  c->c0 -= 0.007340169751378021f * fd;
  c->c1 += 0.008181230868723419f * fd;
}
