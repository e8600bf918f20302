// ASCII scene reader: a keyword text of "*KEYWORD values" lines and brace
// blocks, read into a tree of materials, cameras, geometry objects, helper
// objects and groups with their node transforms, meshes, texture coordinates
// and keyframe tracks.
#pragma once

#include "vec3.h"

#include <cstdint>

struct ase_map {
  uint32_t flags; // 1 name, 2 bitmap, 4 uvw_angle
  char* name;
  float uvw_angle;
  char* bitmap; // picture path, joined with the texture folder
};

struct ase_material {
  uint32_t flags; // 1 name, 2 diffuse_map
  int32_t index;
  char* name;
  ase_map diffuse_map;
};

struct ase_node_tm {
  uint32_t flags; // 0x1 name, 0x2..0x10 rows, 0x20 pos, 0x40 rot_axis, 0x80 rot_angle, 0x100 scale,
                  // 0x200 scale_axis, 0x400 scale_axis_angle
  char* name;
  vec3 row0;
  vec3 row1;
  vec3 row2;
  vec3 row3;
  vec3 pos;
  vec3 rot_axis;
  float rot_angle;
  vec3 scale;
  vec3 scale_axis;
  float scale_axis_angle;
};

struct ase_key {
  int32_t frame;
  int32_t value_count;
  float* values;
};

// Numbers after the frame of each kind of key.
constexpr int32_t ASE_POS_KEY_VALUES = 10;
constexpr int32_t ASE_ROT_KEY_VALUES = 9;
constexpr int32_t ASE_SCALE_KEY_VALUES = 14;

struct ase_tm_animation {
  uint32_t flags; // 1 name
  char* name;
  int32_t pos_key_count;
  int32_t rot_key_count;
  int32_t scale_key_count;
  ase_key* pos_keys;
  ase_key* rot_keys;
  ase_key* scale_keys;
};

struct ase_camera {
  uint32_t flags; // 1 type, 2 name, 4 node_tm, 8 tm_animation
  int32_t type;
  char* name;
  ase_node_tm* node_tm;
  ase_tm_animation* tm_animation;
};

// Face edge flags.
enum : int32_t {
  ASE_EDGE_AB = 1,
  ASE_EDGE_BC = 2,
  ASE_EDGE_CA = 4,
};

struct ase_face {
  int32_t edges; // ASE_EDGE_*
  int32_t index[3];
};

struct ase_mesh {
  int32_t vertex_count;
  int32_t face_count;
  int32_t tvertex_count;
  int32_t tvface_count;
  vec3* vertices;
  ase_face* faces;
  vec3* tvertices; // u, v, w
  int32_t (*tvfaces)[3];
};

struct ase_geom {
  uint32_t flags; // 0x1 name, 0x2 parent, 0x4 node_tm, 0x8 tm_animation, 0x10 mesh, 0x20 material_ref
  char* name;
  char* parent;
  ase_node_tm* node_tm;
  ase_tm_animation* tm_animation;
  ase_mesh* mesh;
  int32_t material_ref;
};

struct ase_helper {
  uint32_t flags; // 0x1 name, 0x2 class, 0x4 bbox_min, 0x8 bbox_max, 0x10 node_tm, 0x20 tm_animation
  char* name;
  int32_t reserved;
  vec3 bbox_min;
  vec3 bbox_max;
  ase_node_tm* node_tm;
  ase_tm_animation* tm_animation;
};

struct ase_group {
  uint32_t flags; // 1 name
  char* name;
  int32_t helper_count;
  int32_t geom_count;
  int32_t group_count;
  ase_helper** helpers;
  ase_geom** geoms;
  ase_group** groups;
};

struct ase_scene {
  int32_t info[5]; // scene information: 0, 0, 0, 30, 1 (the file's own is skipped)
  int32_t material_count;
  int32_t camera_count;
  int32_t geom_count;
  int32_t helper_count;
  int32_t group_count;
  ase_material** materials;
  ase_camera** cameras;
  ase_geom** geoms;
  ase_helper** helpers;
  ase_group** groups;
};

// Groups nest at most this deep; deeper files are refused.
constexpr int32_t ASE_MAX_GROUP_DEPTH = 64;

// Reads the scene at path; bitmap paths are joined with texture_dir. Progress
// lines beginning "Read " go to standard output. None when the file cannot be
// read, memory runs out, a block ends with the text, or a mesh is malformed
// (a list before its count, an index outside its list).
ase_scene* ase_load(const char* path, const char* texture_dir);
// Releases the scene and every record it holds.
void ase_scene_free(ase_scene* scene);
