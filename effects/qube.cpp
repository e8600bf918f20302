// The qube: a textured cube rises in front of the net and tumbles; its
// texture holds a shrunken copy of the previous picture, so the picture
// repeats inside itself; a flare burns at every corner, and the whole is
// smeared into the frame by a weighted radial blur from one corner. Near
// the end the cube drifts up and out while the blur fades. Ends at order 28.
#include "qube.h"

#include "blend.h"
#include "gif.h"
#include "jpeg.h"
#include "mat3.h"
#include "music.h"
#include "net.h"
#include "picture_fit.h"
#include "polygondrawer.h"
#include "qube_parts.h"
#include "render_polygon.h"
#include "timeline.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float QUBE_DEPTH = 160.0f;
constexpr int32_t QUBE_FLARE_SIZE = 64;

const vec3 qube_corners[8] = {{-80, 80, 80},  {80, 80, 80},  {80, -80, 80},  {-80, -80, 80},
                              {-80, 80, -80}, {80, 80, -80}, {80, -80, -80}, {-80, -80, -80}};
// The twelve triangles (v[0], v[1], v[2]); the odd ones use triangle A.
const int32_t qube_triangles[12][3] = {{1, 0, 3}, {3, 2, 1}, {7, 4, 5}, {5, 6, 7}, {0, 1, 5}, {5, 4, 0},
                                       {7, 6, 2}, {2, 3, 7}, {5, 1, 2}, {2, 6, 5}, {3, 0, 4}, {4, 7, 3}};

qube_state qube;

void qube_release() {
  qube_state& s = qube;
  for (pixmap* p : {s.work, s.flare, s.texture})
    if (p)
      pixmap_free(p);
  if (s.context)
    render_context_free(s.context);
  for (polygon* p : s.triangle)
    if (p)
      polygon_free(p);
  s = qube_state{};
}

polygon* qube_triangle(pixmap* texture, const float* uv) {
  polygon* p = polygon_create();
  if (!p)
    return nullptr;
  p->flags = QUBE_POLY_FLAGS;
  p->stride = 5;
  p->texture[0] = texture;
  p->layer[0] = 0;
  p->uv_count = 6;
  for (int32_t k = 0; k < 6; k++)
    p->uv[k] = uv[k];
  return p;
}

int qube_load(qube_state& s) {
  s.work = pixmap_create(320, 240, PIXMAP_CLEAR);
  if (!s.work)
    return 0;
  s.context = render_context_create(0, s.work, 320, 240, 400.0f);
  if (!s.context)
    return 0;
  s.flare = gif_load("data/qube/flare2.gif");
  if (!s.flare)
    return 0;
  // The feedback writes up to (223, 223); the drawer reads 256 x 256.
  s.texture =
      picture_fit(jpeg_load("data/qube/envmap.jpg"), "data/qube/envmap.jpg", QUBE_TEXTURE_SIDE, QUBE_TEXTURE_SIDE);
  if (!s.texture)
    return 0;
  s.q1 = s.q2 = 0.0f;
  const float uv_a[6] = {255, 0, 0, 0, 0, 255}, uv_b[6] = {0, 255, 255, 255, 255, 0};
  s.triangle[0] = qube_triangle(s.texture, uv_a);
  s.triangle[1] = qube_triangle(s.texture, uv_b);
  return s.triangle[0] && s.triangle[1];
}
} // namespace

qube_state* qube_get_state() { return &qube; }

void qube_feedback(pixmap* texture, const pixmap* source) {
  if (texture->width < QUBE_INSET + QUBE_INSET_SIDE || texture->height < QUBE_INSET + QUBE_INSET_SIDE ||
      source->width <= 0 || source->height <= 0)
    return;
  const int64_t step_x = (int64_t(source->width) * 65536) / QUBE_INSET_SIDE;
  const float step_y = float(source->height) / float(QUBE_INSET_SIDE);
  float at_y = 0.0f;
  for (int32_t i = 0; i < QUBE_INSET_SIDE; i++, at_y += step_y) {
    const uint32_t* in = source->pixels + source->rows[std::min(source->height - 1, int32_t(at_y))];
    uint32_t* out = texture->pixels + texture->rows[QUBE_INSET + i] + QUBE_INSET;
    int64_t at_x = 0;
    for (int32_t j = 0; j < QUBE_INSET_SIDE; j++, at_x += step_x)
      out[j] = in[at_x >> 16];
  }
}

void qube_draw_cube(qube_state* s, pixmap* p) {
  mat3 m;
  mat3_rotation_xyz(&m, s->q0, s->q1, s->q2);
  mat3_transform_array(s->turned, qube_corners, 8, &m);
  for (vec3& v : s->turned) {
    v.y += s->rise;
    v.z += QUBE_DEPTH;
  }
  for (int32_t t = 0; t < 12; t++) {
    polygon* tri = s->triangle[t % 2 ? 0 : 1];
    for (int32_t k = 0; k < 3; k++)
      tri->v[k] = s->turned[qube_triangles[t][k]];
    render_polygon(s->context, tri);
  }
  for (const vec3& v : s->turned)
    add_sprite_scaled(int32_t(v.x + 160.0f), int32_t(120.0f - v.y), p, s->flare, (v.z - QUBE_DEPTH) * 8.0f,
                      QUBE_FLARE_SIZE);
}

void qube_blur_centre(const vec3& corner, int32_t* x, int32_t* y) {
  *x = int32_t(std::clamp(corner.x + 160.0f, 1.0f, 319.0f));
  *y = int32_t(std::clamp(corner.y + 120.0f, 1.0f, 239.0f));
}

int32_t qube_init(show_context* show) {
  qube_release();
  qube_state& s = qube;
  if (!show || !show->clock || !show->frame)
    return 0;
  s.clock = show->clock;
  s.frame = show->frame;
  s.rise = -200.0f;
  if (!qube_load(s)) {
    qube_release();
    return 0;
  }
  return 1;
}

int32_t qube_frame() {
  qube_state& s = qube;
  if (!s.texture)
    return 0; // nothing to show
  const float fd = s.clock->frame_delta;
  if (!s.started) {
    select_polygondrawer(POLYGONDRAWER_FAST);
    s.started = 1;
  }
  qube_feedback(s.texture, s.work);
  net_draw(s.work);
  qube_draw_cube(&s, s.work);

  s.q0 += 0.004908738521234052f * fd;
  s.q1 -= 0.00859029241215959f * fd;
  s.q2 += 0.010391421854181623f * fd;
  s.b1 += 0.012137971616142383f * fd;
  s.b2 += 0.019991953250116865f * fd;
  const uint32_t order = s.clock->order;
  if (order >= 27 && s.clock->row >= 65) {
    s.rise += fd;
    s.blur_fade += 0.001f * fd;
  } else {
    s.rise = std::min(0.0f, s.rise + fd);
  }

  int32_t cx, cy;
  qube_blur_centre(s.turned[0], &cx, &cy);
  const int32_t weight = int32_t(32.0f + 16.0f * std::sin(s.b1));
  const float factor = std::max(0.0f, 0.2f + 0.15f * std::sin(s.b2) - s.blur_fade);
  radial_blur_weighted(s.frame, s.work, float(cx), float(cy), weight, factor);
  return timeline_order_reached(TIMELINE_QUBE, order) ? 0 : 1;
}
