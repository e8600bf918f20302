// The mirror hall: an environment-mapped star turns in a textured sphere,
// mirrors around it show the previous frame, particle streams circle it and
// fountains burst from it on the bar, and a lens flare hangs above. The
// scene is drawn into two pictures in turn; the one shown last is the
// mirrors' texture in the next.
#include "mirrors.h"

#include "mirrors_parts.h"
#include "music.h"
#include "scene_render.h"
#include "timeline.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
mirrors_state mirrors;

constexpr int32_t WIDTH = 320, HEIGHT = 240;
constexpr float SWING_SPEED = 0.005f; // camera and streams, per tick
constexpr float STAR_X_ANGLE = 1.57f;
constexpr float STAR_Y_SPEED = 0.0125f;
constexpr float STAR_Z_SPEED = -0.0075f;
constexpr double STREAM_RADIUS = 350, DIAGONAL_RADIUS = 300;
constexpr double STREAM_PHASE1 = 2.0933333333333333, STREAM_PHASE2 = 4.1866666666666665;
constexpr double CAMERA_SWING = 800, CAMERA_RISE = 1000, CAMERA_DEPTH = 420;

void mirrors_release() {
  mirrors_release_scene(&mirrors);
  // Image 1 shares image 0's depth buffer.
  if (mirrors.images[1])
    mirrors.images[1]->zbuffer = nullptr;
  rgb_image_free(mirrors.images[0]);
  rgb_image_free(mirrors.images[1]);
  if (mirrors.opening)
    pixmap_free(mirrors.opening);
  if (mirrors.show && mirrors.show->pictures.mirror_opening == mirrors.opening)
    mirrors.show->pictures.mirror_opening = nullptr;
  mirrors = mirrors_state{};
}

void mirrors_copy(uint32_t* dst, const rgb_image* src, int64_t pixels) {
  std::memcpy(dst, src->pixels, size_t(std::min<int64_t>(pixels, int64_t(src->width) * src->height)) * 4);
}
} // namespace

mirrors_state* mirrors_get_state() { return &mirrors; }

void mirrors_particles(mirrors_state* m, float fd, uint32_t row) {
  m->epsilon += SWING_SPEED * fd;
  emitter** e = m->scene.mothers;
  const double a = 2.0 * double(m->epsilon);
  e[0]->origin[0] = STREAM_RADIUS * std::sin(a);
  e[0]->origin[1] = 0;
  e[0]->origin[2] = STREAM_RADIUS * std::cos(a);
  e[1]->origin[0] = 0;
  e[1]->origin[1] = STREAM_RADIUS * std::sin(STREAM_PHASE1 + a);
  e[1]->origin[2] = STREAM_RADIUS * std::cos(STREAM_PHASE1 + a);
  // The third stream swings along a diagonal line, not round a circle.
  e[2]->origin[0] = 0;
  e[2]->origin[1] = DIAGONAL_RADIUS * std::sin(STREAM_PHASE2 + a);
  e[2]->origin[2] = DIAGONAL_RADIUS * std::sin(STREAM_PHASE2 + a);
  for (int32_t i = 0; i < MIRRORS_STREAMS; i++)
    emitter_update(e[i], MIRRORS_STREAM_BIRTHS);
  // The fountains burst once at the start of the bar and move on from its
  // row 16.
  if (row > MIRRORS_BURST_ROWS) {
    for (int32_t i = MIRRORS_FIRST_FOUNTAIN; i < MIRRORS_EMITTERS; i++)
      emitter_update(e[i], 0);
    m->latch = 0;
  } else if (!m->latch) {
    for (int32_t i = MIRRORS_FIRST_FOUNTAIN; i < MIRRORS_EMITTERS; i++)
      emitter_update(e[i], MIRRORS_FOUNTAIN_BURST);
    m->latch = 1;
  }
}

void mirrors_present(mirrors_state* m) {
  const rgb_image* shown = m->images[m->last];
  mirrors_copy(m->frame->pixels, shown, int64_t(m->frame->width) * m->frame->height);
  m->last ^= 1;
  rgb_image* next = m->images[m->last];
  std::fill(next->zbuffer, next->zbuffer + size_t(next->width) * size_t(next->height), 0);
  m->scene.imagemaps[MIRRORS_FEEDBACK_MAP] = m->images[m->last ^ 1];
}

int32_t mirrors_init(show_context* show) {
  mirrors_release();
  if (!show || !show->clock || !show->frame || show->frame->width != WIDTH || show->frame->height != HEIGHT)
    return 0;
  mirrors.show = show;
  mirrors.clock = show->clock;
  mirrors.frame = show->frame;
  mirrors.shade = show->shade;
  if (!mirrors_build_scene(&mirrors)) {
    mirrors_release();
    return 0;
  }
  mirrors.images[0] = rgb_image_create(WIDTH, HEIGHT, RGB_IMAGE_CLEAR | RGB_IMAGE_DEPTH);
  mirrors.images[1] = rgb_image_create(WIDTH, HEIGHT, RGB_IMAGE_CLEAR);
  mirrors.opening = pixmap_create(WIDTH, HEIGHT, PIXMAP_CLEAR);
  if (!mirrors.images[0] || !mirrors.images[1] || !mirrors.opening) {
    mirrors_release();
    return 0;
  }
  mirrors.images[1]->zbuffer = mirrors.images[0]->zbuffer;
  mirrors_frame();
  mirrors_copy(mirrors.opening->pixels, mirrors.images[1], int64_t(WIDTH) * HEIGHT);
  show->pictures.mirror_opening = mirrors.opening;
  return 1;
}

int32_t mirrors_frame() {
  mirrors_state& m = mirrors;
  if (!m.clock || !m.images[0])
    return 0; // never initialised
  const float fd = m.clock->frame_delta;
  mirrors_particles(&m, fd, m.clock->row);
  m.kappa += SWING_SPEED * fd;
  mirrors_present(&m);
  asc_object* star = m.scene.objects[MIRRORS_STAR];
  star->angles[0] = STAR_X_ANGLE;
  star->angles[1] += STAR_Y_SPEED * fd;
  star->angles[2] += STAR_Z_SPEED * fd;
  scene_camera* c = m.scene.cameras[0];
  const double k = m.kappa;
  c->eye[0] = CAMERA_SWING * std::sin(k);
  c->eye[1] = CAMERA_RISE * std::cos(2 * k);
  c->eye[2] = CAMERA_DEPTH;
  // The colour plane is not cleared: the hall covers the view.
  rgb_image* target = m.images[m.last];
  camera_aim(&m.scene);
  scene_to_camera(&m.scene);
  scene_project(&m.scene, target);
  scene_cull(&m.scene);
  scene_normals(&m.scene);
  scene_draw(&m.scene, target);
  return timeline_order_reached(TIMELINE_MIRRORS, m.clock->order) ? 0 : 1;
}
