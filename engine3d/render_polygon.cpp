#include "render_polygon.h"

#include "polygondrawer.h"
#include "raster.h"

#include <bit>

namespace {
// The single-precision constant the centroid is scaled by (not an exact third).
const float CENTROID_THIRD = std::bit_cast<float>(0x3EAAAA3Bu);

// Sum of every light's contribution at p with normal n, limited to 255 above.
float light_sum(const render_context* k, const vec3* p, const vec3* n) {
  float sum = 0;
  for (int32_t i = 0; i < k->light_count; i++) {
    if (k->lights[i])
      sum += light_intensity(k->lights[i], p, n);
  }
  // Not limited below; a sum that is not a number (from non-finite light data) gives no light.
  if (sum != sum)
    return 0;
  return sum > 255 ? 255.0f : sum;
}

void project(const render_context* k, vec3* v) {
  const float q = 1.0f / (k->focal + v->z);
  v->x = k->scale_x * q * v->x + k->center_x;
  v->y = k->center_y - q * (v->y * k->scale_y);
}

inline float dot3(const vec3* n, const float* p) { return n->x * p[0] + n->y * p[1] + n->z * p[2]; }

// Every vertex strictly inside the plane (the clip keeps such a polygon as it is).
bool polygon_inside_plane(const float* in, int32_t count, int32_t size, const vec3* n) {
  for (int32_t i = 0; i < count; i++)
    if (!(dot3(n, in + i * size) < 0))
      return false;
  return true;
}
} // namespace

int32_t clip_polygon_plane(const float* in, int32_t count, int32_t size, const vec3* n, float* out) {
  int32_t produced = 0;
  auto emit = [&](const float* a) {
    for (int32_t i = 0; i < size; i++)
      out[produced * size + i] = a[i];
    produced++;
  };
  auto emit_between = [&](const float* a, const float* b, float t) {
    for (int32_t i = 0; i < size; i++)
      out[produced * size + i] = a[i] + t * (b[i] - a[i]);
    produced++;
  };
  for (int32_t e = 0; e < count; e++) {
    const float* a = in + e * size;
    const float* b = in + ((e + 1) % count) * size;
    const float da = dot3(n, a), db = dot3(n, b);
    const float diff[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const float along = dot3(n, diff);
    if (db > da) {
      if (db >= 0 && da > 0)
        continue; // both outside
      emit(a);
      // a inside, b outside or on the plane: the crossing follows a.
      if (db >= 0 && along != 0)
        emit_between(a, b, -da / along);
    } else {
      if (da >= 0 && db > 0)
        continue; // both outside
      // a outside or on the plane, b inside: the crossing replaces a. An edge
      // lying in the plane (or too short to cross it) is kept unchanged.
      if (da >= 0 && along != 0)
        emit_between(a, b, -da / along);
      else
        emit(a);
    }
  }
  return produced;
}

void render_polygon(render_context* k, polygon* p) {
  const float focal = k->focal;
  if (p->v[0].z < -focal && p->v[1].z < -focal && p->v[2].z < -focal)
    return;

  const uint32_t flags = p->flags;
  const bool gouraud = (flags & (POLY_FLAT_LIT | POLY_GOURAUD)) == POLY_GOURAUD;
  if ((flags & (POLY_FLAT_LIT | POLY_GOURAUD)) == POLY_FLAT_LIT) {
    vec3 m;
    vec3_add(&m, &p->v[1], &p->v[2]);
    vec3_add(&m, &p->v[0], &m);
    vec3_scale(&m, CENTROID_THIRD, &m);
    p->shade = raster_trunc(light_sum(k, &m, &p->normal));
  } else if (gouraud) {
    for (int i = 0; i < 3; i++)
      p->vertex_shade[i] = raster_trunc(light_sum(k, &p->v[i], &p->n[i]));
  }

  // Clip vertices: x, y, z + focal, a texture pair per layer, then with
  // Gouraud shading the intensity. The layer count is limited to what the
  // coordinate array holds.
  int32_t layers = (p->uv_count + 5) / 6;
  layers = layers < 0 ? 0 : layers > POLY_MAX_LAYERS ? POLY_MAX_LAYERS : layers;
  const int32_t shade_at = 3 + 2 * layers;
  const int32_t size = shade_at + (gouraud ? 1 : 0);
  float buffers[2][CLIP_MAX_VERTICES * CLIP_MAX_FLOATS];
  float* in = buffers[0];
  for (int i = 0; i < 3; i++) {
    float* q = in + i * size;
    q[0] = p->v[i].x;
    q[1] = p->v[i].y;
    q[2] = p->v[i].z + focal;
    for (int32_t j = 0; j < layers; j++) {
      q[3 + 2 * j] = p->uv[6 * j + 2 * i];
      q[4 + 2 * j] = p->uv[6 * j + 2 * i + 1];
    }
    if (gouraud)
      q[shade_at] = float(p->vertex_shade[i]);
  }
  int32_t count = 3;
  const vec3* planes[4] = {&k->clip_left, &k->clip_right, &k->clip_top, &k->clip_bottom};
  for (const vec3* plane : planes) {
    // A polygon wholly inside the plane comes out of the clip unchanged.
    if (polygon_inside_plane(in, count, size, plane))
      continue;
    float* out = in == buffers[0] ? buffers[1] : buffers[0];
    count = clip_polygon_plane(in, count, size, plane, out);
    if (count < 3)
      return;
    in = out;
  }
  // A vertex at the eye cannot be projected; a polygon through the eye is
  // seen edge-on and covers no area, so nothing is drawn.
  for (int32_t i = 0; i < count; i++) {
    if (!(in[i * size + 2] > 0))
      return;
  }

  polygon* s = k->scratch;
  s->drawer = p->drawer;
  s->flags = p->flags;
  s->colour = p->colour;
  s->aux = p->aux;
  s->shade = p->shade;
  s->aux2 = p->aux2;
  s->stride = p->stride;
  s->uv_count = p->uv_count;
  for (int j = 0; j < POLY_MAX_LAYERS; j++) {
    s->texture[j] = p->texture[j];
    s->layer[j] = p->layer[j];
  }

  // Takes clip vertex q into scratch vertex slot i and projects it.
  auto take = [&](int slot, const float* q) {
    s->v[slot] = {q[0], q[1], q[2] - focal};
    for (int32_t j = 0; j < layers; j++) {
      s->uv[6 * j + 2 * slot] = q[3 + 2 * j];
      s->uv[6 * j + 2 * slot + 1] = q[4 + 2 * j];
    }
    if (gouraud)
      s->vertex_shade[slot] = raster_trunc(q[shade_at]);
    project(k, &s->v[slot]);
  };
  take(0, in);
  take(1, in + size);
  for (int32_t i = 2; i < count; i++) {
    take(2, in + i * size);
    draw_triangle(s, k->target);
    // The newest vertex becomes the middle one of the next fan triangle.
    s->v[1] = s->v[2];
    s->vertex_shade[1] = s->vertex_shade[2];
    for (int32_t j = 0; j < layers; j++) {
      s->uv[6 * j + 2] = s->uv[6 * j + 4];
      s->uv[6 * j + 3] = s->uv[6 * j + 5];
    }
  }
}
