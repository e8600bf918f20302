// The credits' name plates (placement, stretched drawing, launches on the
// beat) and the rotating dot scroller.
#include "blend.h"
#include "blurp_parts.h"
#include "random.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int32_t FRAME_W = 320, FRAME_H = 240;
constexpr float PI = 3.14159265358979323846f;

// Random places of the plates: start corners below (160, 120), targets below
// (280, 200).
constexpr int32_t START_RANGE_X = 160, START_RANGE_Y = 120;
constexpr int32_t TARGET_RANGE_X = 280, TARGET_RANGE_Y = 200;

// The scroller: a window of h x h cells over 400 x 320 pixels round the
// frame's centre, moving 0.11 columns a tick; cells below 32 draw nothing.
constexpr float WINDOW_W = 400, WINDOW_H = 320;
constexpr float SCROLL_SPEED = 0.11f;
constexpr int32_t SMALLEST_DOT = 32;

// Draws a left edge again until a span of the given width fits the frame.
// After BLURP_PLACE_TRIES draws the span goes to the left edge, so the loop
// ends whatever the width (which the caller holds to the frame's).
int32_t retry_x(int32_t range, int64_t width) {
  for (int32_t tries = 0; tries < BLURP_PLACE_TRIES; tries++) {
    const int32_t x0 = demo_rand() % range;
    if (x0 + width <= FRAME_W)
      return x0;
  }
  return 0;
}

// A span of the given height from y0, moved up and held to the frame's
// height where it would reach below the frame.
void fit_y(int32_t* y0, int64_t* height) {
  *height = std::min<int64_t>(*height, FRAME_H);
  *y0 = int32_t(std::min<int64_t>(*y0, FRAME_H - *height));
}
} // namespace

void blurp_place_credit(blurp_credit* c) {
  const int64_t w = c->bitmap ? std::max(0, c->bitmap->width) : 0;
  const int64_t h = c->bitmap ? std::max(0, c->bitmap->height) : 0;
  // Start: twice the size; a plate of 160 or more that does not fit at once
  // tries its single width.
  int32_t x0 = demo_rand() % START_RANGE_X;
  int32_t y0 = demo_rand() % START_RANGE_Y;
  int64_t sw = 2 * w, sh = 2 * h;
  if (x0 + sw > FRAME_W) {
    sw = std::min<int64_t>(w >= 160 ? w : 2 * w, FRAME_W);
    x0 = retry_x(START_RANGE_X, sw);
  }
  fit_y(&y0, &sh);
  // Target: half the size.
  int32_t tx0 = demo_rand() % TARGET_RANGE_X;
  int32_t ty0 = demo_rand() % TARGET_RANGE_Y;
  const int64_t tw = std::min<int64_t>(w / 2, FRAME_W);
  int64_t th = h / 2;
  if (tx0 + tw > FRAME_W)
    tx0 = retry_x(TARGET_RANGE_X, tw);
  fit_y(&ty0, &th);

  c->sx0 = float(x0);
  c->sy0 = float(y0);
  c->sx1 = float(x0 + sw);
  c->sy1 = float(y0 + sh);
  const float t[4] = {float(tx0), float(ty0), float(tx0 + tw), float(ty0 + th)};
  c->dx0 = (t[0] - c->sx0) / BLURP_LAST_STAGE;
  c->dy0 = (t[1] - c->sy0) / BLURP_LAST_STAGE;
  c->dx1 = (t[2] - c->sx1) / BLURP_LAST_STAGE;
  c->dy1 = (t[3] - c->sy1) / BLURP_LAST_STAGE;
  c->x0 = c->sx0;
  c->y0 = c->sy0;
  c->x1 = c->sx1;
  c->y1 = c->sy1;
}

void blurp_draw_credit(pixmap* dst, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const scx_bitmap* bitmap,
                       int32_t level) {
  if (!bitmap || !bitmap->pixels || bitmap->width <= 0 || bitmap->height <= 0 || x1 <= x0 || y1 <= y0)
    return;
  // 16.16 steps through the bitmap; the accumulators start where the
  // clipped rectangle starts.
  const int64_t du = int64_t(bitmap->width) * 65536 / (int64_t(x1) - x0);
  const int64_t dv = int64_t(bitmap->height) * 65536 / (int64_t(y1) - y0);
  const int32_t cx0 = std::max(x0, 0), cx1 = std::min(x1, dst->width);
  const int32_t cy0 = std::max(y0, 0), cy1 = std::min(y1, dst->height);
  if (cx0 >= cx1 || cy0 >= cy1)
    return;
  const uint32_t add = uint32_t(level & 255) * 0x010101u;
  int64_t v = (int64_t(cy0) - y0) * dv;
  for (int32_t y = cy0; y < cy1; y++, v += dv) {
    const uint8_t* src = bitmap->pixels + (v >> 16) * bitmap->width;
    uint32_t* d = dst->pixels + dst->rows[y];
    int64_t u = (int64_t(cx0) - x0) * du;
    for (int32_t x = cx0; x < cx1; x++, u += du)
      if (src[u >> 16] > BLURP_LETTER)
        d[x] = colour_add_saturated(d[x], add);
  }
}

void blurp_credits_step(blurp_state* s, float fd, uint32_t row) {
  for (blurp_credit& c : s->credits) {
    if (c.stage > 0 && c.stage < BLURP_LAST_STAGE) {
      c.x0 = c.sx0 + c.dx0 * c.stage;
      c.y0 = c.sy0 + c.dy0 * c.stage;
      c.x1 = c.sx1 + c.dx1 * c.stage;
      c.y1 = c.sy1 + c.dy1 * c.stage;
      blurp_draw_credit(s->work, int32_t(c.x0), int32_t(c.y0), int32_t(c.x1), int32_t(c.y1), c.bitmap,
                        int32_t(255.0f - 3.0f * c.stage));
    }
    if (c.stage > -1)
      c.stage += 0.5f * fd;
  }
  // One launch in the first rows of every 16-row bar.
  if (!s->beat && (row & 15) < 7) {
    s->beat = 1;
    if (s->next_credit < BLURP_CREDITS)
      s->credits[s->next_credit++].stage = 0;
  }
  if (s->beat && (row & 15) > 7)
    s->beat = 0;
}

void blurp_scroller(blurp_state* s, float fd) {
  const scx_bitmap* text = s->text;
  if (!text || !text->pixels || text->width <= 0 || text->height <= 0)
    return;
  const int32_t w = text->width, h = text->height;
  // Past the text's end the scroller is gone for good.
  if (float(w - h - 4) < s->scroll)
    return;
  const float cs = std::cos(s->scroll_angle), sn = std::sin(s->scroll_angle);
  const float cell_w = WINDOW_W / float(h), cell_h = WINDOW_H / float(h);
  const float offset = cell_w * s->scroll_frac;
  const int32_t first = std::max(0, int32_t(s->scroll));
  for (int32_t i = 0; i < h; i++) {
    const uint8_t* row = text->pixels + int64_t(i) * w;
    const float a = cell_h * float(i) - WINDOW_H / 2;
    for (int32_t j = 0; j < h; j++) {
      const int32_t v = row[(int64_t(first) + j) % w];
      if (v < SMALLEST_DOT)
        continue; // a dot below 8 pixels is not drawn
      const float b = cell_w * float(j) - WINDOW_W / 2 + offset;
      add_sprite_scaled(int32_t(cs * b + sn * a + float(FRAME_W / 2)), int32_t(cs * a - sn * b + float(FRAME_H / 2)),
                        s->work, s->dot, 0.0f, int32_t(float(v) * 0.25f));
    }
  }
  s->scroll_angle += PI / 128 * fd;
  s->scroll += SCROLL_SPEED * fd;
  s->scroll_frac = 1.0f - (s->scroll - std::trunc(s->scroll));
  if (s->scroll > float(w))
    s->scroll = 0;
}
