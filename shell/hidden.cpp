#include "hidden.h"

#include "install_path.h"
#include "random.h"

#include <cstdio>
#include <cstring>

int32_t hidden_readme_check() {
  FILE* f = std::fopen(install_find("readme.txt").c_str(), "rt");
  if (!f)
    return 0;
  char line[128] = {};
  int32_t on = 0;
  if (std::fgets(line, sizeof line, f)) {
    const size_t len = std::strlen(line);
    if (len > 0)
      line[len - 1] = 0; // the last character goes, whatever it is
    if (len > 1 && line[len - 2] == '\r')
      line[len - 2] = 0; // a line written with CR LF ends the same way
    on = std::strcmp(line, "brickmoon") == 0;
  }
  std::fclose(f);
  return on;
}

void hidden_sprite_begin(hidden_sprite* hs, const pixmap* sprite) {
  hs->sprite = sprite;
  hs->x = 160.0f;
  hs->y = 120.0f;
  hs->vx = 3.0f;
  hs->vy = 4.5f;
}

static float hidden_bounce_speed() { return 1.0f + 4.0f * float(demo_rand()) / 32767.0f; }

void hidden_sprite_step(hidden_sprite* hs, pixmap* frame) {
  const pixmap* s = hs->sprite;
  const int32_t px = int32_t(hs->x), py = int32_t(hs->y);
  // The bounce keeps a sprite smaller than the frame inside it; clipping
  // each pixel keeps any other sprite from writing outside the frame.
  for (int32_t v = 0; v < s->height; v++) {
    const int32_t fy = py + v;
    if (fy < 0 || fy >= frame->height)
      continue;
    for (int32_t u = 0; u < s->width; u++) {
      const int32_t fx = px + u;
      const uint32_t p = s->pixels[v * s->width + u];
      if ((p & 255) == 255 || fx < 0 || fx >= frame->width)
        continue;
      frame->pixels[fy * frame->width + fx] = p;
    }
  }
  hs->x += hs->vx;
  hs->y += hs->vy;
  if (hs->x < 0.0f) {
    hs->x = 0.0f;
    hs->vx = hidden_bounce_speed();
  } else if (hs->x > float(319 - s->width)) {
    hs->x = float(318 - s->width);
    hs->vx = -hidden_bounce_speed();
  }
  if (hs->y < 0.0f) {
    hs->y = 0.0f;
    hs->vy = hidden_bounce_speed();
  } else if (hs->y > float(239 - s->height)) {
    hs->y = float(238 - s->height);
    hs->vy = -hidden_bounce_speed();
  }
}
