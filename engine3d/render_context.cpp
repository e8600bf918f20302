#include "render_context.h"

#include "mem.h"

#include <bit>

int32_t render_context_error = 0;

static constexpr int32_t RENDER_CONTEXT_FIRST_LIGHTS = 32;

render_context* render_context_create(int32_t tag, pixmap* target, int32_t view_width, int32_t view_height,
                                      float focal) {
  // Without a target or with an empty view nothing could be projected (the
  // scales would divide by zero): refused with the unspecific error code.
  if (!target || view_width <= 0 || view_height <= 0) {
    render_context_error = 2;
    return nullptr;
  }
  render_context* k = mem_alloc_array<render_context>(1);
  light** lights = k ? mem_alloc_array<light*>(RENDER_CONTEXT_FIRST_LIGHTS) : nullptr;
  polygon* scratch = lights ? polygon_create() : nullptr;
  if (!scratch) {
    polygon_free(scratch);
    if (lights)
      mem_free(lights);
    if (k)
      mem_free(k);
    render_context_error = 1;
    return nullptr;
  }
  k->tag = tag;
  k->target = target;
  k->lights = lights;
  k->scratch = scratch;
  k->light_capacity = RENDER_CONTEXT_FIRST_LIGHTS;
  k->light_count = 0;
  k->depth_min = 0;
  k->depth_max = std::bit_cast<float>(0x7F7FFFFFu);
  k->view_width = float(view_width);
  k->view_height = float(view_height);
  k->focal = focal;
  k->center_x = float(target->width) * 0.5f;
  k->center_y = float(target->height) * 0.5f;
  k->scale_x = focal * (float(target->width) / k->view_width);
  k->scale_y = focal * (float(target->height) / k->view_height);
  // The planes pass through the eye; the half unit puts them just inside the
  // screen edges so that clipped geometry projects strictly inside the target.
  const float d = focal + 0.5f, w = k->view_width, h = k->view_height;
  k->clip_left = {-d, 0, -w / 2};
  k->clip_right = {d, 0, -w / 2};
  k->clip_top = {0, d, -h / 2};
  k->clip_bottom = {0, -d, -h / 2};
  vec3_normalize(&k->clip_left, &k->clip_left);
  vec3_normalize(&k->clip_right, &k->clip_right);
  vec3_normalize(&k->clip_top, &k->clip_top);
  vec3_normalize(&k->clip_bottom, &k->clip_bottom);
  return k;
}

void render_context_free(render_context* k) {
  if (!k)
    return;
  polygon_free(k->scratch);
  mem_free(k->lights);
  mem_free(k);
}

int render_context_add_light(render_context* k, light* l) {
  if (k->light_count >= k->light_capacity) {
    if (k->light_capacity > INT32_MAX / 2) {
      render_context_error = 1;
      return 0;
    }
    const int32_t capacity = k->light_capacity * 2;
    auto* grown = static_cast<light**>(mem_realloc(k->lights, size_t(capacity) * sizeof(light*)));
    if (!grown) {
      render_context_error = 1;
      return 0;
    }
    k->lights = grown;
    k->light_capacity = capacity;
  }
  k->lights[k->light_count++] = l;
  return 1;
}

const char* render_context_error_text() {
  const int32_t code = render_context_error;
  render_context_error = 0;
  switch (code) {
  case 0:
    return "No error, so far...";
  case 1:
    return "No memory available";
  default:
    return "Ambiguous error...";
  }
}
