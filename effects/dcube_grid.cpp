// The diffuse cube's density grid, blob and cube motion and the glow lattice.
#include "blend.h"
#include "dcube_parts.h"
#include "mat3.h"

#include <cmath>

namespace {
constexpr float PI = 3.14159265358979323846f;

// Sixteenth of the way from a to b.
vec3 dcube_step(const vec3& a, const vec3& b) {
  return {(b.x - a.x) / 16.0f, (b.y - a.y) / 16.0f, (b.z - a.z) / 16.0f};
}

void dcube_advance(vec3* p, const vec3& d) {
  p->x += d.x;
  p->y += d.y;
  p->z += d.z;
}
} // namespace

void dcube_reset_motion(dcube_state* s) {
  const float speeds[DCUBE_BLOBS][3] = {{PI / 32, PI / 64, PI / 128},
                                        {PI / 64, -PI / 128, PI / 128},
                                        {-PI / 128, PI / 32, -PI / 256},
                                        {PI / 128, -PI / 64, -PI / 64}};
  for (int32_t i = 0; i < DCUBE_BLOBS; i++)
    s->blobs[i] = {0, 0, 0, 0, 0, 0, speeds[i][0], speeds[i][1], speeds[i][2]};
  const float c = 64.0f;
  const vec3 corners[8] = {{-c, -c, -c}, {c, -c, -c}, {c, c, -c}, {-c, c, -c},
                           {-c, -c, c},  {c, -c, c},  {c, c, c},  {-c, c, c}};
  for (int32_t i = 0; i < 8; i++) {
    s->vertices[i] = corners[i];
    s->projected[i] = {0, 0, 0};
  }
  s->a0 = s->a1 = s->a2 = s->t = 0;
  s->beat = 0;
}

void dcube_fill_density(uint8_t* density, const dcube_blob* blobs) {
  for (int32_t l = 0; l < DCUBE_SIDE; l++)
    for (int32_t j = 0; j < DCUBE_SIDE; j++)
      for (int32_t k = 0; k < DCUBE_SIDE; k++) {
        const vec3 p = {-32.0f + 8.0f * float(k), -32.0f + 8.0f * float(j), -64.0f + 8.0f * float(l)};
        float e = 0;
        for (int32_t b = 0; b < DCUBE_BLOBS; b++) {
          const vec3 d = {p.x - blobs[b].x, p.y - blobs[b].y, p.z - blobs[b].z};
          e += 128.0f / vec3_length(&d);
        }
        // A point on a blob sums to infinity; anything not below 128
        // (a non-number included) counts 128.
        if (!(e < 128.0f))
          e = 128.0f;
        density[k + DCUBE_SIDE * j + DCUBE_SIDE * DCUBE_SIDE * l] = uint8_t(e);
      }
}

void dcube_move_blobs(dcube_blob* blobs, float fd) {
  for (int32_t i = 0; i < DCUBE_BLOBS; i++) {
    dcube_blob& b = blobs[i];
    b.x = 32.0f * std::sin(b.ax);
    b.y = 32.0f * std::cos(b.ay);
    b.z = 32.0f * std::sin(b.az);
    b.ax += b.sx * fd * 0.35f;
    b.ay += b.sy * fd * 0.12f;
    b.az += b.sz * fd * 0.25f;
  }
}

void dcube_project(const vec3* vertices, float a0, float a1, float a2, float t, vec3* out) {
  mat3 r;
  mat3_rotation_xyz(&r, a0, a1, a2);
  const float d = 600.0f + 50.0f * std::sin(t);
  for (int32_t i = 0; i < 8; i++) {
    vec3 v;
    mat3_transform(&v, &vertices[i], &r);
    // The cube's corners stay within 111 of its centre, so the divisor is
    // at least 39 away from zero.
    const float f = 400.0f / (400.0f - (v.z + d));
    out[i] = {f * v.x + 160.0f, f * v.y + 120.0f, v.z};
  }
}

void dcube_turn(dcube_state* s, float fd, uint32_t row) {
  s->t += PI / 512 * fd;
  s->a2 += PI / 2048 * fd;
  s->a1 += PI / 1024 * fd;
  s->a0 -= PI / 2048 * fd;
  if (s->beat && (row & 8))
    s->beat = 0;
  if (!s->beat && (row & 15) < 6) {
    s->a2 -= PI / 8;
    s->a1 -= PI / 8;
    s->a0 += PI / 8;
    s->beat = 1;
  }
}

void dcube_draw_lattice(pixmap* frame, const pixmap* glow, const vec3* v, const uint8_t* density) {
  // Each layer's corners walk from the front face towards the back one.
  vec3 corner[4], corner_step[4];
  for (int32_t q = 0; q < 4; q++) {
    corner[q] = v[q];
    corner_step[q] = dcube_step(v[q], v[q + 4]);
  }
  for (int32_t l = 0; l < DCUBE_SIDE; l++) {
    vec3 left = corner[3], right = corner[2];
    const vec3 left_step = dcube_step(corner[3], corner[0]), right_step = dcube_step(corner[2], corner[1]);
    for (int32_t j = 0; j < DCUBE_SIDE; j++) {
      vec3 p = left;
      const vec3 step = dcube_step(left, right);
      const uint8_t* row = density + DCUBE_SIDE * j + DCUBE_SIDE * DCUBE_SIDE * l;
      for (int32_t k = 0; k < DCUBE_SIDE; k++, dcube_advance(&p, step)) {
        const int32_t size = row[k];
        if (size < DCUBE_MIN_SIZE)
          continue;
        // Positions far outside the frame (or not numbers) draw nothing and
        // must not reach the integer conversion.
        if (!(std::fabs(p.x) < 1.0e6f && std::fabs(p.y) < 1.0e6f))
          continue;
        add_sprite_scaled(int32_t(p.x), int32_t(p.y), frame, glow, p.z, size);
      }
      dcube_advance(&left, left_step);
      dcube_advance(&right, right_step);
    }
    for (int32_t q = 0; q < 4; q++)
      dcube_advance(&corner[q], corner_step[q]);
  }
}
