// The perforated spherical shell.
#include "mesh_builders.h"

#include <cmath>

static const float forge_pi = 3.14159265358979f;

int forge_mesh_sphere_holes(forge_mesh* m, float radius, float thickness, int32_t slices, int32_t stacks) {
  *m = forge_mesh{};
  if (slices < 3 || stacks < 3 || slices > 1024 || stacks > 1024 || radius <= 0 || thickness <= 0 ||
      thickness >= radius)
    return 0;
  // Sub-cell grid: I columns around, J rows from pole to pole.
  const int32_t I = slices * 3, J = stacks * 3;
  const float radii[2] = {radius, radius - thickness};
  // Vertex (layer, i, j) for rows 1 to J - 1; poles apart.
  int32_t pole[2][2];
  std::vector<int32_t> grid(size_t(2) * size_t(I) * size_t(J + 1), -1);
  for (int32_t layer = 0; layer < 2; layer++) {
    pole[layer][0] = forge_mesh_add_vertex(m, {0, radii[layer], 0});
    pole[layer][1] = forge_mesh_add_vertex(m, {0, -radii[layer], 0});
    for (int32_t j = 1; j < J; j++)
      for (int32_t i = 0; i < I; i++) {
        const float a = 2 * forge_pi * float(i) / float(I), b = forge_pi * float(j) / float(J);
        const float r = radii[layer];
        grid[(size_t(layer) * size_t(J + 1) + size_t(j)) * size_t(I) + size_t(i)] =
            forge_mesh_add_vertex(m, {r * std::sin(b) * std::cos(a), r * std::cos(b), -r * std::sin(b) * std::sin(a)});
      }
  }
  auto vert = [&](int32_t layer, int32_t i, int32_t j) {
    if (j == 0)
      return pole[layer][0];
    if (j == J)
      return pole[layer][1];
    return grid[(size_t(layer) * size_t(J + 1) + size_t(j)) * size_t(I) + size_t(i % I)];
  };
  auto is_hole = [&](int32_t i, int32_t j) {
    const int32_t ci = i / 3, cj = j / 3;
    return i % 3 == 1 && j % 3 == 1 && cj > 0 && cj < stacks - 1 && (ci + cj) % 2 == 0;
  };
  auto uv = [&](int32_t i, int32_t j) { return forge_uv{float(i) / float(I), float(j) / float(J)}; };

  for (int32_t j = 0; j < J; j++)
    for (int32_t i = 0; i < I; i++) {
      if (is_hole(i, j)) {
        // Walls on the four sides of the hole, facing into it.
        const int32_t corners[4][2] = {{i, j}, {i, j + 1}, {i + 1, j + 1}, {i + 1, j}};
        for (int32_t k = 0; k < 4; k++) {
          const int32_t* p = corners[k];
          const int32_t* q = corners[(k + 1) % 4];
          const int32_t v[4] = {vert(0, p[0], p[1]), vert(1, p[0], p[1]), vert(1, q[0], q[1]), vert(0, q[0], q[1])};
          const forge_uv t[4] = {uv(p[0], p[1]), uv(p[0], p[1]), uv(q[0], q[1]), uv(q[0], q[1])};
          // The hole's corners run counter-clockwise seen from outside; the
          // walls face the hole's centre, so their corners go the other way.
          const int32_t w[4] = {v[3], v[2], v[1], v[0]};
          const forge_uv tw[4] = {t[3], t[2], t[1], t[0]};
          forge_mesh_add_quad(m, w, tw, 1);
        }
        continue;
      }
      for (int32_t layer = 0; layer < 2; layer++) {
        const int32_t a = vert(layer, i, j), b = vert(layer, i, j + 1), c = vert(layer, i + 1, j + 1),
                      d = vert(layer, i + 1, j);
        const forge_uv ta = uv(i, j), tb = uv(i, j + 1), tc = uv(i + 1, j + 1), td = uv(i + 1, j);
        const int32_t surface = layer;
        auto tri = [&](int32_t p, int32_t q, int32_t r, forge_uv tp, forge_uv tq, forge_uv tr) {
          if (layer == 0)
            forge_mesh_add_triangle(m, p, q, r, tp, tq, tr, surface);
          else
            forge_mesh_add_triangle(m, p, r, q, tp, tr, tq, surface);
        };
        if (j == 0)
          tri(a, b, c, {(ta.u + td.u) * 0.5f, 0}, tb, tc);
        else if (j == J - 1)
          tri(a, b, d, ta, {(tb.u + tc.u) * 0.5f, 1}, td);
        else {
          tri(a, b, c, ta, tb, tc);
          tri(a, c, d, ta, tc, td);
        }
      }
    }
  return 1;
}
