#include "ase.h"

#include "mem.h"
#include "scene_list.h"
#include "text_tokenizer.h"
#include "vfs.h"

#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <strings.h>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

struct ase_reader {
  text_tokenizer* t;
  const char* texture_dir;
  size_t work_length;  // bytes of the prepared text
  int32_t group_depth; // groups open around the cursor
  char token[TOKEN_SIZE];
};

char* copy_string(const char* s, size_t n) {
  char* out = static_cast<char*>(mem_alloc(n + 1));
  if (out && n)
    std::memcpy(out, s, n);
  return out;
}

void free_string(char* s) {
  if (s)
    mem_free(s);
}

// Peeks the next token into r->token; 0 when the text has ended.
int peek(ase_reader* r) { return token_peek(r->t, r->token) != nullptr; }

bool is(const ase_reader* r, const char* word) { return std::strcmp(r->token, word) == 0; }

// The next token without its quotes, as a new string (empty at the end of the
// text); none on exhausted memory.
char* read_quoted(ase_reader* r) {
  char buffer[TOKEN_SIZE];
  if (!token_next(r->t, buffer))
    return copy_string("", 0);
  const char* s = buffer;
  size_t n = std::strlen(buffer);
  if (n > 0 && s[0] == '"') {
    s++;
    n--;
  }
  if (n > 0 && s[n - 1] == '"')
    n--;
  return copy_string(s, n);
}

// Replaces *field with the next quoted value. 1, or 0 on exhausted memory.
int read_name(ase_reader* r, char** field) {
  char* s = read_quoted(r);
  if (!s)
    return 0;
  free_string(*field);
  *field = s;
  return 1;
}

vec3 read_vec3(ase_reader* r) {
  vec3 v;
  v.x = token_float(r->t);
  v.y = token_float(r->t);
  v.z = token_float(r->t);
  return v;
}

// Bytes of prepared text after the cursor: no list can hold more items than a
// tenth of them (every item takes at least five tokens).
size_t text_left(const ase_reader* r) { return r->work_length - size_t(r->t->cursor - r->t->work); }

int count_plausible(const ase_reader* r, int32_t count) { return count >= 0 && size_t(count) <= text_left(r) / 10; }

void free_node_tm(ase_node_tm* tm) {
  if (!tm)
    return;
  free_string(tm->name);
  mem_free(tm);
}

void free_keys(ase_key* keys, int32_t count) {
  if (!keys)
    return;
  for (int32_t i = 0; i < count; i++)
    if (keys[i].values)
      mem_free(keys[i].values);
  mem_free(keys);
}

void free_animation(ase_tm_animation* a) {
  if (!a)
    return;
  free_string(a->name);
  free_keys(a->pos_keys, a->pos_key_count);
  free_keys(a->rot_keys, a->rot_key_count);
  free_keys(a->scale_keys, a->scale_key_count);
  mem_free(a);
}

void free_mesh(ase_mesh* m) {
  if (!m)
    return;
  void* blocks[] = {m->vertices, m->faces, m->tvertices, m->tvfaces};
  for (void* b : blocks)
    if (b)
      mem_free(b);
  mem_free(m);
}

void free_material(ase_material* m) {
  if (!m)
    return;
  free_string(m->name);
  free_string(m->diffuse_map.name);
  free_string(m->diffuse_map.bitmap);
  mem_free(m);
}

// A camera, geometry or helper object with its name, transform and key
// tracks, and a geometry object's parent name and mesh.
template <typename T> void free_object(T* o) {
  if (!o)
    return;
  free_string(o->name);
  free_node_tm(o->node_tm);
  free_animation(o->tm_animation);
  if constexpr (std::is_same_v<T, ase_geom>) {
    free_string(o->parent);
    free_mesh(o->mesh);
  }
  mem_free(o);
}

// Every record of a list, then the list.
template <typename T> void free_list(T** list, int32_t count, void (*release)(T*)) {
  for (int32_t i = 0; i < count; i++)
    release(list[i]);
  if (list)
    mem_free(list);
}

void free_group(ase_group* g) {
  if (!g)
    return;
  free_string(g->name);
  free_list(g->helpers, g->helper_count, free_object<ase_helper>);
  free_list(g->geoms, g->geom_count, free_object<ase_geom>);
  free_list(g->groups, g->group_count, free_group);
  mem_free(g);
}

// "*BITMAP": the picture's base name in the texture folder.
char* bitmap_path(const ase_reader* r, const char* quoted_value) {
  const std::string stored(quoted_value);
  const std::string dir = r->texture_dir ? r->texture_dir : "";
  std::string path;
  if (dir.empty()) {
    path = stored;
  } else {
    const size_t slash = stored.find_last_of("\\/");
    const std::string base = slash == std::string::npos ? stored : stored.substr(slash + 1);
    const char last = dir.back();
    path = last == '\\' || last == '/' ? dir + base : dir + "/" + base;
  }
  return copy_string(path.data(), path.size());
}

// ---- The block reader ----

// A keyword of a block and how its values are read. The keyword itself has
// been read when `read` is called.
template <typename T> struct ase_field {
  const char* keyword;
  uint32_t flag = 0;          // set in the record's flags once the field is read
  const char* line = nullptr; // printed when the keyword is met, or none
  int (*read)(ase_reader* r, T* record);
};

// What a block does with a keyword it has no field for.
enum ase_unknown : int32_t {
  ASE_SKIP_KEYWORD, // the keyword alone; its values are then taken for keywords
  ASE_SKIP_BLOCK,   // everything up to and including the next braced block
};

template <typename T> struct ase_block {
  std::span<const ase_field<T>> fields;
  int32_t unknown = ASE_SKIP_KEYWORD;
  const char* unknown_line = nullptr; // printed for an unknown keyword, or none
  bool whole_text = false;            // runs to the end of the text, not to a closing brace
};

// Reads fields into record up to the block's closing brace (which it takes),
// or for a whole-text block up to the end of the text. 0 when a field fails
// or a braced block is cut short by the end of the text.
template <typename T> int read_block(ase_reader* r, T* record, const ase_block<T>& block) {
  for (;;) {
    if (!peek(r))
      return block.whole_text;
    if (!block.whole_text && is(r, "}")) {
      token_skip(r->t);
      return 1;
    }
    const ase_field<T>* field = nullptr;
    for (const ase_field<T>& f : block.fields) {
      if (is(r, f.keyword)) {
        field = &f;
        break;
      }
    }
    const char* line = field ? field->line : block.unknown_line;
    if (line)
      std::printf("%s", line);
    if (!field) {
      // skip_block starts at the unknown keyword itself, which may be a "{".
      if (block.unknown == ASE_SKIP_KEYWORD)
        token_skip(r->t);
      else if (!skip_block(r->t))
        return 0;
      continue;
    }
    token_skip(r->t);
    if (!field->read(r, record))
      return 0;
    if constexpr (requires(T * x) { x->flags; })
      record->flags |= field->flag;
  }
}

// Field readers shared by the block kinds.
template <typename T, char* T::*name> int read_name_field(ase_reader* r, T* record) {
  return read_name(r, &(record->*name));
}

template <typename T, vec3 T::*value> int read_vec3_field(ase_reader* r, T* record) {
  record->*value = read_vec3(r);
  return 1;
}

template <typename T, float T::*value> int read_float_field(ase_reader* r, T* record) {
  record->*value = token_float(r->t);
  return 1;
}

// A value the scene does not keep.
template <typename T> int skip_value(ase_reader* r, T*) {
  token_skip(r->t);
  return 1;
}

// A braced block the scene does not keep.
template <typename T> int skip_braced(ase_reader* r, T*) { return skip_block(r->t); }

// The list of a scene or a group that holds records of type C.
template <typename C, typename P> auto child_list(P* parent) {
  if constexpr (std::is_same_v<C, ase_material>)
    return std::pair{&parent->materials, &parent->material_count};
  else if constexpr (std::is_same_v<C, ase_camera>)
    return std::pair{&parent->cameras, &parent->camera_count};
  else if constexpr (std::is_same_v<C, ase_geom>)
    return std::pair{&parent->geoms, &parent->geom_count};
  else if constexpr (std::is_same_v<C, ase_helper>)
    return std::pair{&parent->helpers, &parent->helper_count};
  else
    return std::pair{&parent->groups, &parent->group_count};
}

// Reads a record with read into a new block appended to the parent's list.
template <typename P, typename C, int (*read)(ase_reader*, C*), void (*release)(C*)>
int read_child(ase_reader* r, P* parent) {
  C* child = mem_alloc_array<C>(1);
  if (!child)
    return 0;
  const auto [list, count] = child_list<C>(parent);
  const int ok = read(r, child) && scene_list_append(list, count, child);
  if (!ok)
    release(child);
  return ok;
}

// "{" and the block's fields up to its closing brace.
template <typename T, const ase_block<T>& block> int read_braced(ase_reader* r, T* record) {
  token_skip(r->t);
  return read_block(r, record, block);
}

// Replaces *out with a new record of defaults read from a braced block.
template <typename C>
int read_replacing(ase_reader* r, C** out, const C& defaults, void (*release)(C*), const ase_block<C>& block) {
  C* record = mem_alloc_array<C>(1);
  if (!record)
    return 0;
  *record = defaults;
  release(*out);
  *out = record;
  token_skip(r->t);
  return read_block(r, record, block);
}

// ---- Materials ----

int read_bitmap(ase_reader* r, ase_map* map) {
  char* value = read_quoted(r);
  char* path = value ? bitmap_path(r, value) : nullptr;
  free_string(value);
  if (!path)
    return 0;
  free_string(map->bitmap);
  map->bitmap = path;
  return 1;
}

const ase_field<ase_map> map_fields[] = {
    {.keyword = "*MAP_NAME", .flag = 1, .read = read_name_field<ase_map, &ase_map::name>},
    {.keyword = "*BITMAP", .flag = 2, .read = read_bitmap},
    {.keyword = "*UVW_ANGLE", .flag = 4, .read = read_float_field<ase_map, &ase_map::uvw_angle>},
};
const ase_block<ase_map> map_block = {.fields = map_fields};

int read_diffuse_map(ase_reader* r, ase_material* m) {
  token_skip(r->t);
  return read_block(r, &m->diffuse_map, map_block);
}

const ase_field<ase_material> material_fields[] = {
    {.keyword = "*MATERIAL_NAME",
     .flag = 1,
     .line = "Read material name\n",
     .read = read_name_field<ase_material, &ase_material::name>},
    {.keyword = "*MAP_DIFFUSE", .flag = 2, .line = "Read material diffuse map\n", .read = read_diffuse_map},
};
const ase_block<ase_material> material_block = {.fields = material_fields};

// "*MATERIAL index {": the keyword, the index and the brace, then the fields.
int read_material(ase_reader* r, ase_material* m) {
  token_skip(r->t);
  m->index = token_int(r->t);
  token_skip(r->t);
  return read_block(r, m, material_block);
}

// "{ *MATERIAL_COUNT n" and n materials.
int read_material_list(ase_reader* r, ase_scene* scene) {
  token_skip(r->t);
  token_skip(r->t);
  const int32_t count = token_int(r->t);
  for (int32_t i = 0; i < count; i++)
    if (!read_child<ase_scene, ase_material, read_material, free_material>(r, scene))
      return 0;
  token_skip(r->t);
  return 1;
}

// ---- Transforms and key tracks ----

const ase_field<ase_node_tm> node_tm_fields[] = {
    {.keyword = "*NODE_NAME", .flag = 0x1, .read = read_name_field<ase_node_tm, &ase_node_tm::name>},
    {.keyword = "*TM_ROW0", .flag = 0x2, .read = read_vec3_field<ase_node_tm, &ase_node_tm::row0>},
    {.keyword = "*TM_ROW1", .flag = 0x4, .read = read_vec3_field<ase_node_tm, &ase_node_tm::row1>},
    {.keyword = "*TM_ROW2", .flag = 0x8, .read = read_vec3_field<ase_node_tm, &ase_node_tm::row2>},
    {.keyword = "*TM_ROW3", .flag = 0x10, .read = read_vec3_field<ase_node_tm, &ase_node_tm::row3>},
    {.keyword = "*TM_POS", .flag = 0x20, .read = read_vec3_field<ase_node_tm, &ase_node_tm::pos>},
    {.keyword = "*TM_ROTAXIS", .flag = 0x40, .read = read_vec3_field<ase_node_tm, &ase_node_tm::rot_axis>},
    {.keyword = "*TM_ROTANGLE", .flag = 0x80, .read = read_float_field<ase_node_tm, &ase_node_tm::rot_angle>},
    {.keyword = "*TM_SCALE", .flag = 0x100, .read = read_vec3_field<ase_node_tm, &ase_node_tm::scale>},
    {.keyword = "*TM_SCALEAXIS", .flag = 0x200, .read = read_vec3_field<ase_node_tm, &ase_node_tm::scale_axis>},
    {.keyword = "*TM_SCALEAXISANG",
     .flag = 0x400,
     .read = read_float_field<ase_node_tm, &ase_node_tm::scale_axis_angle>},
};
const ase_block<ase_node_tm> node_tm_block = {.fields = node_tm_fields};

// An identity transform until the file says otherwise.
ase_node_tm identity_node_tm() {
  ase_node_tm tm{};
  tm.row0 = {1, 0, 0};
  tm.row1 = {0, 1, 0};
  tm.row2 = {0, 0, 1};
  tm.rot_axis = {0, 0, 1};
  tm.scale = {1, 1, 1};
  tm.scale_axis = {1, 1, 1};
  tm.scale_axis_angle = 1;
  return tm;
}

template <typename T> int read_node_tm(ase_reader* r, T* record) {
  return read_replacing(r, &record->node_tm, identity_node_tm(), free_node_tm, node_tm_block);
}

// A key track: every entry up to the closing brace (or the end of the text)
// is a key keyword, a frame and value_count numbers.
int read_track(ase_reader* r, int32_t value_count, ase_key** keys, int32_t* key_count) {
  token_skip(r->t);
  std::vector<ase_key> read;
  int ok = 1;
  char buffer[TOKEN_SIZE];
  while (token_next(r->t, buffer) && std::strcmp(buffer, "}") != 0) {
    ase_key key;
    key.frame = token_int(r->t);
    key.value_count = value_count;
    key.values = mem_alloc_array<float>(size_t(value_count));
    if (!key.values) {
      ok = 0;
      break;
    }
    for (int32_t i = 0; i < value_count; i++)
      key.values[i] = token_float(r->t);
    read.push_back(key);
  }
  ase_key* list = ok ? mem_alloc_array<ase_key>(read.size()) : nullptr;
  if (!list) {
    for (ase_key& k : read)
      mem_free(k.values);
    return 0;
  }
  if (!read.empty())
    std::memcpy(list, read.data(), read.size() * sizeof(ase_key));
  free_keys(*keys, *key_count);
  *keys = list;
  *key_count = int32_t(read.size());
  return 1;
}

template <int32_t VALUES, ase_key* ase_tm_animation::*keys, int32_t ase_tm_animation::*count>
int read_track_field(ase_reader* r, ase_tm_animation* a) {
  return read_track(r, VALUES, &(a->*keys), &(a->*count));
}

const ase_field<ase_tm_animation> animation_fields[] = {
    {.keyword = "*NODE_NAME", .flag = 1, .read = read_name_field<ase_tm_animation, &ase_tm_animation::name>},
    {.keyword = "*CONTROL_POS_BEZIER",
     .read = read_track_field<ASE_POS_KEY_VALUES, &ase_tm_animation::pos_keys, &ase_tm_animation::pos_key_count>},
    {.keyword = "*CONTROL_ROT_TCB",
     .read = read_track_field<ASE_ROT_KEY_VALUES, &ase_tm_animation::rot_keys, &ase_tm_animation::rot_key_count>},
    {.keyword = "*CONTROL_SCALE_BEZIER",
     .read = read_track_field<ASE_SCALE_KEY_VALUES, &ase_tm_animation::scale_keys, &ase_tm_animation::scale_key_count>},
};
const ase_block<ase_tm_animation> animation_block = {.fields = animation_fields, .unknown = ASE_SKIP_BLOCK};

template <typename T> int read_animation(ase_reader* r, T* record) {
  return read_replacing(r, &record->tm_animation, ase_tm_animation{}, free_animation, animation_block);
}

// ---- Meshes ----

template <typename T> void drop_list(T** list) {
  if (*list)
    mem_free(*list);
  *list = nullptr;
}

// Allocates a list for the count given before it, replacing an earlier one.
template <typename T> int start_list(T** list, int32_t count) {
  drop_list(list);
  *list = mem_alloc_array<T>(size_t(count));
  return *list != nullptr;
}

// "*MESH_NUM... n": a new count stands for a list still to come.
template <int32_t ase_mesh::*count, auto list> int read_count(ase_reader* r, ase_mesh* m) {
  const int32_t n = token_int(r->t);
  if (!count_plausible(r, n))
    return 0;
  m->*count = n;
  drop_list(&(m->*list));
  return 1;
}

void read_vec3_row(ase_reader* r, vec3* v) { *v = read_vec3(r); }

void read_index_row(ase_reader* r, int32_t (*row)[3]) {
  for (int32_t c = 0; c < 3; c++)
    (*row)[c] = token_int(r->t);
}

// A braced list of the counted rows "*KEYWORD i values".
template <typename E, E* ase_mesh::*list, int32_t ase_mesh::*count, void (*read_row)(ase_reader*, E*)>
int read_rows(ase_reader* r, ase_mesh* m) {
  const int ok = start_list(&(m->*list), m->*count);
  token_skip(r->t);
  for (int32_t i = 0; ok && i < m->*count; i++) {
    token_skip(r->t);
    token_skip(r->t);
    read_row(r, &(m->*list)[i]);
  }
  token_skip(r->t);
  return ok;
}

int read_face_list(ase_reader* r, ase_mesh* m) {
  if (!start_list(&m->faces, m->face_count))
    return 0;
  token_skip(r->t);
  for (int32_t i = 0; i < m->face_count; i++) {
    ase_face* f = &m->faces[i];
    token_skip(r->t);
    token_skip(r->t);
    for (int32_t k = 0; k < 3; k++) {
      token_skip(r->t);
      f->index[k] = token_int(r->t);
    }
    for (int32_t k = 0; k < 3; k++) {
      token_skip(r->t);
      if (token_int(r->t) != 0)
        f->edges |= 1 << k;
    }
    // Smoothing groups, material ids and whatever else ends the face line.
    for (;;) {
      if (!peek(r))
        return 0;
      if (strcasecmp(r->token, "*MESH_FACE") == 0 || is(r, "}"))
        break;
      token_skip(r->t);
    }
  }
  token_skip(r->t);
  return 1;
}

// Every counted list was read and every index lies inside its list.
int check_mesh(const ase_mesh* m) {
  if ((m->vertex_count > 0 && !m->vertices) || (m->face_count > 0 && !m->faces) ||
      (m->tvertex_count > 0 && !m->tvertices) || (m->tvface_count > 0 && !m->tvfaces))
    return 0;
  for (int32_t i = 0; i < m->face_count; i++)
    for (int32_t k = 0; k < 3; k++)
      if (m->faces[i].index[k] < 0 || m->faces[i].index[k] >= m->vertex_count)
        return 0;
  for (int32_t i = 0; i < m->tvface_count; i++)
    for (int32_t k = 0; k < 3; k++)
      if (m->tvfaces[i][k] < 0 || m->tvfaces[i][k] >= m->tvertex_count)
        return 0;
  return 1;
}

const ase_field<ase_mesh> mesh_fields[] = {
    {.keyword = "*MESH_NUMVERTEX", .read = read_count<&ase_mesh::vertex_count, &ase_mesh::vertices>},
    {.keyword = "*MESH_NUMFACES", .read = read_count<&ase_mesh::face_count, &ase_mesh::faces>},
    {.keyword = "*MESH_VERTEX_LIST",
     .read = read_rows<vec3, &ase_mesh::vertices, &ase_mesh::vertex_count, read_vec3_row>},
    {.keyword = "*MESH_FACE_LIST", .read = read_face_list},
    {.keyword = "*MESH_NUMTVERTEX", .read = read_count<&ase_mesh::tvertex_count, &ase_mesh::tvertices>},
    {.keyword = "*MESH_TVERTLIST",
     .read = read_rows<vec3, &ase_mesh::tvertices, &ase_mesh::tvertex_count, read_vec3_row>},
    {.keyword = "*MESH_NUMTVFACES", .read = read_count<&ase_mesh::tvface_count, &ase_mesh::tvfaces>},
    {.keyword = "*MESH_TFACELIST",
     .read = read_rows<int32_t[3], &ase_mesh::tvfaces, &ase_mesh::tvface_count, read_index_row>},
    {.keyword = "*MESH_NORMALS", .read = skip_braced<ase_mesh>},
};
const ase_block<ase_mesh> mesh_block = {.fields = mesh_fields};

int read_mesh(ase_reader* r, ase_geom* g) {
  return read_replacing(r, &g->mesh, ase_mesh{}, free_mesh, mesh_block) && check_mesh(g->mesh);
}

// ---- Objects ----

const ase_field<ase_camera> camera_fields[] = {
    {.keyword = "*NODE_NAME", .flag = 2, .read = read_name_field<ase_camera, &ase_camera::name>},
    {.keyword = "*CAMERA_TYPE", .flag = 1, .read = skip_value<ase_camera>}, // every camera is a target camera
    {.keyword = "*NODE_TM", .flag = 4, .read = read_node_tm<ase_camera>},
    {.keyword = "*CAMERA_SETTINGS", .read = skip_braced<ase_camera>},
    {.keyword = "*TM_ANIMATION", .flag = 8, .read = read_animation<ase_camera>},
};
const ase_block<ase_camera> camera_block = {.fields = camera_fields};

int read_camera(ase_reader* r, ase_camera* c) {
  c->type = 1;
  token_skip(r->t);
  return read_block(r, c, camera_block);
}

int read_material_ref(ase_reader* r, ase_geom* g) {
  g->material_ref = token_int(r->t);
  return 1;
}

const ase_field<ase_geom> geom_fields[] = {
    {.keyword = "*NODE_NAME", .flag = 0x1, .read = read_name_field<ase_geom, &ase_geom::name>},
    {.keyword = "*NODE_TM", .flag = 0x4, .read = read_node_tm<ase_geom>},
    {.keyword = "*MESH", .flag = 0x10, .read = read_mesh},
    {.keyword = "*MATERIAL_REF", .flag = 0x20, .read = read_material_ref},
    {.keyword = "*NODE_PARENT", .flag = 0x2, .read = read_name_field<ase_geom, &ase_geom::parent>},
    {.keyword = "*TM_ANIMATION", .flag = 0x8, .read = read_animation<ase_geom>},
};
const ase_block<ase_geom> geom_block = {.fields = geom_fields};

const ase_field<ase_helper> helper_fields[] = {
    {.keyword = "*NODE_NAME", .flag = 0x1, .read = read_name_field<ase_helper, &ase_helper::name>},
    {.keyword = "*HELPER_CLASS", .flag = 0x2, .read = skip_value<ase_helper>},
    {.keyword = "*NODE_TM", .flag = 0x10, .read = read_node_tm<ase_helper>},
    {.keyword = "*BOUNDINGBOX_MIN", .flag = 0x4, .read = read_vec3_field<ase_helper, &ase_helper::bbox_min>},
    {.keyword = "*BOUNDINGBOX_MAX", .flag = 0x8, .read = read_vec3_field<ase_helper, &ase_helper::bbox_max>},
    {.keyword = "*TM_ANIMATION", .flag = 0x20, .read = read_animation<ase_helper>},
};
const ase_block<ase_helper> helper_block = {.fields = helper_fields};

constexpr auto read_geom = read_braced<ase_geom, geom_block>;
constexpr auto read_helper = read_braced<ase_helper, helper_block>;
int read_group(ase_reader* r, ase_group* g);

const ase_field<ase_group> group_fields[] = {
    {.keyword = "*HELPEROBJECT", .read = read_child<ase_group, ase_helper, read_helper, free_object<ase_helper>>},
    {.keyword = "*GEOMOBJECT", .read = read_child<ase_group, ase_geom, read_geom, free_object<ase_geom>>},
    {.keyword = "*GROUP", .read = read_child<ase_group, ase_group, read_group, free_group>},
};
const ase_block<ase_group> group_block = {.fields = group_fields};

// "name {" and the group's objects; groups nest at most ASE_MAX_GROUP_DEPTH deep.
int read_group(ase_reader* r, ase_group* g) {
  if (r->group_depth >= ASE_MAX_GROUP_DEPTH || !read_name(r, &g->name))
    return 0;
  g->flags |= 1;
  token_skip(r->t);
  r->group_depth++;
  const int ok = read_block(r, g, group_block);
  r->group_depth--;
  return ok;
}

// ---- The scene ----

const ase_field<ase_scene> scene_fields[] = {
    {.keyword = "*SCENE", .line = "Read scene information\n", .read = skip_braced<ase_scene>},
    {.keyword = "*MATERIAL_LIST", .line = "Read material list\n", .read = read_material_list},
    {.keyword = "*CAMERAOBJECT",
     .line = "Read camera object\n",
     .read = read_child<ase_scene, ase_camera, read_camera, free_object<ase_camera>>},
    {.keyword = "*GEOMOBJECT",
     .line = "Read geom object\n",
     .read = read_child<ase_scene, ase_geom, read_geom, free_object<ase_geom>>},
    {.keyword = "*GROUP", .line = "Read group\n", .read = read_child<ase_scene, ase_group, read_group, free_group>},
    // The line has always been printed without its end.
    {.keyword = "*HELPEROBJECT",
     .line = "Read helper object",
     .read = read_child<ase_scene, ase_helper, read_helper, free_object<ase_helper>>},
};
const ase_block<ase_scene> scene_block = {
    .fields = scene_fields, .unknown = ASE_SKIP_BLOCK, .unknown_line = "Read unkown\n", .whole_text = true};

// The file's four header tokens, then the blocks up to the end of the text.
int read_scene(ase_reader* r, ase_scene* scene) {
  for (int32_t i = 0; i < 4; i++)
    token_skip(r->t);
  return read_block(r, scene, scene_block);
}

} // namespace

ase_scene* ase_load(const char* path, const char* texture_dir) {
  int32_t size = 0;
  void* data = vfs_read_all(path, &size);
  if (!data)
    return nullptr;
  char* text = static_cast<char*>(mem_alloc(size_t(size) + 1));
  if (text)
    std::memcpy(text, data, size_t(size));
  mem_free(data);
  if (!text)
    return nullptr;
  text_tokenizer* t =
      text_tokenizer_create(text, nullptr, "\"", nullptr, nullptr, nullptr, nullptr, TOKENIZER_SEPARATORS_DEFAULT);
  mem_free(text);
  if (!t) {
    vfs_note_failure(path, "cannot be read as text");
    return nullptr;
  }
  ase_scene* scene = mem_alloc_array<ase_scene>(1);
  if (!scene) {
    text_tokenizer_free(t);
    return nullptr;
  }
  scene->info[3] = 30;
  scene->info[4] = 1;
  ase_reader r = {
      .t = t, .texture_dir = texture_dir, .work_length = std::strlen(t->work), .group_depth = 0, .token = {}};
  const int ok = read_scene(&r, scene);
  text_tokenizer_free(t);
  if (!ok) {
    vfs_note_failure(path, "its blocks are damaged or cut short");
    ase_scene_free(scene);
    return nullptr;
  }
  return scene;
}

void ase_scene_free(ase_scene* scene) {
  if (!scene)
    return;
  free_list(scene->materials, scene->material_count, free_material);
  free_list(scene->cameras, scene->camera_count, free_object<ase_camera>);
  free_list(scene->geoms, scene->geom_count, free_object<ase_geom>);
  free_list(scene->helpers, scene->helper_count, free_object<ase_helper>);
  free_list(scene->groups, scene->group_count, free_group);
  mem_free(scene);
}
