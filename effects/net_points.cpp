// The net's points: base grid and phases, the ripple and projection that
// give the blocks' texture coordinates, the shading by averaged normals, the
// block rows and the slow turn of the whole net.
#include "mat3.h"
#include "net_parts.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float PI = 3.14159265358979323846f;
constexpr float NET_PHASE_A_SPEED = PI / 64;  // per tick
constexpr float NET_PHASE_B_SPEED = PI / 256; // per tick
constexpr float NET_REVEAL_SPEED = 0.1f;      // block rows per tick
constexpr float NET_FOCAL = 400.0f;
constexpr float NET_DEPTH = 800.0f;
constexpr net_lookup NET_LOOKUP_START = {64.0f, 64.0f, 48.0f, 48.0f};

// A map coordinate: trunc(v), kept inside the map (a non-number reads 0).
int32_t net_map_coord(float v) {
  if (!(v >= 0.0f))
    return 0;
  return v >= float(NET_MAP_SIDE - 1) ? NET_MAP_SIDE - 1 : int32_t(v);
}
} // namespace

void net_reset_points(net_state* s) {
  for (int32_t i = 0; i < NET_ROWS; i++)
    for (int32_t j = 0; j < NET_COLUMNS; j++) {
      const int32_t k = i * NET_COLUMNS + j;
      const float x = -128.0f + 6.243902f * float(j), y = -128.0f + 8.258064f * float(i);
      s->base[k] = {x, y, 0.0f};
      s->phase_a[k] = PI * std::sin(std::sqrt(x * x + y * y) * PI / 256.0f);
      s->phase_b[k] = PI * std::cos(float(j) * PI / 42.0f) * std::sin(float(i) * PI / 32.0f);
    }
  s->tilt = s->spin = s->wobble = 0.0f;
  s->reveal = 0.0f;
  s->lookup = NET_LOOKUP_START;
}

void net_move_points(net_state* s, float fd) {
  mat3 r;
  mat3_rotation_xyz(&r, s->tilt, 0.0f, s->spin);
  mat3_transform_array(s->moved, s->base, NET_POINTS, &r);
  for (int32_t k = 0; k < NET_POINTS; k++) {
    vec3& p = s->moved[k];
    const float a = s->phase_a[k], b = s->phase_b[k];
    p.x += std::sin(a) * (64.0f + 32.0f * std::cos(b));
    p.y += 32.0f * std::sin(b);
    // The net stays between 586 and 1014 deep, well clear of the eye plane.
    p.z += NET_DEPTH + 42.0f * std::cos(a);
    const float f = NET_FOCAL / (NET_FOCAL - p.z);
    p.x *= f;
    p.y *= f;
    s->corners[k].u = int32_t(p.x);
    s->corners[k].v = int32_t(p.y);
    s->phase_a[k] = a + NET_PHASE_A_SPEED * fd;
    s->phase_b[k] = b + NET_PHASE_B_SPEED * fd;
    s->normal_sum[k] = {0.0f, 0.0f, 0.0f};
    s->normal_count[k] = 0;
  }
}

int32_t net_map_index(const net_lookup* lookup, float nx, float ny) {
  return net_map_coord(lookup->scale_x * nx + lookup->offset_x) +
         NET_MAP_SIDE * net_map_coord(lookup->scale_y * ny + lookup->offset_y);
}

void net_shade_points(net_state* s) {
  if (!(s->lookup.scale_x > 1.0f))
    return;
  for (int32_t i = 0; i + 1 < NET_ROWS; i++)
    for (int32_t j = 0; j + 1 < NET_COLUMNS; j++) {
      const int32_t k = i * NET_COLUMNS + j;
      const int32_t around[4] = {k, k + 1, k + NET_COLUMNS, k + NET_COLUMNS + 1};
      vec3 right, down, n;
      vec3_sub(&right, &s->moved[k + 1], &s->moved[k]);
      vec3_sub(&down, &s->moved[k + NET_COLUMNS], &s->moved[k]);
      vec3_normalize(&n, vec3_cross(&n, &down, &right));
      for (const int32_t q : around) {
        vec3_add(&s->normal_sum[q], &s->normal_sum[q], &n);
        s->normal_count[q]++;
      }
    }
  for (int32_t k = 0; k < NET_POINTS; k++) {
    const float c = float(s->normal_count[k]); // every point lies on a cell
    s->corners[k].shade = s->normal_map[net_map_index(&s->lookup, s->normal_sum[k].x / c, s->normal_sum[k].y / c)];
  }
}

void net_fill_blocks(net_state* s, pixmap* p, float fd) {
  const int32_t mode = s->lookup.scale_x > 1.0f ? BLOCK_SHADED : BLOCK_PLAIN;
  for (int32_t k = 0; k < NET_BLOCK_ROWS && float(k) < s->reveal; k++)
    for (int32_t c = 0; c < NET_BLOCK_COLUMNS; c++) {
      const block_corner* tl = &s->corners[k * NET_COLUMNS + c];
      block_fill(BLOCK_SIZE * c, BLOCK_SIZE * k, p, s->envmap, mode, tl, tl + 1, tl + NET_COLUMNS, tl + NET_COLUMNS + 1,
                 s->shade);
    }
  s->reveal = std::min(float(NET_BLOCK_ROWS), s->reveal + NET_REVEAL_SPEED * fd);
}

void net_drift(net_state* s, uint32_t order, uint32_t row, float fd) {
  net_lookup& l = s->lookup;
  if (order > 27 && row > 80 && l.scale_x > 1.0f) {
    l.offset_x += 0.5625f * fd;
    l.offset_y += 0.109375f * fd;
    l.scale_x -= 0.75f * fd;
    l.scale_y -= 0.75f * fd;
  }
  s->tilt = 2.0f * PI / 5.0f * std::sin(s->wobble);
  s->spin += PI / 128.0f * fd;
  s->wobble += PI / 256.0f * fd;
}
