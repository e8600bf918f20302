// The render context: target pixmap, perspective projection, the side planes
// of the view pyramid and the light list.
#pragma once

#include "light.h"
#include "pixmap.h"
#include "polygon.h"
#include "vec3.h"

#include <cstdint>

struct render_context {
  int32_t tag;    // given at creation, not interpreted
  pixmap* target; // not owned
  vec3 clip_left; // unit normals of the side planes; outside where the dot
  vec3 clip_right;
  vec3 clip_top; // product with an eye-relative point is above 0
  vec3 clip_bottom;
  float focal; // eye at z = -focal, projection plane at z = 0
  float scale_x;
  float scale_y;
  float center_x;
  float center_y;
  float view_width;
  float view_height;
  float depth_min;
  float depth_max;
  polygon* scratch; // owned: each clipped triangle is built here
  light** lights;   // owned array; the lights are not owned
  int32_t light_capacity;
  int32_t light_count;
};

// 0 no error, 1 out of memory, 2 no target or an empty view.
extern int32_t render_context_error;

render_context* render_context_create(int32_t tag, pixmap* target, int32_t view_width, int32_t view_height,
                                      float focal);
void render_context_free(render_context* k);
// 1, or 0 when the list cannot grow (the list is then unchanged).
int render_context_add_light(render_context* k, light* l);
// The message of the error code, which is reset to 0.
const char* render_context_error_text();
