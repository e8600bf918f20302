#include "asc_writer.h"

#include <cstdarg>
#include <cstdio>
#include <map>
#include <tuple>
#include <vector>

namespace {
// Appends one formatted line; false when it is longer than a reader takes.
__attribute__((format(printf, 2, 3))) bool asc_line(std::string* out, const char* format, ...) {
  char line[256];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (n < 0 || size_t(n) > ASC_WRITER_MAX_LINE)
    return false;
  out->append(line, size_t(n));
  out->push_back('\n');
  return true;
}

struct asc_corner {
  int32_t position;
  forge_uv uv;
};
} // namespace

int write_asc(const forge_mesh* m, const std::string& name, bool mapped, std::string* out) {
  if (!forge_mesh_valid(m) || name.empty() || name.size() > ASC_WRITER_MAX_NAME || name.find('"') != std::string::npos)
    return 0;
  // The vertices written: one per position, or one per position and texture
  // coordinate pair when mapped; faces refer to them.
  std::vector<asc_corner> vertices;
  std::vector<int32_t> faces;
  std::map<std::tuple<int32_t, float, float>, int32_t> seen;
  if (!mapped)
    for (size_t i = 0; i < m->positions.size(); i++)
      vertices.push_back({int32_t(i), {}});
  for (const forge_triangle& t : m->faces)
    for (int k = 0; k < 3; k++) {
      if (!mapped) {
        faces.push_back(t.v[k]);
        continue;
      }
      const auto key = std::make_tuple(t.v[k], t.uv[k].u, t.uv[k].v);
      auto [at, added] = seen.emplace(key, int32_t(vertices.size()));
      if (added)
        vertices.push_back({t.v[k], t.uv[k]});
      faces.push_back(at->second);
    }
  std::string text = "Ambient light color: Red=0.3 Green=0.3 Blue=0.3\n\n";
  bool ok = asc_line(&text, "Named object: \"%s\"", name.c_str()) &&
            asc_line(&text, "Tri-mesh, Vertices: %d     Faces: %d", int(vertices.size()), int(m->faces.size()));
  if (mapped)
    ok = ok && asc_line(&text, "Mapped");
  ok = ok && asc_line(&text, "Vertex list:");
  for (size_t i = 0; ok && i < vertices.size(); i++) {
    const forge_vec3& p = m->positions[size_t(vertices[i].position)];
    const double x = p.x, y = -p.z, z = p.y;
    if (mapped)
      ok = asc_line(&text, "Vertex %d:  X:%.6f  Y:%.6f  Z:%.6f  U:%.6f  V:%.6f", int(i), x, y, z,
                    double(vertices[i].uv.u), double(vertices[i].uv.v));
    else
      ok = asc_line(&text, "Vertex %d:  X:%.6f  Y:%.6f  Z:%.6f", int(i), x, y, z);
  }
  ok = ok && asc_line(&text, "Face list:");
  for (size_t i = 0; ok && i < m->faces.size(); i++)
    ok = asc_line(&text, "Face %d:    A:%d B:%d C:%d AB:1 BC:1 CA:1", int(i), faces[3 * i], faces[3 * i + 1],
                  faces[3 * i + 2]) &&
         asc_line(&text, "Smoothing:  1");
  if (!ok)
    return 0;
  *out = std::move(text);
  return 1;
}
