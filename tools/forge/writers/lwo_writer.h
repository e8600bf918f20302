// LightWave object writer: "FORM"/"LWOB" files (big-endian chunks) from a
// forge mesh: points, surface names padded to even length, triangles with
// 1-based surface numbers, and one surface chunk per surface with its
// colour, flags and texture sub-chunks.
//
// The forge's axes are right-handed (y up); LightWave's are left-handed (y
// up, z away from the viewer). The writer negates z and lists every
// triangle's corners first, third, second, so the object keeps its look and
// its faces run clockwise seen from outside, as LightWave (and the engine's
// back-face test) want.
#pragma once

#include "forge_mesh.h"

#include <cstdint>
#include <string>
#include <vector>

// "FLAG" bits of a surface.
enum : uint32_t {
  LWO_WRITER_SMOOTH = 0x4,
  LWO_WRITER_DOUBLE_SIDED = 0x100,
};

// A colour texture ("CTEX" with its "TIMG", "TFLG", "TSIZ", "TCTR"). Sizes
// and centre are in the forge's axes, like the mesh.
struct lwo_writer_texture {
  std::string mapping = "Planar Image Map"; // or "Cylindrical ...", "Spherical ...", "Cubic Image Map"
  std::string image;                        // picture path as stored (its base name is what counts)
  int32_t axis = 1;                         // 0 X, 1 Y, 2 Z
  forge_vec3 size = {1, 1, 1};
  forge_vec3 center = {0, 0, 0};
};

struct lwo_writer_surface {
  std::string name;
  uint8_t colour[3] = {200, 200, 200};
  uint32_t flags = 0; // LWO_WRITER_*; no "FLAG" sub-chunk when 0
  bool textured = false;
  lwo_writer_texture texture;
  std::string reflection; // "RIMG" picture path, none when empty
};

// Largest index and polygon count the format (16-bit indices) and the
// object reader take.
constexpr int32_t LWO_WRITER_MAX_POINTS = 65536;
constexpr int32_t LWO_WRITER_MAX_POLYGONS = 65536;

// Replaces out with the file's bytes. 1, or 0 when the mesh is invalid or
// too large, a face names a surface beyond the list, or a surface name is
// empty or repeated.
int write_lwo(const forge_mesh* m, const std::vector<lwo_writer_surface>& surfaces, std::vector<uint8_t>* out);
