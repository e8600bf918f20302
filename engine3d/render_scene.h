// A small scene graph of keyframe-animated, texture-mapped objects seen from
// one camera, built from an ASCII scene. Every position, axis and direction
// of the file has its second and third components exchanged, and every
// triangle's corners are taken first, third, second.
#pragma once

#include "mat3.h"
#include "pixmap.h"
#include "polygon.h"
#include "render_context.h"
#include "spline.h"
#include "vec3.h"

#include <cstdint>

enum : int32_t {
  SCENE_NODE_CAMERA = 0,
  SCENE_NODE_OBJECT = 2,
  SCENE_NODE_LAST_TYPE = 4, // types 1, 3 and 4 are accepted but never built
};

// scene_node.flags
constexpr uint32_t SCENE_NODE_HAS_TRACK = 0x4;
// scene_material.flags
constexpr uint32_t SCENE_MATERIAL_PICTURE = 0x4;
// scene_track.type and flags
constexpr int32_t SCENE_TRACK_SPLINE = 1;
constexpr uint32_t SCENE_TRACK_POSITION = 0x1;
constexpr uint32_t SCENE_TRACK_ROTATION = 0x2;

struct scene_material {
  uint32_t flags;
  int32_t reserved1; // -1
  int32_t reserved2; // 255
  int32_t reserved3;
  struct pixmap* pixmap; // owned: the material's picture
  int32_t reserved4[4];
};

struct scene_track {
  int32_t type;
  uint32_t flags;
  int32_t reserved[2];
  double position_value[3];
  double rotation_value[4]; // axis x, y, z, angle
  struct position_spline* position_spline;
  struct rotation_spline* rotation_spline;
};

struct scene_face {
  scene_material* material;
  int32_t index[3];
  int32_t reserved[4];
  struct polygon* polygon; // owned
};

struct scene_node {
  int32_t type;
  uint32_t flags;
  int32_t reserved1[3];
  mat3 matrix; // the node's rotation
  vec3 position;
  scene_track* track; // owned
  int32_t reserved2[2];
  int32_t child_count;
  scene_node** children; // updated after their parent; not owned
  // Camera part.
  mat3 view; // world to camera space
  // Object part.
  float unit; // 1.0
  int32_t reserved3[3];
  int32_t vertex_count;
  int32_t normal_count;
  int32_t face_count;
  vec3* positions;      // owned, object space
  vec3* work_positions; // owned, camera space of the current frame
  vec3* normals;
  vec3* work_normals;
  scene_face** faces; // owned
};

struct render_scene {
  int32_t reserved1[2];
  float time; // in the exported scene's key frame numbers
  int32_t camera_count;
  int32_t reserved2;
  int32_t object_count;
  int32_t reserved3;
  int32_t animated_count;
  int32_t root_count;
  int32_t material_count;
  scene_node** cameras; // owned nodes
  int32_t reserved4;
  scene_node** objects; // owned nodes
  int32_t reserved5;
  scene_node** animated;      // nodes whose tracks are evaluated
  scene_node** roots;         // nodes updated by render_scene_animate
  scene_material** materials; // owned
  int32_t reserved6;
};

// Constructors: records with their creation values, or none on exhausted
// memory (scene_node_create also for a type outside 0 to 4).
render_scene* render_scene_create();
scene_node* scene_node_create(int32_t type);
scene_track* scene_track_create();
scene_material* scene_material_create();
scene_face* scene_face_create();

// List appends: 1, or 0 when the list cannot grow.
int render_scene_add_camera(render_scene* s, scene_node* n);
int render_scene_add_object(render_scene* s, scene_node* n);
int render_scene_add_animated(render_scene* s, scene_node* n);
int render_scene_add_root(render_scene* s, scene_node* n);
int render_scene_add_material(render_scene* s, scene_material* m);

// Reads the scene file and builds its materials (pictures through the JPEG
// reader), objects and first camera. None when the file cannot be read, or
// when an object lacks its mesh or node transform, names a material without
// a picture, or has fewer texture faces than faces.
render_scene* ase_build_scene(const char* path, const char* texture_dir);

// Sets the animation time back to 0.
void render_scene_reset_time(render_scene* s);
// Evaluates every track at the scene's time and updates the root nodes.
void render_scene_animate(render_scene* s);
// Draws every object through the context, seen from the first camera
// (nothing without a camera).
void render_scene_draw(render_scene* s, render_context* k);

// Releases the scene with its nodes, faces, tracks, materials and pictures.
void render_scene_free(render_scene* s);
void scene_node_free(scene_node* n);
void scene_track_free(scene_track* t);
