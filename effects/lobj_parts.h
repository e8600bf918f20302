// The light object's pieces: its meshes and scene, the face set-up done once,
// and the objects drawn every frame (shell, core, beams). Shared by
// lobj*.cpp and the tests.
#pragma once

#include "mat3.h"
#include "mesh.h"
#include "pixmap.h"
#include "render_context.h"
#include "show_context.h"

#include <cstdint>

struct music_clock;

// Polygon flags of the three meshes' faces.
constexpr uint32_t LOBJ_SHELL_FLAGS = POLY_TEXTURE | POLY_EDGE01 | POLY_EDGE12 | POLY_EDGE20;
constexpr uint32_t LOBJ_BEAM_FLAGS = LOBJ_SHELL_FLAGS | POLY_TWO_SIDED | POLY_CUSTOM;
constexpr uint32_t LOBJ_CORE_FLAGS = POLY_SOLID | POLY_EDGE01 | POLY_EDGE12 | POLY_EDGE20;
// Vertex positions are stored at unit size.
constexpr float LOBJ_SCALE = 128.0f;

struct lobj_state {
  show_context* show; // for the diffuse cube's background
  music_clock* clock;
  pixmap* frame;
  pixmap* scene; // rendered here, then blurred into the frame
  render_context* rc;
  pixmap* envmap;
  pixmap* beam_texture;
  pixmap* background; // the diffuse cube's, not owned
  mesh_object* shell;
  mesh_object* source; // the beams' faces
  mesh_object* core;
  float o0, o1, o2; // rotation of all three
  float offset_x, offset_y;
  float alpha, beta, gamma; // drift phases
  float u;                  // beam texture column
  float beam_scale;
  int32_t latch;
  float fade;
  int32_t drawer_selected;
};

// The running effect's state (for the tests).
lobj_state* lobj_get_state();

// Every face index of the mesh names one of its vertices.
bool lobj_mesh_sound(const mesh* m);

// Multiplies every vertex position by s.
void lobj_scale_mesh(mesh* m, float s);

// Face set-up. The shell's faces take texture coordinates from their
// corners' object-space normals (u = 128 + 127 nx, v = 128 + 127 ny).
void lobj_setup_shell(mesh* m, pixmap* envmap);
void lobj_setup_source(mesh* m, pixmap* beam_texture);
void lobj_setup_core(mesh* m);

// Turns the mesh by r, moves it by (dx, dy) and draws every face.
void lobj_draw_mesh(render_context* rc, mesh* m, const mat3* r, float dx, float dy);

// The two edges of a triangle the beams leave from: the two other than its
// longest (ties go to the earlier of P0P1, P1P2, P0P2). Writes the vertex
// pairs (a, b) as corner numbers 0 to 2.
void lobj_beam_edges(const vec3* p0, const vec3* p1, const vec3* p2, int32_t edges[2][2]);

// Turns the beam source like the other meshes and draws two beam quads per
// face, s times as far from the origin at their far end, texture column u.
void lobj_draw_beams(render_context* rc, mesh* m, const mat3* r, float dx, float dy, float s, float u);

// One frame of the objects into the scene pixmap; turns them on by fd ticks.
void lobj_draw_objects(lobj_state* s, float fd);
