// The hypervoxel's ball: a 24 x 24 latitude-longitude sphere whose radius
// at every vertex is scaled by the live height field, read at rows that
// scroll over the sphere, environment-mapped by its base normals.
#include "hypervoxel_parts.h"
#include "mat3.h"
#include "render_polygon.h"

#include <cmath>

namespace {
constexpr float PI = 3.14159265358979323846f;
constexpr int32_t HVOXEL_TEXTURE_MASK = 255;
// Grid steps through the height field, in 8.8 fixed point.
constexpr int32_t HVOXEL_ROW_STEP = 32768 / HVOXEL_BALL_SIDE;
constexpr int32_t HVOXEL_COLUMN_STEP = 32768 / HVOXEL_BALL_SIDE;

void hvoxel_corner(polygon* t, int32_t slot, const hvoxel_ball* ball, int32_t k) {
  t->v[slot] = ball->turned[k];
  t->uv[2 * slot] = float((ball->u[k] + int32_t(ball->offset_u)) & HVOXEL_TEXTURE_MASK);
  t->uv[2 * slot + 1] = float((ball->v[k] + int32_t(ball->offset_v)) & HVOXEL_TEXTURE_MASK);
}
} // namespace

void hvoxel_ball_build(hvoxel_ball* ball) {
  for (int32_t i = 0; i < HVOXEL_BALL_SIDE; i++) {
    const float lambda = float(i) * PI / float(HVOXEL_BALL_SIDE);
    for (int32_t j = 0; j < HVOXEL_BALL_SIDE; j++) {
      const float mu = float(j) * 2.0f * PI / float(HVOXEL_BALL_SIDE);
      const int32_t k = i * HVOXEL_BALL_SIDE + j;
      const vec3 n = {std::cos(mu) * std::sin(lambda), std::cos(lambda), std::sin(lambda) * std::sin(mu)};
      ball->base[k] = {HVOXEL_BALL_RADIUS * n.x, HVOXEL_BALL_RADIUS * n.y, HVOXEL_BALL_RADIUS * n.z};
      ball->u[k] = int32_t(128.0f + 127.0f * n.x);
      ball->v[k] = int32_t(128.0f + 127.0f * std::cos(lambda));
    }
  }
}

hvoxel_sample hvoxel_sample_at(float scroll, float column_offset, int32_t i, int32_t j) {
  const int32_t f0 = int32_t(scroll);
  const int32_t row = (f0 + i * HVOXEL_ROW_STEP / 256) & (HVOXEL_FIELD_SIDE - 1);
  return {row, (row + 1) & (HVOXEL_FIELD_SIDE - 1),
          (j * HVOXEL_COLUMN_STEP / 256 + int32_t(column_offset)) & (HVOXEL_FIELD_SIDE - 1), scroll - float(f0)};
}

void hvoxel_ball_draw(hvoxel_ball* ball, const float* field, render_context* rc) {
  mat3 r;
  mat3_rotation_xyz(&r, ball->rx, ball->ry, ball->rz);
  for (int32_t i = 0; i < HVOXEL_BALL_SIDE; i++)
    for (int32_t j = 0; j < HVOXEL_BALL_SIDE; j++) {
      const hvoxel_sample s = hvoxel_sample_at(ball->scroll, ball->column_offset, i, j);
      const float h = field[s.row * HVOXEL_FIELD_SIDE + s.column] * (1.0f - s.t) +
                      field[s.next_row * HVOXEL_FIELD_SIDE + s.column] * s.t;
      const int32_t k = i * HVOXEL_BALL_SIDE + j;
      vec3 scaled, turned;
      vec3_scale(&scaled, h, &ball->base[k]);
      mat3_transform(&turned, &scaled, &r);
      vec3_add(&ball->turned[k], &turned, &ball->position);
    }
  polygon* t = ball->triangle;
  if (!t || !rc)
    return;
  for (int32_t i = 0; i + 1 < HVOXEL_BALL_SIDE; i++)
    for (int32_t j = 0; j < HVOXEL_BALL_SIDE; j++) {
      const int32_t a = i * HVOXEL_BALL_SIDE + j;                          // row i, column j
      const int32_t b = i * HVOXEL_BALL_SIDE + (j + 1) % HVOXEL_BALL_SIDE; // row i, column j + 1
      const int32_t c = a + HVOXEL_BALL_SIDE, d = b + HVOXEL_BALL_SIDE;    // the same on row i + 1
      hvoxel_corner(t, 0, ball, a);
      hvoxel_corner(t, 1, ball, b);
      hvoxel_corner(t, 2, ball, c);
      render_polygon(rc, t);
      hvoxel_corner(t, 0, ball, b);
      hvoxel_corner(t, 1, ball, d);
      hvoxel_corner(t, 2, ball, c);
      render_polygon(rc, t);
    }
}
