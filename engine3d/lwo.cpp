#include "lwo.h"

#include "gif.h"
#include "mem.h"
#include "pcx.h"
#include "texture_map.h"
#include "vfs.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

int32_t lwo_verbose = 0;

namespace {

constexpr uint32_t lwo_id(const char (&s)[5]) {
  return uint32_t(uint8_t(s[0])) << 24 | uint32_t(uint8_t(s[1])) << 16 | uint32_t(uint8_t(s[2])) << 8 |
         uint32_t(uint8_t(s[3]));
}

// A read position inside [pos, end) of the file's bytes. Bytes past the end
// read as 0, so a short sub-chunk never reads beyond its bounds.
struct lwo_span {
  const uint8_t* data;
  int64_t pos;
  int64_t end;
};

int64_t span_left(const lwo_span* s) { return s->end - s->pos; }

uint32_t span_u8(lwo_span* s) {
  if (s->pos >= s->end)
    return 0;
  return s->data[s->pos++];
}

uint32_t span_u16(lwo_span* s) {
  const uint32_t hi = span_u8(s);
  return hi << 8 | span_u8(s);
}

uint32_t span_u32(lwo_span* s) {
  const uint32_t hi = span_u16(s);
  return hi << 16 | span_u16(s);
}

float span_float(lwo_span* s) {
  const uint32_t bits = span_u32(s);
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

// A zero-terminated string; stops at the end of the span without a terminator.
std::string span_string(lwo_span* s) {
  std::string out;
  while (s->pos < s->end) {
    const char c = char(s->data[s->pos++]);
    if (c == 0)
      break;
    out.push_back(c);
  }
  return out;
}

void copy_name(char* dst, const std::string& src) {
  const size_t n = src.size() < size_t(LWO_NAME_SIZE - 1) ? src.size() : size_t(LWO_NAME_SIZE - 1);
  std::memcpy(dst, src.data(), n);
  dst[n] = 0;
}

struct lwo_reader {
  const uint8_t* file;
  int64_t file_size;
  const char* texture_dir;
  mesh* m;
};

// The whole file in one block of the memory helpers, or none.
uint8_t* lwo_read_file(const char* path, int64_t* size) {
  vfs_file* f = vfs_open(path, "rb");
  if (!f)
    return nullptr;
  const int32_t bytes = vfs_size(f);
  uint8_t* data = bytes >= 0 ? static_cast<uint8_t*>(mem_alloc(size_t(bytes) + 1)) : nullptr;
  if (data && bytes > 0 && vfs_read(data, 1, bytes, f) != bytes) {
    mem_free(data);
    data = nullptr;
  }
  vfs_close(f);
  *size = bytes;
  return data;
}

void free_texture(lwo_texture* t) {
  if (!t)
    return;
  pixmap_free(t->pixmap);
  mem_free(t);
}

void free_surfaces(mesh* m) {
  lwo_free_textures(m);
  if (m->surfaces)
    mem_free(m->surfaces);
  m->surfaces = nullptr;
  m->surface_count = 0;
}

void free_points(mesh* m) {
  vec3** arrays[] = {&m->positions, &m->normals, &m->work_positions, &m->work_normals, &m->work_extra};
  for (vec3** a : arrays) {
    if (*a)
      mem_free(*a);
    *a = nullptr;
  }
  m->vertex_count = 0;
}

int read_points(lwo_reader* r, lwo_span* s) {
  mesh* m = r->m;
  const int64_t count = span_left(s) / 12;
  if (lwo_verbose)
    std::printf("[#] Found points chunk, position %d, size %d\n", int32_t(s->pos), int32_t(span_left(s)));
  free_points(m);
  vec3** arrays[] = {&m->positions, &m->work_positions, &m->work_extra, &m->normals, &m->work_normals};
  for (vec3** a : arrays) {
    *a = mem_alloc_array<vec3>(size_t(count) + 1);
    if (!*a)
      return 0;
  }
  m->vertex_count = int32_t(count);
  for (int64_t i = 0; i < count; i++) {
    m->positions[i].x = span_float(s);
    m->positions[i].y = span_float(s);
    m->positions[i].z = span_float(s);
  }
  if (lwo_verbose)
    std::printf("[-] Found %d vertices\n", m->vertex_count);
  return 1;
}

int read_surface_names(lwo_reader* r, lwo_span* s) {
  mesh* m = r->m;
  if (lwo_verbose)
    std::printf("[#] Found surfaces name chunk, position %d, size %d\n", int32_t(s->pos), int32_t(span_left(s)));
  // A name ends at every zero that follows a non-zero byte; pad zeros do not count.
  int64_t count = 0;
  uint8_t previous = 0;
  for (int64_t i = s->pos; i < s->end; i++) {
    if (s->data[i] == 0 && previous != 0)
      count++;
    previous = s->data[i];
  }
  if (count == 0) {
    std::printf("[&] Empty surface chunk, skipping!\n");
    return 1;
  }
  free_surfaces(m);
  m->surfaces = mem_alloc_array<lwo_surface>(size_t(count));
  if (!m->surfaces)
    return 0;
  m->surface_count = int32_t(count);
  int64_t index = 0;
  size_t length = 0;
  previous = 0;
  for (int64_t i = s->pos; i < s->end && index < count; i++) {
    const uint8_t b = s->data[i];
    if (b != 0) {
      if (length < size_t(LWO_NAME_SIZE - 1))
        m->surfaces[index].name[length++] = char(b);
    } else if (previous != 0) {
      index++;
      length = 0;
    }
    previous = b;
  }
  std::printf("[-] Found %d surfaces(materials)\n", m->surface_count);
  for (int32_t i = 0; i < m->surface_count; i++) {
    lwo_surface* sf = &m->surfaces[i];
    sf->flags = LWO_SURFACE_FLAGS;
    sf->colour[0] = sf->colour[1] = sf->colour[2] = LWO_SURFACE_GREY;
    if (lwo_verbose)
      std::printf("    [%d]: %s\n", i, sf->name);
  }
  return 1;
}

struct pols_stats {
  int32_t dots, lines, triangles, quads, unsupported, detailed, details;
};

int read_polygons(lwo_reader* r, lwo_span* s) {
  mesh* m = r->m;
  if (lwo_verbose)
    std::printf("[#] Found polygon chunk, position %d, size %d\n", int32_t(s->pos), int32_t(span_left(s)));
  // Survey: the start of every polygon kept, in file order.
  std::vector<int64_t> kept;
  pols_stats st = {};
  int64_t skipping = 0;
  while (s->pos < s->end) {
    const int64_t record = s->pos;
    if (span_left(s) < 2) {
      std::printf("[!] Error, polygon runs past the end of its chunk!\n");
      return 0;
    }
    const uint32_t n = span_u16(s);
    if (span_left(s) < 2 * int64_t(n) + 2) {
      std::printf("[!] Error, polygon runs past the end of its chunk!\n");
      return 0;
    }
    s->pos += 2 * int64_t(n);
    const uint32_t surface = span_u16(s);
    const bool has_details = (surface & 0x8000) != 0;
    uint32_t detail_count = 0;
    if (has_details) {
      if (span_left(s) < 2) {
        std::printf("[!] Error, polygon runs past the end of its chunk!\n");
        return 0;
      }
      detail_count = span_u16(s);
    }
    if (skipping > 0) {
      // A detail polygon; details of details are skipped with it.
      skipping--;
      skipping += detail_count;
      st.details += int32_t(detail_count);
      continue;
    }
    if (has_details) {
      if (lwo_verbose)
        std::printf("[#] Detail description encountered, with %d polygons.\n", int32_t(detail_count));
      st.detailed++;
      st.details += int32_t(detail_count);
      skipping = detail_count;
      continue;
    }
    switch (n) {
    case 1:
      st.dots++;
      break;
    case 2:
      st.lines++;
      break;
    case 3:
      st.triangles++;
      break;
    case 4:
      st.quads++;
      break;
    default:
      st.unsupported++;
      continue;
    }
    if (kept.size() >= size_t(LWO_MAX_POLYGONS)) {
      std::printf("[!] Error, more than %d polygons!\n", LWO_MAX_POLYGONS);
      return 0;
    }
    kept.push_back(record);
  }
  std::printf("[-] Object consists of:\n");
  if (st.dots)
    std::printf("    %4d dots\n", st.dots);
  if (st.lines)
    std::printf("    %4d lines\n", st.lines);
  if (st.triangles)
    std::printf("    %4d triangular polygons\n", st.triangles);
  if (st.quads)
    std::printf("    %4d 4-sided polygons = 2 x triangular polygons\n", st.quads);
  if (st.unsupported)
    std::printf("    %4d unsupported polygons\n", st.unsupported);
  if (st.detailed) {
    std::printf("    %4d detailed surfaces\n", st.detailed);
    std::printf("    %4d detail polygons\n", st.details);
  }
  const int32_t face_count = st.triangles + 2 * st.quads + st.lines + st.dots;
  if (face_count == 0) {
    std::printf("[&] No supported polygons, skipping!\n");
    return 1;
  }
  if (m->faces)
    mem_free(m->faces);
  m->face_count = 0;
  m->faces = mem_alloc_array<mesh_face>(size_t(face_count));
  if (!m->faces)
    return 0;
  m->face_count = face_count;
  mesh_face* f = m->faces;
  for (const int64_t record : kept) {
    lwo_span p = {s->data, record, s->end};
    const uint32_t n = span_u16(&p);
    int32_t index[4] = {0, 0, 0, 0};
    for (uint32_t k = 0; k < n; k++)
      index[k] = int32_t(span_u16(&p));
    const int32_t surface = int32_t(span_u16(&p)) - 1;
    if (n == 4) {
      *f++ = {surface, 4, {index[0], index[1], index[2]}, {}};
      *f++ = {surface, 4, {index[0], index[2], index[3]}, {}};
    } else {
      *f++ = {surface, n == 3 ? 4 : int32_t(n), {index[0], index[1], index[2]}, {}};
    }
  }
  return 1;
}

// Loads the picture a surface names into the texture record.
void load_picture(lwo_reader* r, lwo_texture* t, const std::string& stored) {
  const size_t slash = stored.find_last_of("/\\");
  const std::string base = slash == std::string::npos ? stored : stored.substr(slash + 1);
  copy_name(t->file_name, base);
  const size_t dot = stored.rfind('.');
  const std::string ext = dot == std::string::npos ? std::string() : stored.substr(dot + 1);
  std::string dir = r->texture_dir ? r->texture_dir : "";
  std::string path;
  if (dir.empty())
    path = base;
  else if (dir.back() == '/')
    path = dir + base;
  else
    path = dir + "/" + base;
  // A second picture for the same texture replaces the first.
  if (t->pixmap) {
    pixmap_free(t->pixmap);
    t->pixmap = nullptr;
  }
  if (strcasecmp(ext.c_str(), "PCX") == 0)
    t->pixmap = pcx_load(path.c_str());
  else if (strcasecmp(ext.c_str(), "GIF") == 0)
    t->pixmap = gif_load(path.c_str());
  if (!t->pixmap && lwo_verbose)
    std::printf("Unable to load texture: %s\n", path.c_str());
  if (lwo_verbose)
    std::printf("Filename: %s\n", t->file_name);
}

int read_surface(lwo_reader* r, lwo_span* s) {
  mesh* m = r->m;
  if (lwo_verbose)
    std::printf("[#] Found surfaces description chunk, position %d, size %d\n", int32_t(s->pos), int32_t(span_left(s)));
  const std::string name = span_string(s);
  if ((name.size() + 1) % 2 == 1 && s->pos < s->end) {
    if (span_u8(s) != 0) {
      std::printf("[&] Warning, expecting alignment byte (0)\n");
      s->pos--;
    }
  }
  if (lwo_verbose)
    std::printf("[#] Surface name '%s'\n", name.c_str());
  // Names are kept to 63 characters; compare as they were kept.
  char wanted[LWO_NAME_SIZE] = {};
  copy_name(wanted, name);
  int32_t index = -1;
  for (int32_t i = 0; i < m->surface_count; i++) {
    if (std::strcmp(m->surfaces[i].name, wanted) == 0) {
      index = i;
      break;
    }
  }
  if (index < 0) {
    std::printf("[!] Error, Surface not found in index!\n");
    return 1;
  }
  lwo_surface* sf = &m->surfaces[index];
  if (lwo_verbose)
    std::printf("Found matching surface name '%s' - >'%s'\n", name.c_str(), sf->name);
  // Surfaces beyond the mapping table get a private entry that nothing reads.
  texture_mapping_entry spare = texture_mapping[0];
  texture_mapping_entry* entry = index < TEXTURE_MAPPING_ENTRIES ? &texture_mapping[index] : &spare;
  lwo_texture* current = nullptr;
  while (span_left(s) >= 6) {
    const uint32_t id = span_u32(s);
    const int64_t size = span_u16(s);
    if (size > span_left(s)) {
      std::printf("[!] Error, sub-chunk '%c%c%c%c' runs past the end of its surface chunk!\n", char(id >> 24),
                  char(id >> 16), char(id >> 8), char(id));
      return 0;
    }
    lwo_span sub = {s->data, s->pos, s->pos + size};
    s->pos += size;
    switch (id) {
    case lwo_id("COLR"):
      if (lwo_verbose)
        std::printf("[#] Color subchunk found.\n");
      sf->colour[0] = uint8_t(span_u8(&sub));
      sf->colour[1] = uint8_t(span_u8(&sub));
      sf->colour[2] = uint8_t(span_u8(&sub));
      break;
    case lwo_id("FLAG"): {
      if (lwo_verbose)
        std::printf("[#] Flags subchunk found.\n");
      const uint32_t f = span_u16(&sub);
      if (f & 0x100)
        sf->flags |= POLY_TWO_SIDED;
      if (f & 0x4)
        sf->flags = POLY_GOURAUD;
      break;
    }
    case lwo_id("CTEX"): {
      if (lwo_verbose)
        std::printf("[#] Texture subchunk found.\n");
      if (sf->flags & POLY_TEXTURE) {
        std::printf("[&] Multiple textures not supported!\n");
        current = nullptr;
        break;
      }
      sf->flags = (sf->flags & ~POLY_SOLID) | POLY_TEXTURE;
      free_texture(sf->texture);
      sf->texture = mem_alloc_array<lwo_texture>(1);
      if (!sf->texture)
        return 0;
      current = sf->texture;
      const std::string mapping = span_string(&sub);
      static const char* const names[] = {"Planar Image Map", "Spherical Image Map", "Cylindrical Image Map",
                                          "Cubic Image Map"};
      for (int32_t k = 0; k < 4; k++) {
        if (strcasecmp(mapping.c_str(), names[k]) == 0)
          entry->type = k + 1;
      }
      break;
    }
    case lwo_id("BTEX"):
    case lwo_id("DTEX"):
    case lwo_id("RTEX"):
    case lwo_id("STEX"):
    case lwo_id("TTEX"):
      if (lwo_verbose)
        std::printf("[#] Unsupported texture type found, ignoring.\n");
      current = nullptr;
      break;
    case lwo_id("TIMG"):
      if (lwo_verbose)
        std::printf("[#] Texture image filename subchunk found.\n");
      if (current)
        load_picture(r, current, span_string(&sub));
      break;
    case lwo_id("TFLG"): {
      if (lwo_verbose)
        std::printf("[#] Texture flags subchunk found.\n");
      const uint32_t f = span_u16(&sub) & 7;
      if (current) {
        if (f == 1)
          entry->axis = TEXTURE_AXIS_X;
        else if (f == 2)
          entry->axis = TEXTURE_AXIS_Y;
        else if (f == 4)
          entry->axis = TEXTURE_AXIS_Z;
      }
      break;
    }
    case lwo_id("TSIZ"):
    case lwo_id("TCTR"): {
      const bool is_size = id == lwo_id("TSIZ");
      if (lwo_verbose)
        std::printf(is_size ? "[#] Texture size subchunk found.\n" : "[#] Texture center subchunk found.\n");
      if (!current)
        break;
      vec3* v = is_size ? &entry->size : &entry->center;
      v->x = span_float(&sub);
      v->y = span_float(&sub);
      v->z = span_float(&sub);
      if (lwo_verbose)
        std::printf(is_size ? "Texture size: %f,%f,%f\n" : "Texture center: %f,%f,%f\n", double(v->x), double(v->y),
                    double(v->z));
      break;
    }
    case lwo_id("RIMG"):
      if (lwo_verbose)
        std::printf("[#] Reflection image subchunk found, Creating texture map!!\n");
      if (sf->flags & POLY_TEXTURE_ALT) {
        std::printf("[&] Multiple envmaps not supported!\n");
        current = nullptr;
        break;
      }
      sf->flags = POLY_TEXTURE_ALT;
      free_texture(sf->env_texture);
      sf->env_texture = mem_alloc_array<lwo_texture>(1);
      if (!sf->env_texture)
        return 0;
      // Some writers put a zero byte before the path: skipped, but a path
      // that starts at once keeps its first character.
      if (sub.pos < sub.end && sub.data[sub.pos] == 0)
        sub.pos++;
      load_picture(r, sf->env_texture, span_string(&sub));
      entry->type = TEXTURE_MAP_REFLECTION;
      break;
    default:
      if (lwo_verbose)
        std::printf("[!] Unknown subchunk '%c%c%c%c', length %d bytes\n", char(id >> 24), char(id >> 16), char(id >> 8),
                    char(id), int32_t(size));
      break;
    }
  }
  return 1;
}

// Every face names a surface of the list and vertices of the point list.
int check_faces(const mesh* m) {
  for (int32_t i = 0; i < m->face_count; i++) {
    const mesh_face* f = &m->faces[i];
    if (f->surface < 0 || f->surface >= m->surface_count) {
      std::printf("[!] Error, surface number %d outside the surface list!\n", f->surface + 1);
      return 0;
    }
    const int32_t corners = f->kind == 4 ? 3 : f->kind;
    for (int32_t k = 0; k < corners; k++) {
      if (f->index[k] < 0 || f->index[k] >= m->vertex_count) {
        std::printf("[!] Error, vertex index %d outside the point list!\n", f->index[k]);
        return 0;
      }
    }
  }
  return 1;
}

int read_chunks(lwo_reader* r) {
  lwo_span form = {r->file, 4, r->file_size};
  const int64_t form_end = int64_t(span_u32(&form)) + 8;
  int64_t pos = 12;
  // The chunks end where the form says, or at the end of the file.
  while (pos < form_end && r->file_size - pos >= 8) {
    lwo_span head = {r->file, pos, r->file_size};
    const uint32_t id = span_u32(&head);
    const int64_t size = span_u32(&head);
    const int64_t data = head.pos;
    const bool handled = id == lwo_id("PNTS") || id == lwo_id("POLS") || id == lwo_id("SRFS") || id == lwo_id("SURF");
    if (handled && size > r->file_size - data) {
      std::printf("[!] Error, chunk '%c%c%c%c' runs past the end of the file!\n", char(id >> 24), char(id >> 16),
                  char(id >> 8), char(id));
      return 0;
    }
    lwo_span s = {r->file, data, data + size};
    int ok = 1;
    switch (id) {
    case lwo_id("PNTS"):
      ok = read_points(r, &s);
      break;
    case lwo_id("SRFS"):
      ok = read_surface_names(r, &s);
      break;
    case lwo_id("POLS"):
      ok = read_polygons(r, &s);
      break;
    case lwo_id("SURF"):
      ok = read_surface(r, &s);
      break;
    default:
      if (lwo_verbose)
        std::printf("[?] Ignoring chunk '%c%c%c%c', length %d bytes\n", char(id >> 24), char(id >> 16), char(id >> 8),
                    char(id), int32_t(size));
      break;
    }
    if (!ok)
      return 0;
    if (handled && lwo_verbose)
      std::printf("[#] Done\n");
    pos = data + size;
  }
  return check_faces(r->m);
}

} // namespace

void lwo_free_textures(mesh* m) {
  if (!m || !m->surfaces)
    return;
  for (int32_t i = 0; i < m->surface_count; i++) {
    free_texture(m->surfaces[i].texture);
    free_texture(m->surfaces[i].env_texture);
    m->surfaces[i].texture = nullptr;
    m->surfaces[i].env_texture = nullptr;
  }
}

void lwo_object_free(mesh_object* object) {
  if (!object)
    return;
  lwo_free_textures(object->mesh);
  mesh_object_free(object);
}

mesh_object* lwo_load(const char* path, const char* texture_dir, mesh_object* object) {
  texture_mapping_reset();
  if (!object)
    return nullptr;
  int64_t size = 0;
  uint8_t* file = lwo_read_file(path, &size);
  if (!file)
    return nullptr;
  lwo_span head = {file, 0, size};
  const uint32_t form = span_u32(&head);
  span_u32(&head);
  const uint32_t type = span_u32(&head);
  if (form != lwo_id("FORM") || type != lwo_id("LWOB")) {
    vfs_note_failure(path, "not a LightWave object (FORM LWOB)");
    mem_free(file);
    return nullptr;
  }
  if (object->mesh) {
    lwo_free_textures(object->mesh);
    mesh_free(object->mesh);
    object->mesh = nullptr;
  }
  lwo_reader r = {file, size, texture_dir, mesh_create()};
  const int ok = r.m && read_chunks(&r);
  mem_free(file);
  if (!ok) {
    vfs_note_failure(path, "its chunks are damaged");
    if (r.m) {
      lwo_free_textures(r.m);
      mesh_free(r.m);
    }
    return nullptr;
  }
  object->mesh = r.m;
  if (object->flags & MESH_OBJECT_MAP_TEXTURES)
    lwo_map_textures(r.m);
  return object;
}

void lwo_map_textures(mesh* m) {
  if (!m || !m->faces || !m->positions)
    return;
  for (int32_t i = 0; i < m->face_count; i++) {
    mesh_face* f = &m->faces[i];
    if (f->surface < 0 || f->surface >= TEXTURE_MAPPING_ENTRIES)
      continue;
    const texture_mapping_entry* e = &texture_mapping[f->surface];
    if (e->type == TEXTURE_MAP_NONE)
      continue;
    for (int32_t k = 0; k < 3; k++) {
      const int32_t vi = f->index[k];
      if (vi < 0 || vi >= m->vertex_count)
        continue;
      const vec3* p = &m->positions[vi];
      float u, v;
      if (!texture_map_point(e, p->x, p->y, p->z, &u, &v))
        continue;
      f->polygon.uv[2 * k] = (u + 1) * 128;
      f->polygon.uv[2 * k + 1] = (v + 1) * 128;
    }
  }
}
