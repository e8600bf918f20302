// Flat and angular shapes: star, plate, disc, box.
#include "mesh_builders.h"

#include <cmath>

static const float forge_pi = 3.14159265358979f;

// Planar mapping of the xy square [-half, half]^2 onto the texture.
static forge_uv forge_planar_uv(forge_vec3 p, float half) { return {0.5f + p.x / (2 * half), 0.5f - p.y / (2 * half)}; }

int forge_mesh_star(forge_mesh* m, int32_t points, float outer, float inner, float depth) {
  *m = forge_mesh{};
  if (points < 3 || points > 1024 || outer <= 0 || inner <= 0 || inner >= outer || depth <= 0)
    return 0;
  const int32_t n = points * 2;
  for (int32_t k = 0; k < n; k++) {
    const float a = forge_pi / 2 + 2 * forge_pi * float(k) / float(n);
    const float r = (k & 1) ? inner : outer;
    forge_mesh_add_vertex(m, {r * std::cos(a), r * std::sin(a), 0});
  }
  const int32_t front = forge_mesh_add_vertex(m, {0, 0, depth});
  const int32_t back = forge_mesh_add_vertex(m, {0, 0, -depth});
  const forge_uv centre = {0.5f, 0.5f};
  for (int32_t k = 0; k < n; k++) {
    const int32_t a = k, b = (k + 1) % n;
    const forge_uv ua = forge_planar_uv(m->positions[size_t(a)], outer);
    const forge_uv ub = forge_planar_uv(m->positions[size_t(b)], outer);
    forge_mesh_add_triangle(m, front, a, b, centre, ua, ub);
    forge_mesh_add_triangle(m, back, b, a, centre, ub, ua);
  }
  return 1;
}

int forge_mesh_plate(forge_mesh* m, float width, float height, int32_t cols, int32_t rows) {
  *m = forge_mesh{};
  if (cols < 1 || rows < 1 || cols > 4096 || rows > 4096 || width <= 0 || height <= 0)
    return 0;
  for (int32_t j = 0; j <= rows; j++)
    for (int32_t i = 0; i <= cols; i++)
      forge_mesh_add_vertex(m, {width * (float(i) / float(cols) - 0.5f), height * (0.5f - float(j) / float(rows)), 0});
  for (int32_t j = 0; j < rows; j++)
    for (int32_t i = 0; i < cols; i++) {
      const int32_t v[4] = {j * (cols + 1) + i, (j + 1) * (cols + 1) + i, (j + 1) * (cols + 1) + i + 1,
                            j * (cols + 1) + i + 1};
      const float u0 = float(i) / float(cols), u1 = float(i + 1) / float(cols);
      const float v0 = float(j) / float(rows), v1 = float(j + 1) / float(rows);
      const forge_uv uv[4] = {{u0, v0}, {u0, v1}, {u1, v1}, {u1, v0}};
      forge_mesh_add_quad(m, v, uv);
    }
  return 1;
}

int forge_mesh_disc(forge_mesh* m, float outer, float inner, int32_t segments) {
  *m = forge_mesh{};
  if (segments < 3 || segments > 65536 || outer <= 0 || inner < 0 || inner >= outer)
    return 0;
  for (int32_t k = 0; k < segments; k++) {
    const float a = 2 * forge_pi * float(k) / float(segments);
    forge_mesh_add_vertex(m, {outer * std::cos(a), outer * std::sin(a), 0});
    if (inner > 0)
      forge_mesh_add_vertex(m, {inner * std::cos(a), inner * std::sin(a), 0});
  }
  const int32_t centre = inner > 0 ? -1 : forge_mesh_add_vertex(m, {0, 0, 0});
  const int32_t step = inner > 0 ? 2 : 1;
  for (int32_t k = 0; k < segments; k++) {
    const int32_t o0 = k * step, o1 = ((k + 1) % segments) * step;
    const forge_uv u0 = forge_planar_uv(m->positions[size_t(o0)], outer);
    const forge_uv u1 = forge_planar_uv(m->positions[size_t(o1)], outer);
    if (inner > 0) {
      const forge_uv i0 = forge_planar_uv(m->positions[size_t(o0 + 1)], outer);
      const forge_uv i1 = forge_planar_uv(m->positions[size_t(o1 + 1)], outer);
      const int32_t v[4] = {o0 + 1, o0, o1, o1 + 1};
      const forge_uv uv[4] = {i0, u0, u1, i1};
      forge_mesh_add_quad(m, v, uv);
    } else {
      forge_mesh_add_triangle(m, centre, o0, o1, {0.5f, 0.5f}, u0, u1);
    }
  }
  return 1;
}

int forge_mesh_box(forge_mesh* m, float sx, float sy, float sz) {
  *m = forge_mesh{};
  if (sx <= 0 || sy <= 0 || sz <= 0)
    return 0;
  for (int32_t k = 0; k < 8; k++)
    forge_mesh_add_vertex(m, {(k & 1 ? 0.5f : -0.5f) * sx, (k & 2 ? 0.5f : -0.5f) * sy, (k & 4 ? 0.5f : -0.5f) * sz});
  // Each side: corners top-left, bottom-left, bottom-right, top-right seen
  // from outside (bit 0 = +x, bit 1 = +y, bit 2 = +z).
  const int32_t sides[6][4] = {{6, 4, 5, 7}, {3, 1, 0, 2}, {7, 5, 1, 3}, {2, 0, 4, 6}, {2, 6, 7, 3}, {4, 0, 1, 5}};
  const forge_uv uv[4] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
  for (const auto& s : sides)
    forge_mesh_add_quad(m, s, uv);
  return 1;
}
