// The galaxy's star field: generation at init and the flares of every frame.
#include "blend.h"
#include "galaxy_parts.h"
#include "random.h"
#include "raster.h"

#include <cmath>

void galaxy_make_stars(galaxy_stars* stars) {
  float g = 0.0f; // ring radius
  float h = 0.0f; // twist of the ring
  for (int32_t s = 0; s < GALAXY_RINGS; s++) {
    for (int32_t k = 0; k < GALAXY_ARMS; k++) {
      const int32_t r1 = demo_rand();
      const int32_t r2 = demo_rand();
      vec3& p = stars->position[s * GALAXY_ARMS + k];
      if (g > 0.0f) {
        // A little angular jitter, smaller further out.
        const double a = double(h) + double((r1 % 8) - 4) * 0.1 * 0.39269908169872414 / double(g / 64.0f) +
                         double(k) * 0.7853981633974483;
        p.x = float(double(g) * std::cos(a));
        p.y = float(double(g) * std::sin(a));
      } else {
        // Radius 0: the jitter would divide by zero, and any angle gives the centre.
        p.x = 0.0f;
        p.y = 0.0f;
      }
      p.z = float(2.0 * double((r2 % 3) - 1) / (0.1 + double(g / 128.0f)));
      stars->size[s * GALAXY_ARMS + k] = 32.0f - g / 4.0f;
    }
    g += 1.3333334f;
    h += float(0.008181230868723419);
  }
}

void galaxy_draw_stars(galaxy_state* g, float cx, float cy) {
  galaxy_stars* stars = g->stars;
  const float a = 1.5707963267948966f + 0.5235987755982988f * std::sin(g->tilt_phase);
  mat3 m;
  mat3_rotation_xyz(&m, -a, 0.0f, g->spin);
  mat3_transform_array(stars->transformed, stars->position, GALAXY_STARS, &m);
  const float scale = 2.0f * g->zoom;
  for (int32_t arm = 0; arm < GALAXY_ARMS; arm++) {
    for (int32_t i = 0; i < GALAXY_RINGS && float(i) < g->stars_per_arm; i++) {
      const int32_t n = i * GALAXY_ARMS + arm;
      const vec3& t = stars->transformed[n];
      const int32_t x = raster_trunc(cx + float(raster_trunc(scale * t.x)));
      const int32_t y = raster_trunc(cy + float(raster_trunc(scale * t.y)));
      add_sprite_scaled(x, y, g->frame, g->flare, scale * t.z, raster_trunc(g->size_factor * stars->size[n]));
    }
  }
}
