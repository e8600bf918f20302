// Section 1 of the intro: the wall of 80 tiles, textured with the burn-in
// picture, flies apart, spins and zooms.
#include "intro_parts.h"

#include "drawers.h"
#include "render_polygon.h"

namespace {
constexpr uint32_t TILE_FLAGS = POLY_TEXTURE | POLY_EDGE01 | POLY_EDGE12 | POLY_EDGE20 | POLY_TWO_SIDED | POLY_CUSTOM;
constexpr uint32_t TILE_FRONT = 0xFFFFFF;
constexpr uint32_t TILE_BACK = 0x0000FF;
// Which corners make each triangle.
constexpr int32_t TILE_CORNERS[2][3] = {{0, 1, 2}, {1, 3, 2}};
} // namespace

int intro_make_tiles(intro_tile* tiles, pixmap* picture) {
  static const vec3 corners[4] = {{-16, -15, 0}, {16, -15, 0}, {-16, 15, 0}, {16, 15, 0}};
  for (int32_t r = 0; r < INTRO_TILE_ROWS; r++)
    for (int32_t j = 0; j < INTRO_TILE_COLUMNS; j++) {
      const int32_t index = r * INTRO_TILE_COLUMNS + j;
      intro_tile& t = tiles[index];
      for (int32_t k = 0; k < 4; k++)
        t.corner[k] = corners[k];
      t.position = {-144.0f + 32.0f * float(j), -105.0f + 30.0f * float(r), 0.0f};
      t.start_x = t.position.x;
      t.start_y = t.position.y;
      t.velocity_x = ((-304.0f + 67.55556f * float(j)) - t.start_x) / 32.0f;
      t.velocity_y = ((-192.85715f + 64.28571f * float(r)) - t.start_y) / 32.0f;
      t.time = -2.0f * float(index);
      t.angle[0] = t.angle[1] = t.angle[2] = 0.0f;
      t.speed[0] = -0.09817477f;
      t.speed[1] = -0.19634955f;
      t.speed[2] = 0.09817477f;
      // Texture coordinates in texels: the tile's share of the picture.
      const float u0 = 31.9f * float(j), u1 = 31.9f * float(j + 1);
      const float v0 = 30.0f * float(r), v1 = 30.0f * float(r + 1);
      const float uv[2][6] = {{u0, v0, u1, v0, u0, v1}, {u1, v0, u1, v1, u0, v1}};
      for (int32_t k = 0; k < 2; k++) {
        polygon* p = polygon_create();
        if (!p)
          return 0;
        t.triangle[k] = p;
        p->flags = TILE_FLAGS;
        p->stride = 5;
        p->drawer = texture_general;
        p->colour = TILE_FRONT;
        p->texture[0] = picture;
        p->layer[0] = 0;
        p->uv_count = 6;
        for (int32_t f = 0; f < 6; f++)
          p->uv[f] = uv[k][f];
      }
    }
  return 1;
}

void intro_free_tiles(intro_tile* tiles) {
  for (int32_t i = 0; i < INTRO_TILES; i++)
    for (polygon*& p : tiles[i].triangle)
      if (p) {
        polygon_free(p);
        p = nullptr;
      }
}

void intro_tile_step(intro_tile* t, const mat3* camera, float depth, float x_offset, float d, render_context* rc) {
  mat3_transform(&t->transformed_position, &t->position, camera);
  mat3 own, both;
  mat3_rotation_xyz(&own, t->angle[0], t->angle[1], t->angle[2]);
  mat3_mul(&both, &own, camera); // the tile's own turn first
  mat3_transform_array(t->transformed, t->corner, 4, &both);
  for (vec3& c : t->transformed) {
    vec3_add(&c, &c, &t->transformed_position);
    c.z = depth; // one depth for the whole wall
    c.x += x_offset;
  }

  if (t->time > 0.0f && t->time < 32.0f) {
    t->position.x = t->start_x + t->time * t->velocity_x;
    t->position.y = t->start_y + t->time * t->velocity_y;
  }
  if (t->time > 0.0f && t->time < 64.0f)
    for (int32_t k = 0; k < 3; k++)
      t->angle[k] = t->time * t->speed[k];
  t->time += 0.5f * d;
  if (t->time > 64.0f)
    t->time = 63.0f;

  for (int32_t k = 0; k < 2; k++)
    for (int32_t v = 0; v < 3; v++)
      t->triangle[k]->v[v] = t->transformed[TILE_CORNERS[k][v]];
  // The back of a tile is tinted, by the winding of its first triangle.
  const vec3* v = t->triangle[0]->v;
  const float s = (v[0].x - v[1].x) * (v[2].y - v[1].y) - (v[2].x - v[1].x) * (v[0].y - v[1].y);
  const uint32_t colour = s > 0.0f ? TILE_FRONT : TILE_BACK;
  for (polygon* p : t->triangle) {
    p->colour = colour;
    render_polygon(rc, p);
  }
}
