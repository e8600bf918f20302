// The mirror scene renderer: one frame of a scene into a picture, in six
// steps that run in this order (they share the per-vertex work fields).
// A fixed lens of 300; depths are 65,536,000 / (z + 700), larger is nearer.
#pragma once

#include "mirror_scene.h"

#include <cstdint>

constexpr double SCENE_LENS = 300.0;
constexpr double SCENE_DEPTH_SCALE = 65536000.0;
constexpr double SCENE_DEPTH_BIAS = 700.0;
// Particles farther than this are not drawn; an emitter farther than
// SCENE_EMITTER_FAR (or behind the eye) is switched inactive.
constexpr double SCENE_PARTICLE_FAR = 50000.0;
constexpr double SCENE_EMITTER_FAR = 3000.0;

// Rotation matrices (m0 .. m8, applied to column vectors).
void scene_rotation_x(double a, float* m);
void scene_rotation_y(double a, float* m);
void scene_rotation_z(double a, float* m);
// out = a * b; out may not be a or b.
void scene_matrix_multiply(const float* a, const float* b, float* out);

// The depth value of camera depth z.
inline double scene_depth(double z) { return SCENE_DEPTH_SCALE / (z + SCENE_DEPTH_BIAS); }

// The steps. An active camera index outside the scene's cameras makes them
// do nothing.
void camera_aim(mirror_scene* scene);
void scene_to_camera(mirror_scene* scene);
void scene_project(mirror_scene* scene, const rgb_image* target);
void scene_cull(mirror_scene* scene);
void scene_normals(mirror_scene* scene);
void scene_draw(mirror_scene* scene, rgb_image* target);
