// The end part, with its own song: a texture rippling under two crossed sine
// waves fills a work picture, a radial blur whose smear grows with the
// distance from a wandering centre draws it into the frame, and over it the
// tall end screen of credits, greetings and thanks scrolls up. It fades in
// from black and, at its end, out again.
#include "endpart.h"

#include "blend.h"
#include "endpart_parts.h"
#include "music.h"
#include "pcx.h"
#include "picture_fit.h"
#include "timeline.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int32_t FRAME_W = 320, FRAME_H = 240;
constexpr double RIPPLE_K = 0.0160285339468867;

endpart_state endpart;

void endpart_release() {
  for (pixmap* p : {endpart.texture, endpart.screen, endpart.work})
    if (p)
      pixmap_free(p);
  endpart = endpart_state{};
}
} // namespace

endpart_state* endpart_get_state() { return &endpart; }

void endpart_ripple(endpart_state* s, float fd) {
  const double a1 = 64.0 * std::cos(s->phi1), a2 = 128.0 * std::sin(s->phi2);
  const double g = 16.0 * std::cos(s->phi3), h = 32.0 * std::cos(s->phi3), e = 5.0 * std::sin(s->phi4);
  for (int32_t r = 0; r < ENDPART_GRID_ROWS; r++)
    for (int32_t i = 0; i < ENDPART_GRID_COLUMNS; i++) {
      block_corner& c = s->grid[r][i];
      c.u = int32_t(a1 * std::sin((r * h + i) * RIPPLE_K) + 0.5 + (a1 + 68.0) * i * 0.1);
      c.v = int32_t(a2 * std::cos((r * e + i * g) * RIPPLE_K) + 0.5 + r * (a2 + 130.0) * 0.1);
    }
  s->phi3 += float(0.0010833078115826875 * fd);
  s->phi4 -= float(0.004908738521234051 * fd);
  s->phi1 -= float(0.008235242878342177 * fd);
  s->phi2 += float(0.0048719886071713365 * fd);
}

void endpart_fill(endpart_state* s, float fd) {
  for (int32_t k = 0; k < ENDPART_BLOCK_ROWS && float(k) < s->reveal; k++)
    for (int32_t c = 0; c < ENDPART_BLOCK_COLUMNS; c++)
      block_fill(BLOCK_SIZE * c, BLOCK_SIZE * k, s->work, s->texture, BLOCK_PLAIN, &s->grid[k][c], &s->grid[k][c + 1],
                 &s->grid[k + 1][c], &s->grid[k + 1][c + 1], nullptr);
  s->reveal = std::min(float(ENDPART_BLOCK_ROWS), s->reveal + 0.1f * fd);
}

void endpart_add_screen(pixmap* frame, const pixmap* screen, float scroll) {
  const int32_t first = int32_t(std::clamp(scroll, 0.0f, float(screen->height)));
  const int32_t rows = std::min(frame->height, screen->height - first);
  const int32_t columns = std::min(frame->width, screen->width);
  for (int32_t y = 0; y < rows; y++) {
    const uint32_t* src = screen->pixels + screen->rows[first + y];
    uint32_t* dst = frame->pixels + frame->rows[y];
    for (int32_t x = 0; x < columns; x++)
      if (src[x] & 255)
        dst[x] = colour_add_saturated(dst[x], src[x]);
  }
}

void endpart_scroll_and_fade(endpart_state* s, float fd, uint32_t order, uint32_t row) {
  if (order > 2)
    s->scroll = std::min(ENDPART_LAST_SCROLL, s->scroll + 0.1f * fd);
  if (order < 4) {
    if (s->fade > 0) {
      pixmap_fade_blit(s->frame, 0, 0, s->frame, 0, 0, 0, s->fade, FRAME_W, FRAME_H);
      if (order > 1)
        s->fade -= 0.01f * fd;
    } else {
      s->fade = 0;
    }
  }
  if (order > 16 && row > 32) {
    pixmap_fade_blit(s->frame, 0, 0, s->frame, 0, 0, 0, s->fade, FRAME_W, FRAME_H);
    s->fade = std::min(1.0f, s->fade + 0.01f * fd);
  }
}

int32_t endpart_init(show_context* show) {
  endpart_release();
  endpart.clock = show->clock;
  endpart.frame = show->frame;
  endpart.reveal = float(ENDPART_BLOCK_ROWS);
  endpart.fade = 1.0f;
  endpart.texture =
      picture_fit(pcx_load("data/endp/tmap.pcx"), "data/endp/tmap.pcx", BLOCK_TEXTURE_SIZE, BLOCK_TEXTURE_SIZE);
  endpart.screen = endpart.texture ? pcx_load("data/endp/endscr.pcx") : nullptr;
  // The blocks read the texture as 256 x 256; the screen is added as far as
  // it reaches (one shorter or narrower than the frame simply ends early).
  if (!block_texture_fits(endpart.texture) || !endpart.screen || !endpart.frame || endpart.frame->width != FRAME_W ||
      endpart.frame->height != FRAME_H) {
    endpart_release();
    return 0;
  }
  endpart.work = pixmap_create(FRAME_W, FRAME_H, PIXMAP_CLEAR);
  if (!endpart.work) {
    endpart_release();
    return 0;
  }
  return 1;
}

int32_t endpart_frame() {
  endpart_state& s = endpart;
  if (!s.work)
    return 0; // nothing to show without the init's pictures
  const float fd = music_frame_delta(s.clock);
  const uint32_t order = s.clock->order, row = s.clock->row;
  endpart_ripple(&s, fd);
  endpart_fill(&s, fd);
  const float cx = 160.0f + 64.0f * std::sin(s.psi), cy = 120.0f + 64.0f * std::cos(1.2f * s.psi);
  radial_blur_scaled(s.frame, s.work, cx, cy, ENDPART_BLUR_WEIGHT, ENDPART_BLUR_DIVISOR);
  endpart_add_screen(s.frame, s.screen, s.scroll);
  endpart_scroll_and_fade(&s, fd, order, row);
  s.psi += float(0.016362461737446838 * fd);
  return timeline_end_song_over(order, row) ? 0 : 1;
}
