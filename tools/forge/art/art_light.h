// Lighting of height fields and environment maps: bump-lit surfaces, chrome
// reflection maps and specular highlight maps.
#pragma once

#include "art_canvas.h"
#include "art_ramp.h"

#include <cstddef>
#include <cstdint>

struct art_vec3 {
  float x = 0, y = 0, z = 0;
};

art_vec3 art_normalise(art_vec3 v);
float art_dot(art_vec3 a, art_vec3 b);

struct art_light_params {
  art_vec3 direction = {-0.5f, -0.6f, 0.62f}; // towards the light; x right, y down, z out of the picture
  art_colour ambient = {0.08f, 0.08f, 0.14f, 1};
  art_colour diffuse = {1, 1, 1, 1};
  art_colour specular = {1, 0.9f, 0.75f, 1};
  float shininess = 24;
  float depth = 4; // height of a field value of 1, in pixels
  bool wrap = false;
};

// Surface normal of a height field at a pixel (central differences).
art_vec3 art_height_normal(const art_field* height, int32_t x, int32_t y, float depth, bool wrap);

// Lights the canvas as a surface of the given heights (same size): each pixel
// becomes colour * (ambient + diffuse * lambert) + specular * highlight.
void art_bump_light(art_canvas* c, const art_field* height, const art_light_params* p);

// A sphere environment map of a chrome world: the reflected direction looks
// up a sky ramp (0 straight up, 0.5 the horizon, 1 straight down), with a
// little noise in the sky and the light's highlight. Fills the whole canvas;
// outside the circle the rim colour continues.
void art_envmap_chrome(art_canvas* c, const art_ramp* sky, const art_light_params* p, uint32_t seed);

// A highlight map for Phong-style environment shading: a diffuse disc with a
// sharp specular spot where the surface faces the light.
void art_specular_map(art_canvas* c, art_colour base, const art_light_params* p);
