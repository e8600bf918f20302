// LightWave object reader: "FORM"/"LWOB" files (big-endian chunks) into the
// mesh of a mesh object, with one surface record per named surface and the
// colour and reflection pictures the surfaces name.
#pragma once

#include "mesh.h"
#include "pixmap.h"

#include <cstdint>

// mesh_object.flags option: compute texture coordinates once the object is read.
constexpr uint32_t MESH_OBJECT_MAP_TEXTURES = 0x10;

// Surfaces hold at most this many name characters (plus the terminator).
constexpr int32_t LWO_NAME_SIZE = 64;
// Polygons a polygon chunk may keep.
constexpr int32_t LWO_MAX_POLYGONS = 65536;

struct lwo_texture {
  char file_name[LWO_NAME_SIZE]; // base name of the picture
  struct pixmap* pixmap;         // owned; none when it could not be loaded
};

struct lwo_surface {
  char name[LWO_NAME_SIZE];
  uint32_t flags; // polygon flags of the surface's faces
  int32_t reserved1[2];
  uint8_t colour[4];        // red, green, blue, not used
  lwo_texture* texture;     // owned: colour texture
  lwo_texture* env_texture; // owned: reflection picture
  int32_t reserved2[4];
};

// Surface defaults until a surface chunk changes them.
constexpr uint32_t LWO_SURFACE_FLAGS = 0x201;
constexpr uint8_t LWO_SURFACE_GREY = 200;

// Prints the chunk-by-chunk diagnostics when nonzero (off; nothing turns it on).
extern int32_t lwo_verbose;

// Reads the object at path into a new mesh of the object, loading texture
// pictures from texture_dir (with or without a trailing '/'). Progress lines
// go to standard output. Returns the object, or none (its mesh is then none)
// when the file cannot be read or is malformed.
mesh_object* lwo_load(const char* path, const char* texture_dir, mesh_object* object);

// Texture coordinates of every face whose surface has a mapping in
// texture_mapping, as texels of a 256 x 256 texture in the first six floats of
// the face polygon's uv.
void lwo_map_textures(mesh* m);

// Releases the textures and pictures the mesh's surfaces own (the surface
// array itself goes with mesh_free).
void lwo_free_textures(mesh* m);
// Releases an object read by lwo_load with everything it owns.
void lwo_object_free(mesh_object* object);
