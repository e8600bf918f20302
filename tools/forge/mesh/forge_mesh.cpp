#include "forge_mesh.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

forge_vec3 forge_vec3_sub(forge_vec3 a, forge_vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

forge_vec3 forge_vec3_cross(forge_vec3 a, forge_vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float forge_vec3_dot(forge_vec3 a, forge_vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

forge_vec3 forge_vec3_normalise(forge_vec3 v) {
  const float len = std::sqrt(forge_vec3_dot(v, v));
  return len > 0 ? forge_vec3{v.x / len, v.y / len, v.z / len} : forge_vec3{0, 0, 0};
}

int32_t forge_mesh_add_vertex(forge_mesh* m, forge_vec3 p) {
  m->positions.push_back(p);
  return int32_t(m->positions.size() - 1);
}

void forge_mesh_add_triangle(forge_mesh* m, int32_t a, int32_t b, int32_t c, forge_uv ta, forge_uv tb, forge_uv tc,
                             int32_t surface) {
  forge_triangle t;
  t.v[0] = a, t.v[1] = b, t.v[2] = c;
  t.uv[0] = ta, t.uv[1] = tb, t.uv[2] = tc;
  t.surface = surface;
  m->faces.push_back(t);
}

void forge_mesh_add_quad(forge_mesh* m, const int32_t v[4], const forge_uv uv[4], int32_t surface) {
  forge_mesh_add_triangle(m, v[0], v[1], v[2], uv[0], uv[1], uv[2], surface);
  forge_mesh_add_triangle(m, v[0], v[2], v[3], uv[0], uv[2], uv[3], surface);
}

forge_vec3 forge_mesh_face_normal(const forge_mesh* m, const forge_triangle* t) {
  const forge_vec3 a = m->positions[size_t(t->v[0])], b = m->positions[size_t(t->v[1])],
                   c = m->positions[size_t(t->v[2])];
  return forge_vec3_normalise(forge_vec3_cross(forge_vec3_sub(b, a), forge_vec3_sub(c, a)));
}

void forge_mesh_vertex_normals(const forge_mesh* m, std::vector<forge_vec3>* out) {
  out->assign(m->positions.size(), {});
  for (const forge_triangle& t : m->faces) {
    const forge_vec3 a = m->positions[size_t(t.v[0])], b = m->positions[size_t(t.v[1])],
                     c = m->positions[size_t(t.v[2])];
    const forge_vec3 n = forge_vec3_cross(forge_vec3_sub(b, a), forge_vec3_sub(c, a)); // length = 2 * area
    for (int32_t i : t.v) {
      forge_vec3& o = (*out)[size_t(i)];
      o.x += n.x, o.y += n.y, o.z += n.z;
    }
  }
  for (forge_vec3& n : *out)
    n = forge_vec3_normalise(n);
}

void forge_mesh_transform(forge_mesh* m, forge_vec3 scale, forge_vec3 rotate, forge_vec3 move) {
  const float cx = std::cos(rotate.x), sx = std::sin(rotate.x);
  const float cy = std::cos(rotate.y), sy = std::sin(rotate.y);
  const float cz = std::cos(rotate.z), sz = std::sin(rotate.z);
  for (forge_vec3& p : m->positions) {
    forge_vec3 q = {p.x * scale.x, p.y * scale.y, p.z * scale.z};
    q = {q.x, q.y * cx - q.z * sx, q.y * sx + q.z * cx};
    q = {q.x * cy + q.z * sy, q.y, -q.x * sy + q.z * cy};
    q = {q.x * cz - q.y * sz, q.x * sz + q.y * cz, q.z};
    p = {q.x + move.x, q.y + move.y, q.z + move.z};
  }
  // A mirroring scale turns every face inside out; keep them facing outward.
  if (scale.x * scale.y * scale.z < 0)
    for (forge_triangle& t : m->faces) {
      std::swap(t.v[1], t.v[2]);
      std::swap(t.uv[1], t.uv[2]);
    }
}

void forge_mesh_append(forge_mesh* m, const forge_mesh* src) {
  const int32_t base = int32_t(m->positions.size());
  m->positions.insert(m->positions.end(), src->positions.begin(), src->positions.end());
  for (forge_triangle t : src->faces) {
    for (int32_t& i : t.v)
      i += base;
    m->faces.push_back(t);
  }
}

void forge_mesh_weld(forge_mesh* m, float epsilon) {
  // Positions are bucketed on a grid of cell size epsilon; neighbours in the
  // adjacent cells are compared exactly.
  const float inv = epsilon > 0 ? 1.0f / epsilon : 1e6f;
  std::map<std::tuple<int64_t, int64_t, int64_t>, std::vector<int32_t>> grid;
  std::vector<int32_t> remap(m->positions.size());
  std::vector<forge_vec3> kept;
  for (size_t i = 0; i < m->positions.size(); i++) {
    const forge_vec3 p = m->positions[i];
    const int64_t gx = int64_t(std::floor(p.x * inv)), gy = int64_t(std::floor(p.y * inv)),
                  gz = int64_t(std::floor(p.z * inv));
    int32_t found = -1;
    for (int64_t dz = -1; dz <= 1 && found < 0; dz++)
      for (int64_t dy = -1; dy <= 1 && found < 0; dy++)
        for (int64_t dx = -1; dx <= 1 && found < 0; dx++) {
          auto it = grid.find({gx + dx, gy + dy, gz + dz});
          if (it == grid.end())
            continue;
          for (int32_t k : it->second) {
            const forge_vec3 d = forge_vec3_sub(kept[size_t(k)], p);
            if (forge_vec3_dot(d, d) <= epsilon * epsilon) {
              found = k;
              break;
            }
          }
        }
    if (found < 0) {
      found = int32_t(kept.size());
      kept.push_back(p);
      grid[{gx, gy, gz}].push_back(found);
    }
    remap[i] = found;
  }
  m->positions = kept;
  std::vector<forge_triangle> faces;
  for (forge_triangle t : m->faces) {
    for (int32_t& i : t.v)
      i = remap[size_t(i)];
    if (t.v[0] != t.v[1] && t.v[1] != t.v[2] && t.v[0] != t.v[2])
      faces.push_back(t);
  }
  m->faces = faces;
}

int forge_mesh_bounds(const forge_mesh* m, forge_vec3* lo, forge_vec3* hi) {
  if (m->positions.empty())
    return 0;
  *lo = *hi = m->positions[0];
  for (const forge_vec3& p : m->positions) {
    lo->x = std::min(lo->x, p.x), lo->y = std::min(lo->y, p.y), lo->z = std::min(lo->z, p.z);
    hi->x = std::max(hi->x, p.x), hi->y = std::max(hi->y, p.y), hi->z = std::max(hi->z, p.z);
  }
  return 1;
}

bool forge_mesh_valid(const forge_mesh* m) {
  const int32_t n = int32_t(m->positions.size());
  for (const forge_triangle& t : m->faces) {
    for (int32_t i : t.v)
      if (i < 0 || i >= n)
        return false;
    if (t.v[0] == t.v[1] || t.v[1] == t.v[2] || t.v[0] == t.v[2])
      return false;
  }
  return true;
}
