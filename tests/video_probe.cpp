// A program for the end-to-end display tests: opens the windowed (gdi) or
// full-screen (dd) driver on the real video layer, presents a frame of four
// coloured quadrants (red, green / blue, white) until Escape, and exits 0.
#include "directdraw.h"
#include "gdi.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  const bool full_screen = argc > 1 && std::strcmp(argv[1], "dd") == 0;
  display_driver& d = full_screen ? directdraw_driver : gdi_driver;
  if (!d.open(320, 240, "Vorlane by Pexil", DISPLAY_OPEN_16_BITS)) {
    std::fprintf(stderr, "open: %s\n", d.error_text());
    return 1;
  }
  pixmap* frame = pixmap_create(320, 240, PIXMAP_CLEAR);
  if (!frame)
    return 1;
  for (int32_t y = 0; y < 240; y++)
    for (int32_t x = 0; x < 320; x++) {
      const bool right = x >= 160, bottom = y >= 120;
      const uint32_t r = (!right && !bottom) || (right && bottom) ? 255 : 0;
      const uint32_t g = (right && !bottom) || (right && bottom) ? 255 : 0;
      const uint32_t b = (!right && bottom) || (right && bottom) ? 255 : 0;
      frame->pixels[frame->rows[y] + x] = pixmap_rgba(r, g, b, 0x80);
    }
  for (;;) {
    d.wait_retrace();
    d.present(0, 0, frame, 0, 0, 320, 240);
    if (d.read_key() == 27)
      break;
  }
  d.close();
  pixmap_free(frame);
  return 0;
}
