// The typewriter over the image cube: five lines typed one after another in
// green, one character per frame while the block cursor shows.
#include "icube_parts.h"

#include "blend.h"

#include <cstring>

const icube_line icube_lines[ICUBE_LINES] = {{"Dark times has come..", 20, 32},
                                             {"Ninjas have taken over!", 160, 200},
                                             {"But have no fear!", 180, 20},
                                             {"Pexil will rock on..", 40, 120},
                                             {"Let the game begin!", 100, 120}};

void icube_type(icube_typewriter* t, pixmap* frame, float fd) {
  t->blink = float(double(t->blink) + 0.1 * double(fd));
  const int64_t n = t->blink > 0.0f && t->blink < 9.0e18f ? int64_t(t->blink) : 0;
  if (t->line < 0 || t->line >= ICUBE_LINES || t->typed < 0)
    *t = {0, 0, t->blink};
  const icube_line& line = icube_lines[t->line];
  const int32_t length = int32_t(std::strlen(line.text));
  const int32_t shown = t->typed + 1 < length ? t->typed + 1 : length;
  const int32_t width = text_printf(frame, line.x, line.y, ICUBE_TEXT_COLOUR, "%.*s", int(shown), line.text);
  if (n & 1) {
    pixmap_fill_rect(frame, line.x + width, line.y, 8, 8, ICUBE_TEXT_COLOUR);
    if (++t->typed > length) {
      t->typed = 0;
      t->line = (t->line + 1) % ICUBE_LINES;
    }
  }
}
