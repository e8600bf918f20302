// The cube of the image cube: eight corners, six faces of two triangles,
// each face playing its picture animation forwards or backwards.
#include "icube_parts.h"

#include "mat3.h"
#include "render_polygon.h"

#include <cmath>

const vec3 icube_corners[8] = {{-80, 80, 80},  {80, 80, 80},  {80, -80, 80},  {-80, -80, 80},
                               {-80, 80, -80}, {80, 80, -80}, {80, -80, -80}, {-80, -80, -80}};

const icube_face icube_faces[ICUBE_FACES] = {
    {{3, 0, 1}, {1, 2, 3}, 1.0f, 0, {255, 0, 0, 0, 0, 255}, {0, 255, 255, 255, 255, 0}},
    {{5, 4, 7}, {7, 6, 5}, -1.0f, 0, {255, 0, 0, 0, 0, 255}, {0, 255, 255, 255, 255, 0}},
    {{5, 1, 0}, {0, 4, 5}, -1.0f, 1, {0, 0, 255, 0, 255, 255}, {255, 255, 0, 255, 0, 0}},
    {{2, 6, 7}, {7, 3, 2}, 1.0f, 1, {0, 0, 255, 0, 255, 255}, {255, 255, 0, 255, 0, 0}},
    {{2, 1, 5}, {5, 6, 2}, 1.0f, 1, {0, 255, 0, 0, 255, 0}, {255, 0, 255, 255, 0, 255}},
    {{4, 0, 3}, {3, 7, 4}, -1.0f, 1, {0, 0, 255, 0, 255, 255}, {255, 255, 0, 255, 0, 0}},
};

int32_t icube_frame_index(float counter) {
  // A counter far beyond the integer range keeps its low bits undefined;
  // any picture will do there.
  if (!(counter > -2.0e9f && counter < 2.0e9f))
    return 0;
  return int32_t(counter) & (ICUBE_FRAMES - 1);
}

void icube_draw_cube(icube_state* s, float fd) {
  const float first = float(std::sin(1.2 * double(s->spin)) * M_PI / 8.0);
  const float third = float(std::cos(double(s->spin)) * M_PI);
  s->spin = float(double(s->spin) + 0.00689226959716128 * double(fd));
  mat3 m;
  mat3_rotation_xyz(&m, first, 0.0f, third);
  vec3 turned[8];
  mat3_transform_array(turned, icube_corners, 8, &m);
  // The cube spans +-320: with the eye 400 in front it reaches past the viewer.
  for (vec3& v : turned)
    v = {v.x * 4.0f, v.y * 4.0f, v.z * 4.0f};
  polygon* a = s->triangle[0];
  polygon* b = s->triangle[1];
  for (int32_t f = 0; f < ICUBE_FACES; f++) {
    const icube_face& face = icube_faces[f];
    pixmap* picture = s->pictures[face.set][icube_frame_index(s->counter[f])];
    a->texture[0] = picture;
    b->texture[0] = picture;
    for (int32_t k = 0; k < 6; k++) {
      a->uv[k] = face.uv_a[k];
      b->uv[k] = face.uv_b[k];
    }
    for (int32_t k = 0; k < 3; k++) {
      a->v[k] = turned[face.a[k]];
      b->v[k] = turned[face.b[k]];
    }
    render_polygon(s->rc, a);
    render_polygon(s->rc, b);
    s->counter[f] += face.speed * fd * s->anim_rate;
  }
  s->anim_rate = float(double(s->anim_rate) * (1.0 + 0.01 * double(fd)));
  if (s->anim_rate > 0.4f)
    s->anim_rate = 0.4f;
}
