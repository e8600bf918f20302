// Section 2 of the intro, the title: its zoom out of a small spot, its
// additive glow, and the beat blur's amount.
#include "intro_parts.h"

#include <algorithm>

void intro_title_rect(const intro_state* s, float t, float rect[4]) {
  for (int32_t k = 0; k < 4; k++)
    rect[k] = s->rect_start[k] + s->rect_step[k] * t;
}

void intro_title_stretch(pixmap* frame, const pixmap* title, const float rect[4]) {
  const int32_t last_col = title->width - 1, last_row = title->height - 1;
  // Columns step in 16.16 fixed point, rows as a float.
  const int32_t u0 = int32_t(rect[0] * 65536.0f);
  const int32_t du = int32_t((rect[2] - rect[0]) / float(INTRO_WIDTH) * 65536.0f);
  const float dy = (rect[3] - rect[1]) / float(INTRO_HEIGHT);
  float y = rect[1];
  for (int32_t i = 0; i < INTRO_HEIGHT; i++, y += dy) {
    const int32_t row = std::clamp(int32_t(y), 0, last_row);
    const uint32_t* src = title->pixels + title->rows[row];
    uint32_t* dst = frame->pixels + frame->rows[i];
    int32_t u = u0;
    for (int32_t j = 0; j < INTRO_WIDTH; j++, u += du) {
      const uint32_t p = src[std::clamp(u >> 16, 0, last_col)];
      if (p & 255)
        dst[j] = p;
    }
  }
}

void intro_title_glow(pixmap* frame, const pixmap* title, int32_t threshold) {
  for (int32_t i = 0; i < INTRO_HEIGHT; i++) {
    const uint32_t* src = title->pixels + title->rows[i];
    uint32_t* dst = frame->pixels + frame->rows[i];
    for (int32_t j = 0; j < INTRO_WIDTH; j++) {
      const int32_t k = int32_t(src[j] & 255) - threshold;
      if (k <= 0)
        continue;
      const uint32_t p = dst[j];
      const uint32_t r = std::min<uint32_t>(255, (p & 255) + uint32_t(k));
      const uint32_t g = std::min<uint32_t>(255, ((p >> 8) & 255) + uint32_t(k));
      const uint32_t b = std::min<uint32_t>(255, ((p >> 16) & 255) + uint32_t(k));
      dst[j] = (p & 0xFF000000u) | r | g << 8 | b << 16;
    }
  }
}

void intro_beat_step(intro_state* s, uint32_t row, float fd) {
  if (!s->pulse) {
    s->blur_amount = 0.01f;
    // A pulse starts on the first rows of every 16.
    if (row % 16 < 4) {
      s->pulse = 1;
      s->blur_amount = 0.25f;
    }
  } else {
    s->blur_amount -= 0.0075f * fd;
    if (s->blur_amount < 0.01f) {
      s->pulse = 0;
      s->blur_amount = 0.01f;
    }
  }
}
