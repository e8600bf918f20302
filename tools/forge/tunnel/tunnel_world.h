// The tunnel flight's world: one winding tube swept along a smooth centre
// line, in five sections of their own shape and material (a panelled
// octagonal corridor, a ribbed energy tube, a wide crystal hall, a twisting
// square shaft, and a throat that brightens towards the light at its end),
// and a camera that flies down the centre line, key by key, for the whole
// flight.
#pragma once

#include "ase_writer.h"
#include "forge_mesh.h"

#include <cstdint>
#include <vector>

// The flight's scene time: it starts at this key frame time and runs at up
// to 75 units a 14 ms tick; the camera's keys cover it up to TUNNEL_END_TIME
// (a little beyond the longest flight the song allows) and hold the last
// view after that.
constexpr int32_t TUNNEL_START_TIME = 7500;
constexpr int32_t TUNNEL_END_TIME = 128000;
constexpr int32_t TUNNEL_KEY_STEP = 1500;

// Distance along the centre line.
constexpr float TUNNEL_LENGTH = 4290; // the end cap (a whole number of rings from the first)
constexpr float TUNNEL_BEHIND = 90;   // rings begin this far behind the camera's start
constexpr float TUNNEL_RING_STEP = 30;
constexpr int32_t TUNNEL_SIDES = 16;
constexpr float TUNNEL_CAMERA_END = TUNNEL_LENGTH - 150; // where the camera stops, short of the cap

enum : int32_t {
  TUNNEL_PANELS = 0,
  TUNNEL_RIBS = 1,
  TUNNEL_HALL = 2,
  TUNNEL_SHAFT = 3,
  TUNNEL_THROAT = 4,
  TUNNEL_EXIT = 5, // the end cap
  TUNNEL_MATERIALS = 6,
};

// A point of the centre line with its frame: dir along the tunnel, up and
// right across it (right = dir x up).
struct tunnel_frame {
  float s = 0;
  forge_vec3 centre, dir, up, right;
};

// The centre line from -TUNNEL_BEHIND to TUNNEL_LENGTH in steps of
// TUNNEL_RING_STEP (ring k at s = -TUNNEL_BEHIND + k * step), with frames
// carried along without twist.
void tunnel_centre_line(std::vector<tunnel_frame>* rings);

// The section whose material a ring at s takes.
int32_t tunnel_section_at(float s);

// Distance from the centre line to the wall at s, angle theta in the ring's
// plane (from `right` towards `up`), before the shaft's twist.
float tunnel_wall_radius(float s, float theta);
// The twist of the ring at s (the shaft turns its square along the flight).
float tunnel_twist(float s);
// The smallest wall distance of the ring at s (its inscribed circle).
float tunnel_inner_radius(float s);

// Where the camera is at scene time t (clamped to the flight).
float tunnel_camera_s(double t);

// The whole world: materials (texture files in data/3dscene/), the tube's
// sections and cap as objects, and the camera with its keys. The meshes live
// in `meshes`, which the scene's objects point into.
struct tunnel_world {
  std::vector<forge_mesh> meshes;
  ase_writer_scene scene;
};
// 1, or 0 when a section would be empty.
int tunnel_build_world(tunnel_world* w);

// The texture files the materials name, in material order.
extern const char* const tunnel_texture_names[TUNNEL_MATERIALS];
