// The 3D Studio ASCII object reader: a line-by-line state machine over the
// first object of the file, then the optional lighting table and height map.
// Counts and indices are checked against the file before anything is
// allocated or stored; a file that ends before its announced vertices and
// faces are read is refused.
#include "mirror_scene.h"
#include "scene_file.h"
#include "vfs.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

enum asc_state : int32_t {
  ASC_WANT_OBJECT,
  ASC_WANT_MESH,
  ASC_WANT_VERTICES,
  ASC_IN_VERTICES,
  ASC_WANT_FACES,
  ASC_IN_FACES,
  ASC_DONE,
};

// Where the counts sit on a "Tri-mesh, Vertices: 8     Faces: 12" line, and
// the name on a "Named object: \"name\"" line.
constexpr size_t ASC_VERTEX_COUNT_AT = 20;
constexpr size_t ASC_FACE_COUNT_FROM = 24;
constexpr size_t ASC_NAME_AT = 15;
// The shortest line a vertex ("Vertex") and a face ("Face") can have.
constexpr int64_t ASC_VERTEX_LINE_MIN = 6;
constexpr int64_t ASC_FACE_LINE_MIN = 4;
// Modes whose texture coordinates are kept in texels (0 to 255).
constexpr char ASC_TEXEL_MODES[] = "$%&'()";
constexpr float ASC_UV_LOW = 0.01f, ASC_UV_HIGH = 0.99f, ASC_TEXELS = 255.0f;

struct asc_parse {
  asc_object* object;
  int32_t state;
  int32_t index;
  int32_t mode;
  int32_t mapped;
  int32_t failed; // ASC_ERROR_* once a line is refused
};

bool asc_begins(const char* line, const char* word) { return std::strncmp(line, word, std::strlen(word)) == 0; }

// The integer at s (leading blanks skipped), limited to 32 bits; 0 if none.
int32_t asc_int(const char* s) {
  const long long v = std::strtoll(s, nullptr, 10);
  if (v > INT32_MAX)
    return INT32_MAX;
  if (v < INT32_MIN)
    return INT32_MIN;
  return int32_t(v);
}

// Moves *s just past the next ':' and reads the number there; 0 when there is
// no further ':'. False for a value that is not finite.
bool asc_next_number(const char** s, double* out) {
  *out = 0;
  if (!*s)
    return true;
  const char* colon = std::strchr(*s, ':');
  if (!colon) {
    *s = nullptr;
    return true;
  }
  *s = colon + 1;
  *out = std::strtod(*s, nullptr);
  return std::isfinite(*out);
}

float asc_clamp(float v, float lo, float hi) { return v < lo ? lo : v > hi ? hi : v; }

void asc_named_object(asc_parse* p, const char* line) {
  asc_object* o = static_cast<asc_object*>(std::calloc(1, sizeof(asc_object)));
  if (!o) {
    p->failed = ASC_ERROR_MEMORY;
    return;
  }
  p->object = o;
  o->mode = p->mode;
  const size_t length = std::strlen(line);
  if (length > ASC_NAME_AT) {
    const char* name = line + ASC_NAME_AT;
    const char* quote = std::strchr(name, '"');
    size_t n = quote ? size_t(quote - name) : std::strlen(name);
    if (n > size_t(ASC_NAME_SIZE - 1))
      n = size_t(ASC_NAME_SIZE - 1);
    std::memcpy(o->name, name, n);
    o->name[n] = 0;
  }
  p->state = ASC_WANT_MESH;
}

void asc_tri_mesh(asc_parse* p, const char* line, int32_t file_size) {
  const size_t length = std::strlen(line);
  const int32_t vertices = length > ASC_VERTEX_COUNT_AT ? asc_int(line + ASC_VERTEX_COUNT_AT) : 0;
  const char* colon = length > ASC_FACE_COUNT_FROM ? std::strchr(line + ASC_FACE_COUNT_FROM, ':') : nullptr;
  const int32_t faces = colon ? asc_int(colon + 1) : 0;
  // Every vertex and face needs a line of its own in the file.
  if (vertices < 0 || faces < 0 ||
      int64_t(vertices) * ASC_VERTEX_LINE_MIN + int64_t(faces) * ASC_FACE_LINE_MIN > int64_t(file_size)) {
    p->failed = ASC_ERROR_FORMAT;
    return;
  }
  asc_object* o = p->object;
  o->vertex_count = vertices;
  o->face_count = faces;
  o->vertices = static_cast<asc_vertex*>(std::calloc(size_t(vertices) + 1, sizeof(asc_vertex)));
  o->faces = static_cast<asc_face*>(std::calloc(size_t(faces) + 1, sizeof(asc_face)));
  if (!o->vertices || !o->faces) {
    p->failed = ASC_ERROR_MEMORY;
    return;
  }
  p->state = ASC_WANT_VERTICES;
}

void asc_vertex_line(asc_parse* p, const char* line) {
  asc_object* o = p->object;
  asc_vertex* v = &o->vertices[p->index];
  const char* s = std::strchr(line, ':'); // ends the vertex label
  double x = 0, y = 0, z = 0, u = 0, w = 0;
  if (s) {
    s++;
    if (!asc_next_number(&s, &x) || !asc_next_number(&s, &y) || !asc_next_number(&s, &z) ||
        (p->mapped && (!asc_next_number(&s, &u) || !asc_next_number(&s, &w)))) {
      p->failed = ASC_ERROR_FORMAT;
      return;
    }
  }
  // The file's vertical Z becomes the engine's y.
  v->x = x;
  v->y = z;
  v->z = y;
  if (p->mapped) {
    if (o->mode > 0 && o->mode < 256 && std::strchr(ASC_TEXEL_MODES, o->mode)) {
      v->u = asc_clamp(float(u) * ASC_TEXELS, 0, ASC_TEXELS);
      v->v = asc_clamp(float(w) * ASC_TEXELS, 0, ASC_TEXELS);
    } else {
      v->u = asc_clamp(float(u), ASC_UV_LOW, ASC_UV_HIGH);
      v->v = asc_clamp(float(w), ASC_UV_LOW, ASC_UV_HIGH);
    }
  }
  if (++p->index >= o->vertex_count)
    p->state = ASC_WANT_FACES;
}

void asc_face_line(asc_parse* p, const char* line) {
  asc_object* o = p->object;
  asc_face* f = &o->faces[p->index];
  const char* s = std::strchr(line, ':'); // ends the face label
  int32_t corner[3] = {0, 0, 0};
  for (int32_t k = 0; k < 3 && s; k++) {
    s = std::strchr(s + 1, ':');
    if (s)
      corner[k] = asc_int(s + 1);
  }
  for (int32_t c : corner)
    if (c < 0 || c >= o->vertex_count) {
      p->failed = ASC_ERROR_FORMAT;
      return;
    }
  f->ia = corner[0];
  f->ib = corner[1];
  f->ic = corner[2];
  if (++p->index >= o->face_count)
    p->state = ASC_DONE;
}

void asc_line(asc_parse* p, const char* line, int32_t file_size) {
  switch (p->state) {
  case ASC_WANT_OBJECT:
    if (asc_begins(line, "Named object"))
      asc_named_object(p, line);
    break;
  case ASC_WANT_MESH:
    if (asc_begins(line, "Tri-mesh"))
      asc_tri_mesh(p, line, file_size);
    break;
  case ASC_WANT_VERTICES:
    if (asc_begins(line, "Mapped")) {
      p->mapped = 1;
    } else if (asc_begins(line, "Vertex list")) {
      p->index = 0;
      p->state = p->object->vertex_count > 0 ? ASC_IN_VERTICES : ASC_WANT_FACES;
    }
    break;
  case ASC_IN_VERTICES:
    if (asc_begins(line, "Vertex"))
      asc_vertex_line(p, line);
    break;
  case ASC_WANT_FACES:
    if (asc_begins(line, "Face list")) {
      p->index = 0;
      p->state = p->object->face_count > 0 ? ASC_IN_FACES : ASC_DONE;
    }
    break;
  case ASC_IN_FACES:
    if (asc_begins(line, "Face"))
      asc_face_line(p, line);
    break;
  default:
    break;
  }
}

// Runs the state machine over the text, one line of at most ASC_LINE_SIZE
// characters at a time (a longer line goes on as the next one).
void asc_parse_text(asc_parse* p, const char* text, int32_t size) {
  char line[ASC_LINE_SIZE + 1];
  int32_t at = 0;
  while (at < size && !p->failed && p->state != ASC_DONE) {
    int32_t n = 0;
    while (at < size && n < ASC_LINE_SIZE && text[at] != '\n')
      line[n++] = text[at++];
    if (at < size && text[at] == '\n')
      at++;
    if (n > 0 && line[n - 1] == '\r')
      n--;
    line[n] = 0;
    asc_line(p, line, size);
  }
}

// Fails the load; the file at fault is noted for the show's failure line.
asc_object* asc_fail(int32_t code, asc_object* o, const char* path) {
  asc_error = code;
  if (path)
    vfs_note_failure(path, asc_error_text());
  asc_free(o);
  return nullptr;
}

// Reads exactly ASC_TABLE_SIZE bytes from a binary file into a new block.
int32_t asc_read_table(const char* path, uint8_t** out) {
  int32_t size = 0;
  uint8_t* data = scene_read_file(path, "rb", &size);
  if (!data)
    return ASC_ERROR_OPEN;
  if (size < ASC_TABLE_SIZE) {
    std::free(data);
    return ASC_ERROR_FORMAT;
  }
  *out = data;
  return ASC_ERROR_NONE;
}

// Each byte k becomes 3k - 128.
int32_t asc_read_phong(asc_object* o, const char* path) {
  uint8_t* bytes = nullptr;
  const int32_t code = asc_read_table(path, &bytes);
  if (code != ASC_ERROR_NONE)
    return code;
  o->phong = static_cast<int16_t*>(std::malloc(ASC_TABLE_SIZE * sizeof(int16_t)));
  if (o->phong)
    for (int32_t i = 0; i < ASC_TABLE_SIZE; i++)
      o->phong[i] = int16_t(3 * int32_t(bytes[i]) - 128);
  std::free(bytes);
  return o->phong ? ASC_ERROR_NONE : ASC_ERROR_MEMORY;
}

// A 256 x 256 height map, halved, into slope maps: the difference of the two
// neighbours biased by 128, and 128 on the border.
int32_t asc_read_heights(asc_object* o, const char* path) {
  constexpr int32_t N = 256;
  constexpr uint8_t FLAT = 128;
  uint8_t* h = nullptr;
  const int32_t code = asc_read_table(path, &h);
  if (code != ASC_ERROR_NONE)
    return code;
  o->bump_dx = static_cast<uint8_t*>(std::malloc(ASC_TABLE_SIZE));
  o->bump_dy = static_cast<uint8_t*>(std::malloc(ASC_TABLE_SIZE));
  if (o->bump_dx && o->bump_dy) {
    for (int32_t i = 0; i < ASC_TABLE_SIZE; i++)
      h[i] = uint8_t(h[i] >> 1);
    for (int32_t y = 0; y < N; y++)
      for (int32_t x = 0; x < N; x++) {
        const int32_t i = y * N + x;
        o->bump_dx[i] = x == 0 || x == N - 1 ? FLAT : uint8_t(h[i + 1] - h[i - 1] - FLAT);
        o->bump_dy[i] = y == 0 || y == N - 1 ? FLAT : uint8_t(h[i + N] - h[i - N] - FLAT);
      }
  }
  std::free(h);
  return o->bump_dx && o->bump_dy ? ASC_ERROR_NONE : ASC_ERROR_MEMORY;
}

} // namespace

asc_object* asc_load(const char* path, const char* phong_path, const char* height_path, int32_t mode) {
  int32_t size = 0;
  char* text = path ? reinterpret_cast<char*>(scene_read_file(path, "rt", &size)) : nullptr;
  if (!text)
    return asc_fail(ASC_ERROR_OPEN, nullptr, path);
  asc_parse p = {};
  p.mode = mode;
  asc_parse_text(&p, text, size);
  std::free(text);
  asc_object* o = p.object;
  if (p.failed)
    return asc_fail(p.failed, o, path);
  if (!o || p.state != ASC_DONE)
    return asc_fail(ASC_ERROR_FORMAT, o, path);
  o->work = static_cast<float*>(std::calloc(ASC_WORK_FLOATS, sizeof(float)));
  if (!o->work)
    return asc_fail(ASC_ERROR_MEMORY, o, path);
  if (phong_path) {
    const int32_t code = asc_read_phong(o, phong_path);
    if (code != ASC_ERROR_NONE)
      return asc_fail(code, o, phong_path);
  }
  if (height_path) {
    const int32_t code = asc_read_heights(o, height_path);
    if (code != ASC_ERROR_NONE)
      return asc_fail(code, o, height_path);
  }
  o->visible = 1;
  o->object_type = ASC_OBJECT_PLAIN;
  o->faces_visible = o->face_count;
  for (int32_t i = 0; i < 9; i++)
    o->orientation[i] = i % 4 == 0 ? 1.0f : 0.0f;
  return o;
}

void asc_free(asc_object* object) {
  if (!object)
    return;
  std::free(object->vertices);
  std::free(object->faces);
  std::free(object->work);
  std::free(object->phong);
  std::free(object->bump_dx);
  std::free(object->bump_dy);
  std::free(object);
}
