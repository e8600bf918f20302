// The four small logos of sections 1 and 2, each pulsing between itself and
// the frame behind it.
#include "intro_parts.h"

#include <cmath>

void intro_draw_logos(intro_state* s, pixmap* frame) {
  for (intro_logo& l : s->logos) {
    const float f = (std::sin(float(l.phase) * 3.14159265f / 128.0f) + 1.0f) / 2.0f;
    const pixmap* p = l.picture;
    for (int32_t v = 0; v < INTRO_LOGO_SIZE; v++) {
      const int32_t y = l.y + v;
      if (y < 0 || y >= frame->height)
        continue;
      const uint32_t* src = p->pixels + p->rows[v];
      for (int32_t u = 0; u < INTRO_LOGO_SIZE; u++) {
        const int32_t x = l.x + u;
        if (x < 0 || x >= frame->width)
          continue;
        uint32_t& d = frame->pixels[frame->rows[y] + x];
        uint32_t mixed = d & 0xFF000000u;
        for (int32_t shift = 0; shift < 24; shift += 8) {
          const float lb = float((src[u] >> shift) & 255), db = float((d >> shift) & 255);
          mixed |= uint32_t(int32_t((1.0f - f) * lb + f * db)) << shift;
        }
        d = mixed;
      }
    }
    l.phase -= 8;
    if (l.phase < 0)
      l.phase = 255;
  }
}
