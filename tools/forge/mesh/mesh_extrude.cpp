// Extrusion of outlines and the ear-clipping triangulation of their caps.
#include "mesh_builders.h"

#include <cmath>

static float forge_cross2(forge_uv o, forge_uv a, forge_uv b) {
  return (a.u - o.u) * (b.v - o.v) - (a.v - o.v) * (b.u - o.u);
}

static float forge_signed_area(const std::vector<forge_uv>& p) {
  float area = 0;
  for (size_t i = 0; i < p.size(); i++) {
    const forge_uv a = p[i], b = p[(i + 1) % p.size()];
    area += a.u * b.v - b.u * a.v;
  }
  return area * 0.5f;
}

static bool forge_inside_triangle(forge_uv p, forge_uv a, forge_uv b, forge_uv c) {
  return forge_cross2(a, b, p) >= 0 && forge_cross2(b, c, p) >= 0 && forge_cross2(c, a, p) >= 0;
}

int forge_triangulate(const std::vector<forge_uv>& polygon, std::vector<int32_t>* out) {
  const size_t n = polygon.size();
  if (n < 3)
    return 0;
  // Work counter-clockwise.
  std::vector<int32_t> ring(n);
  const bool ccw = forge_signed_area(polygon) > 0;
  for (size_t i = 0; i < n; i++)
    ring[i] = int32_t(ccw ? i : n - 1 - i);
  std::vector<int32_t> result;
  size_t guard = 0;
  while (ring.size() > 3) {
    bool clipped = false;
    for (size_t i = 0; i < ring.size(); i++) {
      const size_t ip = (i + ring.size() - 1) % ring.size(), in = (i + 1) % ring.size();
      const forge_uv a = polygon[size_t(ring[ip])], b = polygon[size_t(ring[i])], c = polygon[size_t(ring[in])];
      if (forge_cross2(a, b, c) <= 0)
        continue; // reflex or degenerate corner
      bool ear = true;
      for (size_t k = 0; k < ring.size() && ear; k++) {
        if (k == ip || k == i || k == in)
          continue;
        const forge_uv p = polygon[size_t(ring[k])];
        // Points equal to a corner (touching outlines) do not block the ear.
        if ((p.u == a.u && p.v == a.v) || (p.u == b.u && p.v == b.v) || (p.u == c.u && p.v == c.v))
          continue;
        ear = !forge_inside_triangle(p, a, b, c);
      }
      if (!ear)
        continue;
      result.insert(result.end(), {ring[ip], ring[i], ring[in]});
      ring.erase(ring.begin() + ptrdiff_t(i));
      clipped = true;
      break;
    }
    if (!clipped || ++guard > n * n)
      return 0;
  }
  result.insert(result.end(), ring.begin(), ring.end());
  out->insert(out->end(), result.begin(), result.end());
  return 1;
}

int forge_mesh_extrude(forge_mesh* m, const std::vector<forge_uv>& outline, float depth) {
  *m = forge_mesh{};
  std::vector<int32_t> caps;
  if (depth <= 0 || outline.size() > 65536 || !forge_triangulate(outline, &caps))
    return 0;
  // Use the outline counter-clockwise so walls and caps face outward.
  std::vector<forge_uv> p = outline;
  if (forge_signed_area(p) < 0) {
    std::vector<forge_uv> reversed(p.rbegin(), p.rend());
    p = reversed;
    caps.clear();
    forge_triangulate(p, &caps);
  }
  const size_t n = p.size();
  float lo_u = p[0].u, hi_u = p[0].u, lo_v = p[0].v, hi_v = p[0].v;
  for (const forge_uv& q : p)
    lo_u = std::fmin(lo_u, q.u), hi_u = std::fmax(hi_u, q.u), lo_v = std::fmin(lo_v, q.v), hi_v = std::fmax(hi_v, q.v);
  const float span = std::fmax(hi_u - lo_u, hi_v - lo_v);
  auto cap_uv = [&](forge_uv q) { return forge_uv{(q.u - lo_u) / span, (hi_v - q.v) / span}; };
  for (const forge_uv& q : p)
    forge_mesh_add_vertex(m, {q.u, q.v, depth * 0.5f});
  for (const forge_uv& q : p)
    forge_mesh_add_vertex(m, {q.u, q.v, -depth * 0.5f});
  for (size_t t = 0; t + 2 < caps.size(); t += 3) {
    const int32_t a = caps[t], b = caps[t + 1], c = caps[t + 2];
    const forge_uv ua = cap_uv(p[size_t(a)]), ub = cap_uv(p[size_t(b)]), uc = cap_uv(p[size_t(c)]);
    forge_mesh_add_triangle(m, a, b, c, ua, ub, uc, 0);
    forge_mesh_add_triangle(m, a + int32_t(n), c + int32_t(n), b + int32_t(n), ua, uc, ub, 0);
  }
  // Wall texture: u follows the outline's length.
  std::vector<float> along(n + 1, 0);
  for (size_t i = 0; i < n; i++) {
    const forge_uv a = p[i], b = p[(i + 1) % n];
    along[i + 1] = along[i] + std::sqrt((b.u - a.u) * (b.u - a.u) + (b.v - a.v) * (b.v - a.v));
  }
  for (size_t i = 0; i < n; i++) {
    const int32_t k0 = int32_t(i), k1 = int32_t((i + 1) % n);
    const float u0 = along[i] / along[n], u1 = along[i + 1] / along[n];
    const int32_t v[4] = {k0, k0 + int32_t(n), k1 + int32_t(n), k1};
    const forge_uv uv[4] = {{u0, 0}, {u0, 1}, {u1, 1}, {u1, 0}};
    forge_mesh_add_quad(m, v, uv, 1);
  }
  return 1;
}
