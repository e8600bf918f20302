// The galaxy: the background scrolls in, the logos wipe in and are stamped
// into it, the spiral of flares flies in and grows, and the background fades
// to black; all paced by the music clock.
#include "galaxy.h"

#include "galaxy_parts.h"
#include "jpeg.h"
#include "mem.h"
#include "music.h"
#include "pcx.h"
#include "vfs.h"

#include <algorithm>
#include <cmath>

namespace {
galaxy_state galaxy;

void galaxy_release() {
  for (pixmap* p : {galaxy.flare, galaxy.background, galaxy.logos[0].picture, galaxy.logos[1].picture})
    if (p)
      pixmap_free(p);
  for (galaxy_logo& l : galaxy.logos)
    if (l.wipe)
      mem_free(l.wipe);
  if (galaxy.stars)
    mem_free(galaxy.stars);
  galaxy = galaxy_state{};
}

constexpr float PI = 3.14159265358979323846f;
} // namespace

galaxy_state* galaxy_get_state() { return &galaxy; }

int32_t galaxy_init(show_context* show) {
  galaxy_release();
  galaxy.clock = show->clock;
  galaxy.frame = show->frame;
  galaxy.shade = show->shade;
  galaxy.scroll = 320.0f;
  galaxy.path_radius = 160.0f;
  galaxy.zoom = 1.0f;
  galaxy.stars_per_arm = float(GALAXY_RINGS);
  galaxy.logos[0].x = 0;
  galaxy.logos[0].y = 20;
  galaxy.logos[1].x = 0;
  galaxy.logos[1].y = 160;

  galaxy.stars = mem_alloc_array<galaxy_stars>(1);
  if (!galaxy.stars)
    return 0;
  galaxy_make_stars(galaxy.stars);

  galaxy.flare = jpeg_load("data/galaxy/gflare2.jpg");
  if (!galaxy.flare)
    return 0;
  galaxy.background = jpeg_load("data/galaxy/galaxybg.jpg");
  // The background is shown from column 320 down to 0 over the whole frame.
  if (!galaxy.background || galaxy.background->width < 640 || galaxy.background->height < 240) {
    vfs_note_failure("data/galaxy/galaxybg.jpg", "smaller than 640 x 240");
    return 0;
  }
  galaxy.logos[0].picture = pcx_load("data/galaxy/pexil.pcx");
  if (!galaxy.logos[0].picture)
    return 0;
  galaxy.logos[1].picture = pcx_load("data/galaxy/tremory.pcx");
  if (!galaxy.logos[1].picture)
    return 0;
  for (int32_t i = 0; i < 2; i++) {
    galaxy.logos[i].wipe = galaxy_make_wipe(galaxy.logos[i].picture, i);
    if (!galaxy.logos[i].wipe)
      return 0;
  }
  return 1;
}

int32_t galaxy_frame() {
  galaxy_state& g = galaxy;
  const float fd = g.clock->frame_delta;
  const uint32_t order = g.clock->order;
  const uint32_t row = g.clock->row;

  // From order 3 the logos belong to the background; stamping again would
  // change nothing.
  if (order >= 3 && !g.stamped) {
    for (const galaxy_logo& l : g.logos)
      galaxy_stamp_logo(g.background, &l);
    g.stamped = 1;
  }

  if (order < 3 || row <= 48) {
    pixmap_blit(g.frame, 0, 0, g.background, int32_t(g.scroll), 0, 320, 240);
    g.scroll = std::max(g.scroll - 0.5f * fd, 0.0f);
  } else {
    pixmap_fade_blit(g.frame, 0, 0, g.background, 0, 0, 0, g.fade, 320, 240);
    g.fade = std::min(g.fade + 0.01f * fd, 1.0f);
  }

  if (order == 2)
    for (galaxy_logo& l : g.logos)
      galaxy_fade_logo(g.frame, &l, fd);

  if (g.scroll < 240.0f) {
    const float c = std::cos(g.path_angle);
    galaxy_draw_stars(&g, 160.0f + g.path_radius * c, 120.0f - g.path_radius * c);
    if (order >= 3 && row > 32) {
      g.stars_per_arm -= 0.5f * fd;
      g.zoom += 0.01f * fd;
    }
    g.size_factor = std::min(g.time / 240.0f, 1.0f);
    g.path_radius = std::max(160.0f - g.time * 2.0f / 3.0f, 0.0f);
    g.path_angle = g.time * PI / 240.0f;
    g.time += 0.5f * fd;
    g.spin -= 0.008014267f * fd;
    g.tilt_phase += 0.0061359233f * fd;
  }
  return 1;
}
