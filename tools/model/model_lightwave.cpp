#include "model_lightwave.h"

#include "lwo.h"

#include <cstdio>
#include <sstream>

namespace {

std::string picture_text(const lwo_texture* t) {
  std::ostringstream o;
  o << t->file_name;
  if (t->pixmap)
    o << " (" << t->pixmap->width << " x " << t->pixmap->height << ")";
  else
    o << " (not loaded)";
  return o.str();
}

} // namespace

std::string model_lightwave_describe(const mesh* m) {
  int32_t dots = 0, lines = 0, triangles = 0;
  for (int32_t i = 0; i < m->face_count; i++) {
    dots += m->faces[i].kind == 1;
    lines += m->faces[i].kind == 2;
    triangles += m->faces[i].kind == 4;
  }
  std::ostringstream o;
  o << "vertices: " << m->vertex_count << "\n";
  o << "faces: " << m->face_count << " (" << dots << " dots, " << lines << " lines, " << triangles << " triangles)\n";
  o << "surfaces: " << m->surface_count << "\n";
  for (int32_t i = 0; i < m->surface_count; i++) {
    const lwo_surface* s = &m->surfaces[i];
    char flags[16];
    std::snprintf(flags, sizeof flags, "0x%05X", s->flags);
    o << "  [" << i << "] \"" << s->name << "\" flags " << flags << " colour " << int(s->colour[0]) << " "
      << int(s->colour[1]) << " " << int(s->colour[2]) << "\n";
    if (s->texture)
      o << "      texture: " << picture_text(s->texture) << "\n";
    if (s->env_texture)
      o << "      reflection: " << picture_text(s->env_texture) << "\n";
  }
  return o.str();
}

bool model_lightwave_obj(const mesh* m, const std::string& source, const std::string& out_path) {
  FILE* f = std::fopen(out_path.c_str(), "w");
  if (!f)
    return false;
  std::fprintf(f, "# %s, written by model\n", source.c_str());
  for (int32_t i = 0; i < m->vertex_count; i++)
    std::fprintf(f, "v %.6g %.6g %.6g\n", double(m->positions[i].x), double(m->positions[i].y),
                 double(m->positions[i].z));
  int32_t group = -1;
  for (int32_t i = 0; i < m->face_count; i++) {
    const mesh_face* face = &m->faces[i];
    if (face->surface != group) {
      group = face->surface;
      std::fprintf(f, "g %s\n", m->surfaces[group].name[0] ? m->surfaces[group].name : "unnamed");
    }
    if (face->kind == 1)
      std::fprintf(f, "p %d\n", face->index[0] + 1);
    else if (face->kind == 2)
      std::fprintf(f, "l %d %d\n", face->index[0] + 1, face->index[1] + 1);
    else
      std::fprintf(f, "f %d %d %d\n", face->index[0] + 1, face->index[1] + 1, face->index[2] + 1);
  }
  const bool ok = std::ferror(f) == 0;
  return std::fclose(f) == 0 && ok;
}
