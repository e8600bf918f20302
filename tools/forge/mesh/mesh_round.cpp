// Round solids: torus, UV sphere, geodesic sphere.
#include "mesh_builders.h"

#include <cmath>

static const float forge_pi = 3.14159265358979f;

int forge_mesh_torus(forge_mesh* m, float major, float minor, int32_t rings, int32_t sides) {
  *m = forge_mesh{};
  if (rings < 3 || sides < 3 || rings > 4096 || sides > 4096 || minor <= 0 || major <= minor)
    return 0;
  for (int32_t i = 0; i < rings; i++) {
    const float a = 2 * forge_pi * float(i) / float(rings);
    for (int32_t j = 0; j < sides; j++) {
      const float b = 2 * forge_pi * float(j) / float(sides);
      const float r = major + minor * std::cos(b);
      forge_mesh_add_vertex(m, {r * std::cos(a), minor * std::sin(b), -r * std::sin(a)});
    }
  }
  for (int32_t i = 0; i < rings; i++)
    for (int32_t j = 0; j < sides; j++) {
      const int32_t i1 = (i + 1) % rings, j1 = (j + 1) % sides;
      const int32_t v[4] = {i * sides + j, i1 * sides + j, i1 * sides + j1, i * sides + j1};
      const float u0 = float(i) / float(rings), u1 = float(i + 1) / float(rings);
      const float v0 = float(j) / float(sides), v1 = float(j + 1) / float(sides);
      const forge_uv uv[4] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
      forge_mesh_add_quad(m, v, uv);
    }
  return 1;
}

// Position on a sphere: slice angle around y, stack angle from the top pole.
static forge_vec3 forge_sphere_point(float radius, float slice, float stack) {
  return {radius * std::sin(stack) * std::cos(slice), radius * std::cos(stack),
          -radius * std::sin(stack) * std::sin(slice)};
}

int forge_mesh_uv_sphere(forge_mesh* m, float radius, int32_t slices, int32_t stacks) {
  *m = forge_mesh{};
  if (slices < 3 || stacks < 2 || slices > 4096 || stacks > 4096 || radius <= 0)
    return 0;
  const int32_t top = forge_mesh_add_vertex(m, {0, radius, 0});
  for (int32_t j = 1; j < stacks; j++)
    for (int32_t i = 0; i < slices; i++)
      forge_mesh_add_vertex(
          m, forge_sphere_point(radius, 2 * forge_pi * float(i) / float(slices), forge_pi * float(j) / float(stacks)));
  const int32_t bottom = forge_mesh_add_vertex(m, {0, -radius, 0});
  auto ring = [&](int32_t j, int32_t i) { return 1 + (j - 1) * slices + (i % slices); };
  for (int32_t i = 0; i < slices; i++) {
    const float u0 = float(i) / float(slices), u1 = float(i + 1) / float(slices), um = (u0 + u1) * 0.5f;
    const float vt = 1.0f / float(stacks), vb = float(stacks - 1) / float(stacks);
    forge_mesh_add_triangle(m, top, ring(1, i), ring(1, i + 1), {um, 0}, {u0, vt}, {u1, vt});
    for (int32_t j = 1; j + 1 < stacks; j++) {
      const float v0 = float(j) / float(stacks), v1 = float(j + 1) / float(stacks);
      const int32_t v[4] = {ring(j, i), ring(j + 1, i), ring(j + 1, i + 1), ring(j, i + 1)};
      const forge_uv uv[4] = {{u0, v0}, {u0, v1}, {u1, v1}, {u1, v0}};
      forge_mesh_add_quad(m, v, uv);
    }
    forge_mesh_add_triangle(m, bottom, ring(stacks - 1, i + 1), ring(stacks - 1, i), {um, 1}, {u1, vb}, {u0, vb});
  }
  return 1;
}

static forge_uv forge_sphere_uv(forge_vec3 p) {
  const forge_vec3 n = forge_vec3_normalise(p);
  float u = std::atan2(-n.z, n.x) / (2 * forge_pi);
  if (u < 0)
    u += 1;
  return {u, std::acos(std::fmax(-1.0f, std::fmin(1.0f, n.y))) / forge_pi};
}

int forge_mesh_geosphere(forge_mesh* m, float radius, int32_t level) {
  *m = forge_mesh{};
  if (level < 1 || level > 64 || radius <= 0)
    return 0;
  const float t = (1 + std::sqrt(5.0f)) / 2;
  const forge_vec3 ico[12] = {{-1, t, 0},  {1, t, 0},  {-1, -t, 0}, {1, -t, 0}, {0, -1, t},  {0, 1, t},
                              {0, -1, -t}, {0, 1, -t}, {t, 0, -1},  {t, 0, 1},  {-t, 0, -1}, {-t, 0, 1}};
  const int32_t faces[20][3] = {{0, 11, 5},  {0, 5, 1},  {0, 1, 7},  {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
                                {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
                                {3, 8, 9},   {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
  auto on_sphere = [&](forge_vec3 p) {
    const forge_vec3 n = forge_vec3_normalise(p);
    return forge_vec3{n.x * radius, n.y * radius, n.z * radius};
  };
  for (const auto& f : faces) {
    const forge_vec3 a = ico[f[0]], b = ico[f[1]], c = ico[f[2]];
    // Grid point (i, j) with i + j <= level: a + (b - a) i / level + (c - a) j / level.
    auto point = [&](int32_t i, int32_t j) {
      const float s = float(i) / float(level), r = float(j) / float(level);
      return on_sphere({a.x + (b.x - a.x) * s + (c.x - a.x) * r, a.y + (b.y - a.y) * s + (c.y - a.y) * r,
                        a.z + (b.z - a.z) * s + (c.z - a.z) * r});
    };
    auto emit = [&](forge_vec3 p0, forge_vec3 p1, forge_vec3 p2) {
      forge_uv uv[3] = {forge_sphere_uv(p0), forge_sphere_uv(p1), forge_sphere_uv(p2)};
      // Across the seam, lift the small u values by one turn.
      const float umax = std::fmax(uv[0].u, std::fmax(uv[1].u, uv[2].u));
      const float umin = std::fmin(uv[0].u, std::fmin(uv[1].u, uv[2].u));
      if (umax - umin > 0.5f)
        for (forge_uv& q : uv)
          if (q.u < 0.5f)
            q.u += 1;
      // A corner on a pole takes the u of the other two.
      const forge_vec3 ps[3] = {p0, p1, p2};
      for (int k = 0; k < 3; k++)
        if (std::fabs(std::fabs(ps[k].y) - radius) < radius * 1e-4f)
          uv[k].u = (uv[(k + 1) % 3].u + uv[(k + 2) % 3].u) * 0.5f;
      const int32_t i0 = forge_mesh_add_vertex(m, p0), i1 = forge_mesh_add_vertex(m, p1),
                    i2 = forge_mesh_add_vertex(m, p2);
      forge_mesh_add_triangle(m, i0, i1, i2, uv[0], uv[1], uv[2]);
    };
    for (int32_t j = 0; j < level; j++)
      for (int32_t i = 0; i + j < level; i++) {
        emit(point(i, j), point(i + 1, j), point(i, j + 1));
        if (i + j + 1 < level)
          emit(point(i + 1, j), point(i + 1, j + 1), point(i, j + 1));
      }
  }
  forge_mesh_weld(m, radius * 1e-4f);
  return 1;
}
