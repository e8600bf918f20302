// The radial-blur credits: the crew's names come in on the beat over a
// background picture, shrinking and fading as they glide to random places; a
// rotating field of glowing dots spells a scrolling text; everything is
// smeared into the frame by a radial blur whose centre and strength wander.
// At the end the picture cross-fades into the mirror hall's opening picture
// while the blur relaxes, so the mirror hall starts where this ends.
#include "blurp.h"

#include "blend.h"
#include "blurp_parts.h"
#include "gif.h"
#include "jpeg.h"
#include "mem.h"
#include "music.h"
#include "random.h"
#include "timeline.h"

#include <cmath>

namespace {
constexpr int32_t FRAME_W = 320, FRAME_H = 240;
constexpr float PI = 3.14159265358979323846f;

// The plates in launch order, and the stage each waits at.
const char* const credit_files[BLURP_CREDITS] = {
    "data/radblur/coding.scx",  "data/radblur/tamsk.scx",  "data/radblur/quorin.scx",  "data/radblur/rimbel.scx",
    "data/radblur/selvane.scx", "data/radblur/fobb.scx",   "data/radblur/pannory.scx", "data/radblur/graphics.scx",
    "data/radblur/kestr.scx",   "data/radblur/music.scx",  "data/radblur/bulmo.scx",   "data/radblur/tirsa.scx",
    "data/radblur/dolvek.scx",  "data/radblur/design.scx", "data/radblur/qex.scx"};
const float credit_waits[BLURP_CREDITS] = {-8, -24, -48, -24, -24, -24, -48, -24, -48, -8, -24, -48, -24, -48, -24};

blurp_state blurp;

void blurp_release() {
  for (pixmap* p : {blurp.background, blurp.dot, blurp.work, blurp.black})
    if (p)
      pixmap_free(p);
  if (blurp.text)
    scx_free(blurp.text);
  for (blurp_credit& c : blurp.credits)
    if (c.bitmap)
      scx_free(c.bitmap);
  blurp = blurp_state{};
}

// The late phases belong to order 12 alone; from order 13 on (the frame that
// ends the credits) the picture stays where they left it.
bool blurp_before(uint32_t order, uint32_t row, uint32_t last_row) {
  return order < BLURP_FADE_ORDER || (order == BLURP_FADE_ORDER && row <= last_row);
}

bool blurp_full_frame(const pixmap* p) { return p && p->pixels && p->width == FRAME_W && p->height == FRAME_H; }

void blurp_copy(pixmap* dst, const pixmap* src) { mem_copy_words(dst->pixels, src->pixels, size_t(FRAME_W) * FRAME_H); }
} // namespace

blurp_state* blurp_get_state() { return &blurp; }

const pixmap* blurp_fade_target(const blurp_state* s) {
  const pixmap* mirror = s->show ? s->show->pictures.mirror_opening : nullptr;
  return blurp_full_frame(mirror) ? mirror : s->black;
}

void blurp_base(blurp_state* s, float fd, uint32_t order, uint32_t row) {
  if (blurp_before(order, row, BLURP_BACKGROUND_LAST_ROW)) {
    blurp_copy(s->work, s->background);
    return;
  }
  const pixmap* target = blurp_fade_target(s);
  if (s->fade < BLURP_FADE_STEPS)
    cross_fade(s->work, 0, 0, target, s->background, int32_t(s->fade));
  else
    blurp_copy(s->work, target);
  s->fade += 0.25f * fd;
}

void blurp_blur(blurp_state* s, float fd, uint32_t order, uint32_t row) {
  if (blurp_before(order, row, BLURP_BLUR_LAST_ROW)) {
    s->blur_factor = 0.2f + 0.15f * std::sin(s->angle1);
    s->centre_y = 120.0f + 80.0f * std::cos(s->angle2);
    s->centre_x = 160.0f + 80.0f * std::cos(s->angle3);
    radial_blur_weighted(s->frame, s->work, s->centre_x, s->centre_y, BLURP_BLUR_WEIGHT, s->blur_factor);
    s->angle3 += PI / 64 * fd;
    s->angle2 += PI / 128 * fd;
    s->angle1 += PI / 64 * fd;
    return;
  }
  if (s->blur_factor > 0)
    radial_blur(s->frame, s->work, s->centre_x, s->centre_y, s->blur_factor);
  else
    blurp_copy(s->frame, s->work);
  s->blur_factor -= 0.01f * fd;
}

int32_t blurp_init(show_context* show) {
  blurp_release();
  blurp.show = show;
  blurp.clock = show->clock;
  blurp.frame = show->frame;
  blurp.shade = show->shade;
  blurp.background = jpeg_load("data/radblur/morvat.jpg");
  // The background is copied and blended whole over the frame.
  if (!blurp_full_frame(blurp.background) || !blurp_full_frame(blurp.frame)) {
    blurp_release();
    return 0;
  }
  blurp.text = scx_load("data/radblur/text.scx");
  blurp.dot = blurp.text ? gif_load("data/radblur/flare.gif") : nullptr;
  blurp.work = blurp.dot ? pixmap_create(FRAME_W, FRAME_H, PIXMAP_CLEAR) : nullptr;
  blurp.black = blurp.work ? pixmap_create(FRAME_W, FRAME_H, PIXMAP_CLEAR) : nullptr;
  if (!blurp.black) {
    blurp_release();
    return 0;
  }
  demo_srand_clock();
  for (int32_t i = 0; i < BLURP_CREDITS; i++) {
    blurp_credit& c = blurp.credits[i];
    c.stage = credit_waits[i];
    c.bitmap = scx_load(credit_files[i]);
    if (!c.bitmap) {
      blurp_release();
      return 0;
    }
    blurp_place_credit(&c);
  }
  blurp.blur_factor = 0.1f;
  return 1;
}

int32_t blurp_frame() {
  blurp_state& s = blurp;
  if (!s.work)
    return 0; // nothing to show without the init's pictures
  const float fd = music_frame_delta(s.clock);
  const uint32_t order = s.clock->order, row = s.clock->row;
  blurp_base(&s, fd, order, row);
  blurp_credits_step(&s, fd, row);
  blurp_scroller(&s, fd);
  blurp_blur(&s, fd, order, row);
  return timeline_order_reached(TIMELINE_BLURP, order) ? 0 : 1;
}
