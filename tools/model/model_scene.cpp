#include "model_scene.h"

#include <cstdio>
#include <sstream>

namespace {

const char* text_or(const char* s, const char* fallback) { return s ? s : fallback; }

void describe_tracks(std::ostringstream& o, const ase_tm_animation* a, const char* indent) {
  if (!a)
    return;
  o << indent << "tracks: position " << a->pos_key_count << " keys, rotation " << a->rot_key_count << " keys, scale "
    << a->scale_key_count << " keys\n";
}

void describe_geom(std::ostringstream& o, const ase_geom* g, int32_t i, const std::string& indent,
                   const char* label = "") {
  o << indent << label << "[" << i << "] \"" << text_or(g->name, "") << "\"";
  if (g->mesh) {
    const ase_mesh* m = g->mesh;
    o << " vertices " << m->vertex_count << " faces " << m->face_count << " texture vertices " << m->tvertex_count
      << " texture faces " << m->tvface_count;
  } else {
    o << " no mesh";
  }
  if (g->flags & 0x20)
    o << " material " << g->material_ref;
  o << "\n";
  describe_tracks(o, g->tm_animation, (indent + "    ").c_str());
}

void describe_helper(std::ostringstream& o, const ase_helper* h, int32_t i, const std::string& indent,
                     const char* label = "") {
  o << indent << label << "[" << i << "] \"" << text_or(h->name, "") << "\"\n";
  describe_tracks(o, h->tm_animation, (indent + "    ").c_str());
}

void describe_group(std::ostringstream& o, const ase_group* g, int32_t i, const std::string& indent,
                    const char* label = "") {
  o << indent << label << "[" << i << "] \"" << text_or(g->name, "") << "\": " << g->helper_count << " helpers, "
    << g->geom_count << " geometry objects, " << g->group_count << " groups\n";
  const std::string inner = indent + "    ";
  for (int32_t k = 0; k < g->helper_count; k++)
    describe_helper(o, g->helpers[k], k, inner, "helper ");
  for (int32_t k = 0; k < g->geom_count; k++)
    describe_geom(o, g->geoms[k], k, inner, "geometry ");
  for (int32_t k = 0; k < g->group_count; k++)
    describe_group(o, g->groups[k], k, inner, "group ");
}

struct obj_writer {
  FILE* f;
  int32_t vertices = 0;
  int32_t tvertices = 0;
};

void write_geom(obj_writer* w, const ase_geom* g, int32_t number) {
  const ase_mesh* m = g->mesh;
  if (!m)
    return;
  std::fprintf(w->f, "o %s\n", g->name && *g->name ? g->name : ("object" + std::to_string(number)).c_str());
  for (int32_t i = 0; i < m->vertex_count; i++)
    std::fprintf(w->f, "v %.6g %.6g %.6g\n", double(m->vertices[i].x), double(m->vertices[i].y),
                 double(m->vertices[i].z));
  const bool textured = m->tvface_count >= m->face_count && m->tvertex_count > 0;
  if (textured)
    for (int32_t i = 0; i < m->tvertex_count; i++)
      std::fprintf(w->f, "vt %.6g %.6g\n", double(m->tvertices[i].x), double(m->tvertices[i].y));
  for (int32_t i = 0; i < m->face_count; i++) {
    const int32_t* v = m->faces[i].index;
    if (textured) {
      const int32_t* t = m->tvfaces[i];
      std::fprintf(w->f, "f %d/%d %d/%d %d/%d\n", w->vertices + v[0] + 1, w->tvertices + t[0] + 1,
                   w->vertices + v[1] + 1, w->tvertices + t[1] + 1, w->vertices + v[2] + 1, w->tvertices + t[2] + 1);
    } else {
      std::fprintf(w->f, "f %d %d %d\n", w->vertices + v[0] + 1, w->vertices + v[1] + 1, w->vertices + v[2] + 1);
    }
  }
  w->vertices += m->vertex_count;
  if (textured)
    w->tvertices += m->tvertex_count;
}

void write_group(obj_writer* w, const ase_group* g, int32_t* number) {
  for (int32_t i = 0; i < g->geom_count; i++)
    write_geom(w, g->geoms[i], (*number)++);
  for (int32_t i = 0; i < g->group_count; i++)
    write_group(w, g->groups[i], number);
}

} // namespace

std::string model_scene_describe(const ase_scene* s) {
  std::ostringstream o;
  o << "materials: " << s->material_count << "\n";
  for (int32_t i = 0; i < s->material_count; i++) {
    const ase_material* m = s->materials[i];
    o << "  [" << i << "] \"" << text_or(m->name, "") << "\" bitmap "
      << (m->diffuse_map.bitmap ? m->diffuse_map.bitmap : "none") << " uvw angle " << m->diffuse_map.uvw_angle << "\n";
  }
  o << "geometry objects: " << s->geom_count << "\n";
  for (int32_t i = 0; i < s->geom_count; i++)
    describe_geom(o, s->geoms[i], i, "  ");
  o << "cameras: " << s->camera_count << "\n";
  for (int32_t i = 0; i < s->camera_count; i++) {
    o << "  [" << i << "] \"" << text_or(s->cameras[i]->name, "") << "\"\n";
    describe_tracks(o, s->cameras[i]->tm_animation, "      ");
  }
  o << "helpers: " << s->helper_count << "\n";
  for (int32_t i = 0; i < s->helper_count; i++)
    describe_helper(o, s->helpers[i], i, "  ");
  o << "groups: " << s->group_count << "\n";
  for (int32_t i = 0; i < s->group_count; i++)
    describe_group(o, s->groups[i], i, "  ");
  return o.str();
}

bool model_scene_obj(const ase_scene* s, const std::string& source, const std::string& out_path) {
  obj_writer w;
  w.f = std::fopen(out_path.c_str(), "w");
  if (!w.f)
    return false;
  std::fprintf(w.f, "# %s, written by model\n", source.c_str());
  int32_t number = 0;
  for (int32_t i = 0; i < s->geom_count; i++)
    write_geom(&w, s->geoms[i], number++);
  for (int32_t i = 0; i < s->group_count; i++)
    write_group(&w, s->groups[i], &number);
  const bool ok = std::ferror(w.f) == 0;
  return std::fclose(w.f) == 0 && ok;
}
