#include "ase.h"

#include "mem.h"
#include "text_tokenizer.h"
#include "vfs.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

namespace {

struct ase_reader {
  text_tokenizer* t;
  const char* texture_dir;
  size_t work_length; // bytes of the prepared text
  char token[TOKEN_SIZE];
};

// Appends item to a pointer list that grows by one. 1, or 0 on exhausted memory.
template <typename T> int list_append(T*** list, int32_t* count, T* item) {
  const size_t bytes = (size_t(*count) + 1) * sizeof(T*);
  T** grown = static_cast<T**>(*list ? mem_realloc(*list, bytes) : mem_alloc(bytes));
  if (!grown)
    return 0;
  grown[*count] = item;
  *list = grown;
  (*count)++;
  return 1;
}

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

// Skips the keyword and the opening brace of a block.
void enter_block(ase_reader* r) {
  token_skip(r->t);
  token_skip(r->t);
}

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

void free_camera(ase_camera* c) {
  if (!c)
    return;
  free_string(c->name);
  free_node_tm(c->node_tm);
  free_animation(c->tm_animation);
  mem_free(c);
}

void free_geom(ase_geom* g) {
  if (!g)
    return;
  free_string(g->name);
  free_string(g->parent);
  free_node_tm(g->node_tm);
  free_animation(g->tm_animation);
  free_mesh(g->mesh);
  mem_free(g);
}

void free_helper(ase_helper* h) {
  if (!h)
    return;
  free_string(h->name);
  free_node_tm(h->node_tm);
  free_animation(h->tm_animation);
  mem_free(h);
}

void free_group(ase_group* g) {
  if (!g)
    return;
  free_string(g->name);
  for (int32_t i = 0; i < g->helper_count; i++)
    free_helper(g->helpers[i]);
  for (int32_t i = 0; i < g->geom_count; i++)
    free_geom(g->geoms[i]);
  for (int32_t i = 0; i < g->group_count; i++)
    free_group(g->groups[i]);
  void* lists[] = {g->helpers, g->geoms, g->groups};
  for (void* l : lists)
    if (l)
      mem_free(l);
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

int read_map(ase_reader* r, ase_map* map) {
  enter_block(r);
  for (;;) {
    if (!peek(r))
      return 0;
    const int32_t k = keyword_index(r->token, "*MAP_NAME *BITMAP *UVW_ANGLE");
    token_skip(r->t);
    if (is(r, "}"))
      return 1;
    if (k == 1) {
      if (!read_name(r, &map->name))
        return 0;
      map->flags |= 1;
    } else if (k == 2) {
      char* value = read_quoted(r);
      char* path = value ? bitmap_path(r, value) : nullptr;
      free_string(value);
      if (!path)
        return 0;
      free_string(map->bitmap);
      map->bitmap = path;
      map->flags |= 2;
    } else if (k == 3) {
      map->uvw_angle = token_float(r->t);
      map->flags |= 4;
    }
  }
}

int read_material(ase_reader* r, ase_material** out) {
  ase_material* m = mem_alloc_array<ase_material>(1);
  if (!m)
    return 0;
  *out = m;
  token_skip(r->t);
  m->index = token_int(r->t);
  token_skip(r->t);
  for (;;) {
    if (!peek(r))
      return 0;
    if (is(r, "}")) {
      token_skip(r->t);
      return 1;
    }
    switch (keyword_index(r->token, "*MATERIAL_NAME *MAP_DIFFUSE")) {
    case 1:
      std::printf("Read material name\n");
      token_skip(r->t);
      if (!read_name(r, &m->name))
        return 0;
      m->flags |= 1;
      break;
    case 2:
      std::printf("Read material diffuse map\n");
      if (!read_map(r, &m->diffuse_map))
        return 0;
      m->flags |= 2;
      break;
    default:
      token_skip(r->t);
      break;
    }
  }
}

int read_material_list(ase_reader* r, ase_scene* scene) {
  enter_block(r);
  token_skip(r->t);
  const int32_t count = token_int(r->t);
  for (int32_t i = 0; i < count; i++) {
    ase_material* m = nullptr;
    const int ok = read_material(r, &m);
    if (!ok || !list_append(&scene->materials, &scene->material_count, m)) {
      free_material(m);
      return 0;
    }
  }
  token_skip(r->t);
  return 1;
}

int read_node_tm(ase_reader* r, ase_node_tm** out) {
  ase_node_tm* tm = mem_alloc_array<ase_node_tm>(1);
  if (!tm)
    return 0;
  free_node_tm(*out);
  *out = tm;
  tm->row0 = {1, 0, 0};
  tm->row1 = {0, 1, 0};
  tm->row2 = {0, 0, 1};
  tm->rot_axis = {0, 0, 1};
  tm->scale = {1, 1, 1};
  tm->scale_axis = {1, 1, 1};
  tm->scale_axis_angle = 1;
  enter_block(r);
  for (;;) {
    if (!peek(r))
      return 0;
    if (is(r, "}")) {
      token_skip(r->t);
      return 1;
    }
    const int32_t k = keyword_index(r->token, "*NODE_NAME *TM_ROW0 *TM_ROW1 *TM_ROW2 *TM_ROW3 *TM_POS *TM_ROTAXIS "
                                              "*TM_ROTANGLE *TM_SCALE *TM_SCALEAXIS *TM_SCALEAXISANG");
    token_skip(r->t);
    if (k == 0)
      continue;
    tm->flags |= 1u << (k - 1);
    switch (k) {
    case 1:
      if (!read_name(r, &tm->name))
        return 0;
      break;
    case 2:
      tm->row0 = read_vec3(r);
      break;
    case 3:
      tm->row1 = read_vec3(r);
      break;
    case 4:
      tm->row2 = read_vec3(r);
      break;
    case 5:
      tm->row3 = read_vec3(r);
      break;
    case 6:
      tm->pos = read_vec3(r);
      break;
    case 7:
      tm->rot_axis = read_vec3(r);
      break;
    case 8:
      tm->rot_angle = token_float(r->t);
      break;
    case 9:
      tm->scale = read_vec3(r);
      break;
    case 10:
      tm->scale_axis = read_vec3(r);
      break;
    default:
      tm->scale_axis_angle = token_float(r->t);
      break;
    }
  }
}

// A key track: every entry up to the closing brace (or the end of the text)
// is a key keyword, a frame and value_count numbers.
int read_track(ase_reader* r, int32_t value_count, ase_key** keys, int32_t* key_count) {
  enter_block(r);
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

int read_animation(ase_reader* r, ase_tm_animation** out) {
  ase_tm_animation* a = mem_alloc_array<ase_tm_animation>(1);
  if (!a)
    return 0;
  free_animation(*out);
  *out = a;
  enter_block(r);
  for (;;) {
    if (!peek(r))
      return 0;
    if (is(r, "}")) {
      token_skip(r->t);
      return 1;
    }
    int ok = 1;
    switch (keyword_index(r->token, "*NODE_NAME *CONTROL_POS_BEZIER *CONTROL_ROT_TCB *CONTROL_SCALE_BEZIER")) {
    case 1:
      token_skip(r->t);
      ok = read_name(r, &a->name);
      a->flags |= 1;
      break;
    case 2:
      ok = read_track(r, ASE_POS_KEY_VALUES, &a->pos_keys, &a->pos_key_count);
      break;
    case 3:
      ok = read_track(r, ASE_ROT_KEY_VALUES, &a->rot_keys, &a->rot_key_count);
      break;
    case 4:
      ok = read_track(r, ASE_SCALE_KEY_VALUES, &a->scale_keys, &a->scale_key_count);
      break;
    default:
      ok = skip_block(r->t);
      break;
    }
    if (!ok)
      return 0;
  }
}

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

int read_face_list(ase_reader* r, ase_mesh* m) {
  if (!start_list(&m->faces, m->face_count))
    return 0;
  enter_block(r);
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

int read_mesh(ase_reader* r, ase_mesh** out) {
  ase_mesh* m = mem_alloc_array<ase_mesh>(1);
  if (!m)
    return 0;
  free_mesh(*out);
  *out = m;
  enter_block(r);
  for (;;) {
    if (!peek(r))
      return 0;
    if (is(r, "}")) {
      token_skip(r->t);
      break;
    }
    const int32_t k = keyword_index(r->token, "*MESH_NUMVERTEX *MESH_NUMFACES *MESH_VERTEX_LIST *MESH_FACE_LIST "
                                              "*MESH_NUMTVERTEX *MESH_TVERTLIST *MESH_NUMTVFACES *MESH_TFACELIST "
                                              "*MESH_NORMALS");
    int ok = 1;
    switch (k) {
    case 1:
    case 2:
    case 5:
    case 7: {
      token_skip(r->t);
      const int32_t count = token_int(r->t);
      if (!count_plausible(r, count))
        return 0;
      // A new count stands for a list still to come.
      if (k == 1) {
        m->vertex_count = count;
        drop_list(&m->vertices);
      } else if (k == 2) {
        m->face_count = count;
        drop_list(&m->faces);
      } else if (k == 5) {
        m->tvertex_count = count;
        drop_list(&m->tvertices);
      } else {
        m->tvface_count = count;
        drop_list(&m->tvfaces);
      }
      break;
    }
    case 3:
      ok = start_list(&m->vertices, m->vertex_count);
      enter_block(r);
      for (int32_t i = 0; ok && i < m->vertex_count; i++) {
        token_skip(r->t);
        token_skip(r->t);
        m->vertices[i] = read_vec3(r);
      }
      token_skip(r->t);
      break;
    case 4:
      ok = read_face_list(r, m);
      break;
    case 6:
      ok = start_list(&m->tvertices, m->tvertex_count);
      enter_block(r);
      for (int32_t i = 0; ok && i < m->tvertex_count; i++) {
        token_skip(r->t);
        token_skip(r->t);
        m->tvertices[i] = read_vec3(r);
      }
      token_skip(r->t);
      break;
    case 8:
      ok = start_list(&m->tvfaces, m->tvface_count);
      enter_block(r);
      for (int32_t i = 0; ok && i < m->tvface_count; i++) {
        token_skip(r->t);
        token_skip(r->t);
        for (int32_t c = 0; c < 3; c++)
          m->tvfaces[i][c] = token_int(r->t);
      }
      token_skip(r->t);
      break;
    case 9:
      ok = skip_block(r->t);
      break;
    default:
      token_skip(r->t);
      break;
    }
    if (!ok)
      return 0;
  }
  return check_mesh(m);
}

int read_camera(ase_reader* r, ase_camera** out) {
  ase_camera* c = mem_alloc_array<ase_camera>(1);
  if (!c)
    return 0;
  *out = c;
  c->type = 1;
  enter_block(r);
  for (;;) {
    if (!peek(r))
      return 0;
    if (is(r, "}")) {
      token_skip(r->t);
      return 1;
    }
    int ok = 1;
    switch (keyword_index(r->token, "*NODE_NAME *CAMERA_TYPE *NODE_TM *CAMERA_SETTINGS *TM_ANIMATION")) {
    case 1:
      token_skip(r->t);
      ok = read_name(r, &c->name);
      c->flags |= 2;
      break;
    case 2:
      token_skip(r->t);
      token_skip(r->t);
      c->type = 1;
      c->flags |= 1;
      break;
    case 3:
      ok = read_node_tm(r, &c->node_tm);
      c->flags |= 4;
      break;
    case 4:
      ok = skip_block(r->t);
      break;
    case 5:
      ok = read_animation(r, &c->tm_animation);
      c->flags |= 8;
      break;
    default:
      token_skip(r->t);
      break;
    }
    if (!ok)
      return 0;
  }
}

int read_geom(ase_reader* r, ase_geom** out) {
  ase_geom* g = mem_alloc_array<ase_geom>(1);
  if (!g)
    return 0;
  *out = g;
  enter_block(r);
  for (;;) {
    if (!peek(r))
      return 0;
    if (is(r, "}")) {
      token_skip(r->t);
      return 1;
    }
    int ok = 1;
    switch (keyword_index(r->token, "*NODE_NAME *NODE_TM *MESH *MATERIAL_REF *NODE_PARENT *TM_ANIMATION")) {
    case 1:
      token_skip(r->t);
      ok = read_name(r, &g->name);
      g->flags |= 0x1;
      break;
    case 2:
      ok = read_node_tm(r, &g->node_tm);
      g->flags |= 0x4;
      break;
    case 3:
      ok = read_mesh(r, &g->mesh);
      g->flags |= 0x10;
      break;
    case 4:
      token_skip(r->t);
      g->material_ref = token_int(r->t);
      g->flags |= 0x20;
      break;
    case 5:
      token_skip(r->t);
      ok = read_name(r, &g->parent);
      g->flags |= 0x2;
      break;
    case 6:
      ok = read_animation(r, &g->tm_animation);
      g->flags |= 0x8;
      break;
    default:
      token_skip(r->t);
      break;
    }
    if (!ok)
      return 0;
  }
}

int read_helper(ase_reader* r, ase_helper** out) {
  ase_helper* h = mem_alloc_array<ase_helper>(1);
  if (!h)
    return 0;
  *out = h;
  enter_block(r);
  for (;;) {
    if (!peek(r))
      return 0;
    if (is(r, "}")) {
      token_skip(r->t);
      return 1;
    }
    int ok = 1;
    switch (
        keyword_index(r->token, "*NODE_NAME *HELPER_CLASS *NODE_TM *BOUNDINGBOX_MIN *BOUNDINGBOX_MAX *TM_ANIMATION")) {
    case 1:
      token_skip(r->t);
      ok = read_name(r, &h->name);
      h->flags |= 0x1;
      break;
    case 2:
      token_skip(r->t);
      token_skip(r->t);
      h->flags |= 0x2;
      break;
    case 3:
      ok = read_node_tm(r, &h->node_tm);
      h->flags |= 0x10;
      break;
    case 4:
      token_skip(r->t);
      h->bbox_min = read_vec3(r);
      h->flags |= 0x4;
      break;
    case 5:
      token_skip(r->t);
      h->bbox_max = read_vec3(r);
      h->flags |= 0x8;
      break;
    case 6:
      ok = read_animation(r, &h->tm_animation);
      h->flags |= 0x20;
      break;
    default:
      token_skip(r->t);
      break;
    }
    if (!ok)
      return 0;
  }
}

int read_group(ase_reader* r, ase_group** out, int32_t depth) {
  if (depth >= ASE_MAX_GROUP_DEPTH)
    return 0;
  ase_group* g = mem_alloc_array<ase_group>(1);
  if (!g)
    return 0;
  *out = g;
  token_skip(r->t);
  if (!read_name(r, &g->name))
    return 0;
  g->flags |= 1;
  token_skip(r->t);
  for (;;) {
    if (!peek(r))
      return 0;
    if (is(r, "}")) {
      token_skip(r->t);
      return 1;
    }
    int ok = 1;
    switch (keyword_index(r->token, "*HELPEROBJECT *GEOMOBJECT *GROUP")) {
    case 1: {
      ase_helper* h = nullptr;
      ok = read_helper(r, &h) && list_append(&g->helpers, &g->helper_count, h);
      if (!ok)
        free_helper(h);
      break;
    }
    case 2: {
      ase_geom* child = nullptr;
      ok = read_geom(r, &child) && list_append(&g->geoms, &g->geom_count, child);
      if (!ok)
        free_geom(child);
      break;
    }
    case 3: {
      ase_group* child = nullptr;
      ok = read_group(r, &child, depth + 1) && list_append(&g->groups, &g->group_count, child);
      if (!ok)
        free_group(child);
      break;
    }
    default:
      token_skip(r->t);
      break;
    }
    if (!ok)
      return 0;
  }
}

int read_scene(ase_reader* r, ase_scene* scene) {
  for (int32_t i = 0; i < 4; i++)
    token_skip(r->t);
  while (peek(r)) {
    int ok = 1;
    switch (keyword_index(r->token, "*SCENE *MATERIAL_LIST *CAMERAOBJECT *GEOMOBJECT *GROUP *HELPEROBJECT")) {
    case 1:
      std::printf("Read scene information\n");
      ok = skip_block(r->t);
      break;
    case 2:
      std::printf("Read material list\n");
      ok = read_material_list(r, scene);
      break;
    case 3: {
      std::printf("Read camera object\n");
      ase_camera* c = nullptr;
      ok = read_camera(r, &c) && list_append(&scene->cameras, &scene->camera_count, c);
      if (!ok)
        free_camera(c);
      break;
    }
    case 4: {
      std::printf("Read geom object\n");
      ase_geom* g = nullptr;
      ok = read_geom(r, &g) && list_append(&scene->geoms, &scene->geom_count, g);
      if (!ok)
        free_geom(g);
      break;
    }
    case 5: {
      std::printf("Read group\n");
      ase_group* g = nullptr;
      ok = read_group(r, &g, 0) && list_append(&scene->groups, &scene->group_count, g);
      if (!ok)
        free_group(g);
      break;
    }
    case 6: {
      std::printf("Read helper object");
      ase_helper* h = nullptr;
      ok = read_helper(r, &h) && list_append(&scene->helpers, &scene->helper_count, h);
      if (!ok)
        free_helper(h);
      break;
    }
    default:
      std::printf("Read unkown\n");
      ok = skip_block(r->t);
      break;
    }
    if (!ok)
      return 0;
  }
  return 1;
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
  ase_reader r = {t, texture_dir, std::strlen(t->work), {}};
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
  for (int32_t i = 0; i < scene->material_count; i++)
    free_material(scene->materials[i]);
  for (int32_t i = 0; i < scene->camera_count; i++)
    free_camera(scene->cameras[i]);
  for (int32_t i = 0; i < scene->geom_count; i++)
    free_geom(scene->geoms[i]);
  for (int32_t i = 0; i < scene->helper_count; i++)
    free_helper(scene->helpers[i]);
  for (int32_t i = 0; i < scene->group_count; i++)
    free_group(scene->groups[i]);
  void* lists[] = {scene->materials, scene->cameras, scene->geoms, scene->helpers, scene->groups};
  for (void* l : lists)
    if (l)
      mem_free(l);
  mem_free(scene);
}
