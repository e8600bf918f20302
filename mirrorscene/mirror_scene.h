// The mirror-scene engine's model: its own picture record with an optional
// depth buffer, double-precision objects read from 3D Studio ASCII files, and
// the scene record that holds objects, cameras, particle emitters, lens
// flares and image maps. Separate from the render context of engine3d; its
// memory comes from the standard allocator, never from the memory helpers.
#pragma once

#include <cstdint>

struct emitter;

// rgb_image_create flags.
enum : uint32_t {
  RGB_IMAGE_CLEAR = 1, // every pixel 0
  RGB_IMAGE_DEPTH = 2, // with a depth buffer filled with RGB_IMAGE_FAR
};
constexpr int32_t RGB_IMAGE_FAR = 0xFFFFFF;
// The largest picture the engine makes (as many pixels as a pixmap may hold).
constexpr int64_t RGB_IMAGE_MAX_PIXELS = 0x7FFFFFFF / 4;

// The engine's picture: 32-bit pixels with the bytes red, green, blue, 0 in
// memory order (the pixmap layout).
struct rgb_image {
  int32_t width;
  int32_t height;
  int32_t spare;
  int32_t* zbuffer; // width * height depths (larger is nearer), or none
  uint32_t* pixels; // width * height, top row first
  int32_t tag;      // 0 when made by the PCX reader
};

// Drawing modes of an object, given by the loader's caller.
constexpr int32_t ASC_MODE_TEXTURE = 'k';     // texture-mapped from the file's coordinates
constexpr int32_t ASC_MODE_ENVIRONMENT = 'p'; // environment-mapped from the camera-space normals
constexpr int32_t ASC_MODE_NORMALS = 'm';     // not drawn, but gets its normals turned

// Object types.
constexpr int32_t ASC_OBJECT_PLAIN = 1000;
constexpr int32_t ASC_OBJECT_HIDDEN = 1001; // faces never drawn

constexpr int32_t ASC_NAME_SIZE = 51; // 50 characters and the terminator
constexpr int32_t ASC_LINE_SIZE = 100;
constexpr int32_t ASC_TABLE_SIZE = 65536; // entries of the phong table and the slope maps
constexpr int32_t ASC_WORK_FLOATS = 256;  // the renderer's 1024-byte work area

// Offset of the object-to-camera matrix in an object's work area.
constexpr int32_t ASC_WORK_VIEW = 0;

struct asc_vertex {
  double x, y, z;
  double cx, cy, cz; // camera space, written by the renderer
  double nx, ny, nz;
  double cnx, cny, cnz; // camera-space normal
  float sx, sy;         // screen position
  float u, v;
};

struct asc_face {
  int32_t visible; // front-facing this frame
  int32_t ia, ib, ic;
  double nx, ny, nz;
  double fnx, fny, fnz; // the normal rounded to single precision
  int32_t spare[2];
};

struct asc_object {
  char name[ASC_NAME_SIZE];
  int32_t mode;
  int32_t object_type;
  int32_t spare1;
  double position[3];
  int32_t visible;
  int32_t vertex_count;
  int32_t face_count;
  int32_t faces_visible;
  int32_t imagemap;
  float radius;
  float orientation[9];
  int32_t spare2;
  double angles[3];
  asc_vertex* vertices;
  asc_face* faces;
  float* work;      // ASC_WORK_FLOATS floats
  int16_t* phong;   // ASC_TABLE_SIZE values, or none
  uint8_t* bump_dx; // ASC_TABLE_SIZE bytes, or none
  uint8_t* bump_dy; // ASC_TABLE_SIZE bytes, or none
};

struct scene_camera {
  float matrix[9];
  int32_t spare;
  double pitch, yaw, roll;
  double eye[3];
  double target[3];
  double roll_input;
};

struct lens_flare {
  int32_t element_count;
  int32_t* images; // image-map index of each element
  int32_t margin;  // pixels beyond the target where the source still shows
  float* offsets;  // place of each element on the line through the screen centre
  int32_t size;    // sprite scale
  int32_t spare;
  double position[3];
};

// Records the hall does not use; kept at their sizes.
struct scene_mirror {
  int32_t words[8];
};
struct scene_tv {
  int32_t words[8];
};
struct omni_light {
  int32_t words[8];
};
struct spot_light {
  int32_t words[14];
};

// One entry of the face list the no-depth drawing path sorts.
struct scene_face_ref {
  int32_t object;
  int32_t face;
  float depth;
};

struct mirror_scene {
  int32_t object_count;
  int32_t camera_count;
  int32_t mother_count;
  int32_t mirror_count;
  int32_t tv_count;
  int32_t omni_count;
  int32_t spot_count;
  int32_t flare_count;
  int32_t imagemap_count;
  int32_t camera; // the active camera
  int32_t total_faces;
  int32_t camera_copy; // a second copy of the active camera's index, not read
  rgb_image** imagemaps;
  asc_object** objects;
  scene_camera** cameras;
  emitter** mothers;
  scene_mirror** mirrors;
  scene_tv** tvs;
  lens_flare** flares;
  omni_light** omnis;
  spot_light** spots;
  scene_face_ref* face_buffer;
  int32_t face_buffer_size; // entries in face_buffer
};

// Error codes. Each module keeps its last code; the texts do not reset it.
enum : int32_t {
  SCENE_ERROR_NONE = 0,
  SCENE_ERROR_NO_CAMERA = 3,
  SCENE_ERROR_OBJECTS = 4,
  SCENE_ERROR_CAMERAS = 5,
  SCENE_ERROR_IMAGEMAPS = 6,
  SCENE_ERROR_MOTHERS = 7,
  SCENE_ERROR_MIRRORS = 8,
  SCENE_ERROR_TVS = 9,
  SCENE_ERROR_FLARES = 10,
  SCENE_ERROR_OMNIS = 11,
  SCENE_ERROR_SPOTS = 12,
  SCENE_ERROR_CAMERA = 13,
  SCENE_ERROR_MIRROR = 14,
  SCENE_ERROR_TV = 15,
  SCENE_ERROR_FLARE = 16,
  SCENE_ERROR_OMNI = 17,
  SCENE_ERROR_SPOT = 18,
  SCENE_ERROR_UNKNOWN = 255,
};
enum : int32_t {
  PARTICLE_ERROR_NONE = 0,
  PARTICLE_ERROR_OPEN = 1,
  PARTICLE_ERROR_MEMORY = 2,
  PARTICLE_ERROR_SHADES = 3,
  PARTICLE_ERROR_UNKNOWN = 255,
};
enum : int32_t {
  ASC_ERROR_NONE = 0,
  ASC_ERROR_OPEN = 1,
  ASC_ERROR_MEMORY = 2,
  ASC_ERROR_FORMAT = 3, // malformed or truncated file ("Other" error)
};
enum : int32_t {
  PCX24_ERROR_NONE = 0,
  PCX24_ERROR_OPEN = 1,
  PCX24_ERROR_MEMORY = 2,
  PCX24_ERROR_DATA = 3,
  PCX24_ERROR_VERSION = 4,
  PCX24_ERROR_NAME = 5,
};

extern int32_t scene_error;
extern int32_t particle_error;
extern int32_t asc_error;
extern int32_t pcx24_error;

const char* scene_error_text();
const char* particle_error_text();
const char* asc_error_text();
const char* pcx24_error_text();

// A new picture, or none for a size that is not positive or too large.
rgb_image* rgb_image_create(int32_t width, int32_t height, uint32_t flags);
// Releases the picture with its depth buffer (a shared buffer must be taken
// off the picture first).
void rgb_image_free(rgb_image* image);

// Reads a 24-bit, three-plane PCX file. None with pcx24_error set.
rgb_image* pcx24_load(const char* path);

// Reads the first object of a 3D Studio ASCII file, with the lighting table
// and the height map when their paths are given. None with asc_error set.
asc_object* asc_load(const char* path, const char* phong_path, const char* height_path, int32_t mode);
void asc_free(asc_object* object);
// Moves the object so that its bounding box's centre is at the origin.
void asc_center(asc_object* object);
// Scales the object so that its farthest vertex is at distance r.
void asc_scale_to_radius(asc_object* object, double r);
// Face and vertex normals.
void asc_compute_normals(asc_object* object);
// Sets radius to the farthest vertex's distance from the origin.
void asc_bounding_radius(asc_object* object);

// Allocates the arrays of a scene whose counts are filled in, and its camera,
// mirror, TV, flare and light records. 1, or 0 with scene_error set and
// nothing left allocated.
int32_t mirror_scene_alloc(mirror_scene* scene);
// Allocates the element arrays of a flare (released with the scene). 1, or 0.
int32_t lens_flare_alloc(lens_flare* flare, int32_t elements);
// Allocates the face list for total_faces entries. 1, or 0.
int32_t mirror_scene_alloc_faces(mirror_scene* scene);
// Releases the arrays and records mirror_scene_alloc made and the face list.
// The objects, emitters and image maps belong to whoever filled them in.
void mirror_scene_free(mirror_scene* scene);
