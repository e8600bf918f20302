#include "model_studio.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace {
// A textured vertex always has coordinates of at least 0.01.
bool model_studio_mapped(const asc_object* o) {
  for (int32_t i = 0; i < o->vertex_count; i++)
    if (o->vertices[i].u != 0 || o->vertices[i].v != 0)
      return true;
  return false;
}
} // namespace

std::string model_studio_describe(const asc_object* o) {
  std::ostringstream out;
  out << "name: \"" << o->name << "\"\n";
  out << "vertices: " << o->vertex_count << "\n";
  out << "faces: " << o->face_count << "\n";
  out << "texture coordinates: " << (model_studio_mapped(o) ? "yes" : "no") << "\n";
  if (o->vertex_count > 0) {
    double lo[3] = {o->vertices[0].x, o->vertices[0].y, o->vertices[0].z}, hi[3] = {lo[0], lo[1], lo[2]};
    for (int32_t i = 1; i < o->vertex_count; i++) {
      const double p[3] = {o->vertices[i].x, o->vertices[i].y, o->vertices[i].z};
      for (int k = 0; k < 3; k++) {
        lo[k] = std::min(lo[k], p[k]);
        hi[k] = std::max(hi[k], p[k]);
      }
    }
    char box[160];
    std::snprintf(box, sizeof box, "bounds: %.6g %.6g %.6g to %.6g %.6g %.6g\n", lo[0], lo[1], lo[2], hi[0], hi[1],
                  hi[2]);
    out << box;
  }
  char radius[64];
  std::snprintf(radius, sizeof radius, "radius: %.6g\n", double(o->radius));
  out << radius;
  return out.str();
}

bool model_studio_obj(const asc_object* o, const std::string& source, const std::string& out_path) {
  FILE* f = std::fopen(out_path.c_str(), "w");
  if (!f)
    return false;
  const bool mapped = model_studio_mapped(o);
  std::fprintf(f, "# %s, written by model\no %s\n", source.c_str(), o->name[0] ? o->name : "object");
  for (int32_t i = 0; i < o->vertex_count; i++)
    std::fprintf(f, "v %.6g %.6g %.6g\n", o->vertices[i].x, o->vertices[i].y, o->vertices[i].z);
  for (int32_t i = 0; mapped && i < o->vertex_count; i++)
    std::fprintf(f, "vt %.6g %.6g\n", double(o->vertices[i].u), double(o->vertices[i].v));
  for (int32_t i = 0; i < o->face_count; i++) {
    const int a = o->faces[i].ia + 1, b = o->faces[i].ib + 1, c = o->faces[i].ic + 1;
    if (mapped)
      std::fprintf(f, "f %d/%d %d/%d %d/%d\n", a, a, b, b, c, c);
    else
      std::fprintf(f, "f %d %d %d\n", a, b, c);
  }
  const bool ok = std::ferror(f) == 0;
  return std::fclose(f) == 0 && ok;
}
