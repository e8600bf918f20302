// The magnet's field: four poles turning in space; at every block corner
// their summed inverse distance, times the field's strength, bends the
// texture coordinates and sets the shade. The music's beats jump the poles.
#include "magnet_parts.h"
#include "mat3.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float PI = 3.14159265358979323846f;
// Squared distance below which a pole counts as this close to a corner (a
// pole on a corner would divide by zero).
constexpr float MAGNET_NEAREST2 = 1.0e-6f;
constexpr int32_t MAGNET_SHADE_MAX = 63;
} // namespace

void magnet_field_reset(magnet_field* f) {
  const vec3 poles[MAGNET_POLES] = {{-64, 64, 0}, {64, 64, 0}, {64, -64, 0}, {-64, -64, 0}};
  for (int32_t k = 0; k < MAGNET_POLES; k++) {
    f->poles[k] = poles[k];
    f->turned[k] = poles[k];
    f->angle[k] = 0.0f;
    f->speed[k] = 0.0f;
  }
  f->speed[2] = PI / 64;
  f->strength = 64.0f;
  f->countdown = 512.0f;
  f->flash = 64.0f;
  f->scroll = 0;
  f->beat = 0;
  f->beats = 0;
}

void magnet_field_advance(magnet_field* f, magnet_cube* c, uint32_t order, uint32_t row, float fd) {
  // The speeds change per frame, not per tick.
  if (f->countdown < 256.0f && f->speed[0] < PI / 128)
    f->speed[0] += PI / 16384;
  if (f->countdown < 128.0f && f->speed[1] > -PI / 128)
    f->speed[1] -= PI / 8192;
  if (f->countdown > 0.0f)
    f->countdown -= fd;
  if (f->countdown < 16.0f) {
    c->glow = std::min(MAGNET_GLOW_MAX, c->glow + 0.25f * fd);
    const uint32_t in_span = row & 31;
    if (f->beat && in_span > 7)
      f->beat = 0;
    if (!f->beat && in_span < 7) {
      f->angle[0] -= PI / 8;
      f->angle[1] -= 0.5249658742291038f;
      f->angle[2] += 0.41541721039203877f;
      f->beat = 1;
      f->beats++;
    }
  }
  if (f->beats > 4 || order > 23)
    f->strength += 0.25f * fd;
}

block_corner magnet_corner(float potential, const magnet_field* f, int32_t r, int32_t j) {
  const float w = potential * f->strength;
  const float t = std::clamp(12.0f * w, 0.0f, float(MAGNET_SHADE_MAX));
  const float shade = std::min(float(MAGNET_SHADE_MAX), float(MAGNET_SHADE_MAX) - float(int32_t(t)) + f->flash);
  return {8 * (f->scroll + j) + int32_t(128.0f * std::cos(w)), 8 * r + int32_t(256.0f * std::sin(w)), int32_t(shade)};
}

void magnet_field_corners(magnet_field* f) {
  mat3 m;
  mat3_rotation_xyz(&m, f->angle[0], f->angle[1], f->angle[2]);
  mat3_transform_array(f->turned, f->poles, MAGNET_POLES, &m);
  for (int32_t r = 0; r < MAGNET_ROWS; r++) {
    const float gy = -100.0f + 6.0f * float(r);
    for (int32_t j = 0; j + 1 < MAGNET_COLUMNS; j++) {
      const float gx = -100.0f + 5.0f * float(j);
      float potential = 0.0f;
      for (const vec3& p : f->turned) {
        const float dx = p.x - gx, dy = p.y - gy;
        potential += 1.0f / std::sqrt(std::max(MAGNET_NEAREST2, dx * dx + dy * dy));
      }
      f->corners[r * MAGNET_COLUMNS + j] = magnet_corner(potential, f, r, j);
    }
  }
}

void magnet_field_draw(magnet_field* f, pixmap* p, const pixmap* texture, const uint8_t* shade, float fd) {
  magnet_field_corners(f);
  f->scroll = (f->scroll + 1) & 255;
  for (int32_t r = 0; r < MAGNET_BLOCK_ROWS; r++)
    for (int32_t j = 0; j < MAGNET_BLOCK_COLUMNS; j++) {
      const block_corner* tl = &f->corners[r * MAGNET_COLUMNS + j];
      block_fill(BLOCK_SIZE * j, BLOCK_SIZE * r, p, texture, BLOCK_SHADED, tl, tl + 1, tl + MAGNET_COLUMNS,
                 tl + MAGNET_COLUMNS + 1, shade);
    }
  for (int32_t k = 0; k < MAGNET_POLES; k++)
    f->angle[k] += f->speed[k] * fd * 0.25f;
  f->flash = std::max(0.0f, f->flash - 0.5f * fd);
}
