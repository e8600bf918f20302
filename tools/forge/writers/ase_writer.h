// ASCII scene writer: scene text of materials with diffuse bitmaps, geometry
// objects with node transforms, meshes with edge flags, texture vertices and
// faces, and a camera with position and rotation tracks.
//
// Everything is given in the forge's right-handed axes (y up). The text is
// in the exporter's axes (z up): a point (x, y, z) is written (x, -z, y).
// The engine reads the text into its own left-handed axes, where the scene
// appears as it was built here, mirrored in z like the LightWave objects;
// rotation angles are written so that the engine turns the scene as the
// forge turned it.
#pragma once

#include "forge_mesh.h"

#include <cstdint>
#include <string>
#include <vector>

struct ase_writer_material {
  std::string name;
  std::string bitmap;  // picture path as stored (the reader keeps its base name)
  float uvw_angle = 0; // turn of the texture coordinates about their centre
};

// An orientation: a turn by angle (radians, right hand) about axis.
struct ase_writer_turn {
  forge_vec3 axis = {0, 1, 0};
  float angle = 0;
};

struct ase_writer_position_key {
  int32_t frame = 0;
  forge_vec3 position;
};

// Rotation keys are absolute orientations here; the text stores each one
// relative to the key before, as the format does.
struct ase_writer_rotation_key {
  int32_t frame = 0;
  ase_writer_turn turn;
};

// The engine's splines run from the second key to the last but one: give a
// track one key more at each end than the path it should follow.
struct ase_writer_tracks {
  std::vector<ase_writer_position_key> positions;
  std::vector<ase_writer_rotation_key> rotations;
};

// A mesh placed in the scene: its vertices are turned and moved by the node
// transform (turn, then position) and written in scene space; its texture
// coordinates come from the corners of its triangles (v runs down the
// picture, as the engine reads it).
struct ase_writer_object {
  std::string name;
  const forge_mesh* mesh = nullptr;
  int32_t material = 0;
  forge_vec3 position;
  ase_writer_turn turn;
  ase_writer_tracks tracks; // none when both lists are empty
};

// A camera looks along its own -z with +y up, turned by its rotation keys.
struct ase_writer_camera {
  std::string name = "Camera01";
  forge_vec3 position;
  ase_writer_turn turn;
  float fov = 0.7854f;
  ase_writer_tracks tracks;
};

struct ase_writer_scene {
  std::string file_name = "scene.max";
  int32_t first_frame = 0;
  int32_t last_frame = 100;
  int32_t frame_speed = 30;
  int32_t ticks_per_frame = 160;
  std::vector<ase_writer_material> materials;
  std::vector<ase_writer_object> objects;
  std::vector<ase_writer_camera> cameras;
};

// Replaces out with the scene text. 1, or 0 when an object has no mesh or an
// invalid one, names a material beyond the list, or a name holds a quote.
int write_ase(const ase_writer_scene* scene, std::string* out);
