// The four lens flares: each drifts from its spawn point towards the centre
// of the screen and shrinks; once spent it waits for the right rows of the
// song to come back somewhere else.
#include "flares.h"

#include "blend.h"
#include "music.h"
#include "random.h"

namespace {
const float spawn_x[4] = {20.0f, 60.0f, 180.0f, 300.0f};
const float spawn_y[4] = {20.0f, 80.0f, 160.0f, 220.0f};

// trunc(v) for a screen position; far-off or undefined positions become a
// value well off the screen instead of overflowing.
int32_t screen_trunc(float v) {
  if (!(v > -1.0e6f))
    return -1000000;
  return v < 1.0e6f ? int32_t(v) : 1000000;
}
} // namespace

void flares_reset(flare* flares) {
  static const flare start[FLARES_COUNT] = {{128.0f, 40.0f, 20.0f, 0, 0, 0, 0},
                                            {256.0f, 20.0f, 200.0f, 0, 0, 0, 1},
                                            {384.0f, 280.0f, 20.0f, 0, 0, 0, 2},
                                            {512.0f, 280.0f, 200.0f, 0, 0, 0, 0}};
  for (int32_t k = 0; k < FLARES_COUNT; k++)
    flares[k] = start[k];
}

void flares_draw(flare* flares, pixmap* const* images, pixmap* frame, uint32_t row, float fd) {
  for (int32_t k = 0; k < FLARES_COUNT; k++) {
    flare& f = flares[k];
    f.x = f.target_x + (160.0f - f.target_x) / 64.0f * f.travel;
    f.y = f.target_y + (120.0f - f.target_y) / 64.0f * f.travel;
    // The square's side is 64 + life: below 8 nothing is drawn.
    const pixmap* image = f.image >= 0 && f.image < FLARES_IMAGES ? images[f.image] : nullptr;
    if (image)
      add_sprite_scaled(screen_trunc(f.x), screen_trunc(f.y), frame, image, f.life * -8.0f, 64);
    if (f.life < 0.0f && row % 16 < 6) {
      f.image = demo_rand() % 3;
      f.target_x = spawn_x[demo_rand() % 4];
      f.target_y = spawn_y[demo_rand() % 4];
      f.life = 512.0f;
      f.travel = 0.0f;
    }
    f.life -= 1.5f * fd;
    f.travel += 0.25f * fd;
  }
}

void flares_step(flare_set* set) {
  if (!set || !set->clock || !set->frame)
    return;
  flares_draw(set->flares, set->images, set->frame, set->clock->row, set->clock->frame_delta);
}
