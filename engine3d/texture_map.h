// Texture coordinates from LightWave's projections: planar, cylindrical and
// spherical image maps, and our own "cubic" map. One table of mapping entries,
// indexed by surface, is filled by the object reader.
#pragma once

#include "vec3.h"

#include <cstdint>

enum : int32_t {
  TEXTURE_MAP_NONE = 0,
  TEXTURE_MAP_PLANAR = 1,
  TEXTURE_MAP_SPHERICAL = 2,
  TEXTURE_MAP_CYLINDRICAL = 3,
  TEXTURE_MAP_CUBIC = 4,
  TEXTURE_MAP_REFLECTION = 5,
};

enum : int32_t {
  TEXTURE_AXIS_X = 0,
  TEXTURE_AXIS_Y = 1,
  TEXTURE_AXIS_Z = 2,
};

struct texture_mapping_entry {
  int32_t type; // TEXTURE_MAP_*
  int32_t axis; // TEXTURE_AXIS_*
  vec3 size;
  vec3 center;
  float width_tiling;
  float height_tiling;
};

constexpr int32_t TEXTURE_MAPPING_ENTRIES = 256;

// One entry per surface index, reset by every object read.
extern texture_mapping_entry texture_mapping[TEXTURE_MAPPING_ENTRIES];

// Every entry back to type none, axis Y, size and center 0, tilings 1.
void texture_mapping_reset();

// The texture coordinates (u, v) of the point (x, y, z) under the entry's
// projection. Returns 1, or 0 (u and v not written) for a type that maps
// nothing. A zero size component counts its quotient as 0 instead of dividing.
int texture_map_point(const texture_mapping_entry* entry, float x, float y, float z, float* u, float* v);

// Heading and pitch of a direction, as the spherical and cylindrical maps use them.
double texture_map_heading(double x, double y, double z);
double texture_map_pitch(double x, double y, double z);
