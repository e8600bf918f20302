// The flight's pace and its two fades, paced by the music clock.
#include "tunnel_parts.h"

#include <algorithm>

void tunnel_advance(tunnel_state* t, float fd) {
  t->scene->time += t->pace * fd;
  t->pace = std::min(t->pace + 0.5f * fd, TUNNEL_FLIGHT_MAX_PACE);
}

void tunnel_fades(tunnel_state* t, float fd, uint32_t order, uint32_t row) {
  pixmap* f = t->frame;
  if (t->fade_in > 0) {
    pixmap_fade_blit(f, 0, 0, f, 0, 0, TUNNEL_FLIGHT_TINT, t->fade_in, 320, 240);
    t->fade_in -= 0.01f * fd;
  }
  if (order > 20 && row > 100) {
    pixmap_fade_blit(f, 0, 0, f, 0, 0, TUNNEL_FLIGHT_WHITE, t->fade_out, 320, 240);
    t->fade_out = std::min(t->fade_out + 0.01f * fd, 1.0f);
  }
}
