#include "typewriter.h"

#include "blend.h"

#include <cstring>

namespace {
constexpr int32_t CURSOR_SIZE = 8;
}

void typewriter_type(typewriter* t, pixmap* frame, float fd) {
  t->blink = float(double(t->blink) + 0.1 * double(fd));
  if (!t->lines || t->line_count <= 0)
    return;
  const int64_t n = t->blink > 0.0f && t->blink < 9.0e18f ? int64_t(t->blink) : 0;
  // A record out of range starts over instead of reading past the table.
  if (t->line < 0 || t->line >= t->line_count || t->typed < 0) {
    t->line = 0;
    t->typed = 0;
  }
  const typewriter_line& line = t->lines[t->line];
  const int32_t length = int32_t(std::strlen(line.text));
  const int32_t shown = t->typed + 1 < length ? t->typed + 1 : length;
  const int32_t width = text_printf(frame, line.x, line.y, t->colour, "%.*s", int(shown), line.text);
  if (n & 1) {
    pixmap_fill_rect(frame, line.x + width, line.y, CURSOR_SIZE, CURSOR_SIZE, t->colour);
    if (++t->typed > length) {
      t->typed = 0;
      t->line = (t->line + 1) % t->line_count;
    }
  }
}
