#include "rimbel_art.h"

#include "art_glow.h"
#include "art_light.h"
#include "art_noise.h"
#include "art_ramp.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float PI = 3.14159265358979f;

float gauss(float d, float width) { return std::exp(-d * d / (width * width)); }

// Unit coordinates of a pixel centre: -1 to 1 across the picture.
float unit(int32_t i, int32_t n) { return (float(i) + 0.5f) / float(n) * 2.0f - 1.0f; }

// Distance from the centre of a regular hexagon with flat top and bottom,
// scaled so that the flat sides lie at 1.
float hex_distance(float x, float y) {
  x = std::fabs(x);
  y = std::fabs(y);
  return std::max(y, x * 0.8660254f + y * 0.5f);
}

} // namespace

void rimbel_art_water(art_canvas* c) {
  const int32_t n = 256;
  art_canvas_init(c, n, n);
  const art_ramp depth = {{{0.00f, art_rgb(4, 8, 34)},
                           {0.30f, art_rgb(26, 18, 84)},
                           {0.52f, art_rgb(18, 78, 150)},
                           {0.72f, art_rgb(60, 160, 215)},
                           {0.90f, art_rgb(185, 232, 255)},
                           {1.00f, art_rgb(250, 252, 255)}}};
  art_fractal warp;
  warp.octaves = 4;
  warp.seed = 0x5A77;
  art_fractal ripples = warp;
  ripples.seed = 0x0EE1;
  const art_vec3 sun = art_normalise({-0.35f, 0.75f, 0.55f});
  const art_vec3 glint = art_normalise({0.55f, -0.55f, 0.62f});
  for (int32_t y = 0; y < n; y++)
    for (int32_t x = 0; x < n; x++) {
      float nx = unit(x, n), ny = unit(y, n); // ny: the outward normal's up
      const float d2 = nx * nx + ny * ny;
      if (d2 > 1) {
        const float k = 1.0f / std::sqrt(d2);
        nx *= k;
        ny *= k;
      }
      const art_vec3 normal = {nx, ny, std::sqrt(std::max(0.0f, 1.0f - nx * nx - ny * ny))};
      const float t = 0.5f + 0.5f * ny;
      art_colour p = art_ramp_at(&depth, t);
      // Caustics: the net of a cellular pattern, bent by a fractal, brightest
      // on what lies above.
      const float wx = float(x) / 40.0f + 0.6f * art_fractal_at(&warp, float(x) / 70.0f, float(y) / 70.0f);
      const float wy = float(y) / 40.0f + 0.6f * art_fractal_at(&warp, float(y) / 70.0f + 7.0f, float(x) / 70.0f);
      float f1 = 0, f2 = 0;
      art_cellular(wx, wy, 0xCA57, 0, &f1, &f2);
      const float net = 1.0f - art_smoothstep(0.0f, 0.09f, f2 - f1);
      p = art_add(p, art_scale(art_rgb(150, 230, 255), net * 0.75f * art_smoothstep(-0.4f, 0.9f, ny)));
      // Violet swell in the deep.
      const float swell = art_clamp01(0.5f + art_fractal_at(&ripples, float(x) / 50.0f, float(y) / 24.0f));
      p = art_add(p, art_scale(art_rgb(90, 36, 150), swell * (1.0f - t) * 0.45f));
      // The sun above and an orange glint from below.
      p = art_add(p, art_scale(art_rgb(255, 214, 160), std::pow(std::max(0.0f, art_dot(normal, sun)), 60.0f)));
      p = art_add(p, art_scale(art_rgb(255, 120, 40), 0.6f * std::pow(std::max(0.0f, art_dot(normal, glint)), 30.0f)));
      art_px(c, x, y) = p;
    }
}

void rimbel_art_disc(art_canvas* c) {
  const int32_t n = 256;
  art_canvas_init(c, n, n);
  const art_ramp chrome = art_ramp_chrome();
  art_fractal brush;
  brush.octaves = 3;
  brush.period = 64;
  brush.seed = 0xD15C;
  for (int32_t y = 0; y < n; y++)
    for (int32_t x = 0; x < n; x++) {
      const float ux = unit(x, n), uy = unit(y, n);
      const float r = std::sqrt(ux * ux + uy * uy);
      float a = std::atan2(uy, ux);
      if (a < 0)
        a += 2 * PI;
      art_colour p;
      if (r < 0.8f) {
        // Behind the mirror: dark blue glass with faint rings.
        p = art_mix(art_rgb(8, 10, 36), art_rgb(30, 20, 70), r / 0.8f);
        p = art_add(p, art_scale(art_rgb(40, 50, 110), 0.3f * std::pow(std::fabs(std::sin(r * 60.0f)), 8.0f)));
      } else {
        // Brushed chrome: a reflection that turns with the angle, grain
        // along the circle, two engraved grooves.
        const float grain = art_fractal_at(&brush, a / (2 * PI) * 64.0f, r * 300.0f);
        const float t = 0.45f + 0.35f * std::sin(2.0f * a + 0.6f) + 0.08f * grain;
        p = art_ramp_at(&chrome, art_clamp01(t));
        for (float g : {0.87f, 0.925f}) {
          const float e = (r - g) / 0.006f;
          p = art_scale(p, 1.0f - 0.75f * gauss(e, 1.0f));
          p = art_add(p, art_scale(art_rgb(200, 210, 255), 0.35f * gauss(e - 1.6f, 0.7f)));
        }
        // The bright rim.
        p = art_add(p, art_scale(art_rgb(230, 236, 255), gauss((r - 0.975f) / 0.012f, 1.0f)));
        if (r > 0.995f)
          p = art_scale(p, 0.5f);
      }
      // The orange glow where the mirror meets the chrome.
      p = art_add(p, art_scale(art_rgb(255, 150, 60), gauss((r - 0.805f) / 0.01f, 1.0f)));
      p = art_add(p, art_scale(art_rgb(255, 90, 20), 0.45f * gauss((r - 0.805f) / 0.04f, 1.0f)));
      art_px(c, x, y) = p;
    }
}

void rimbel_art_hall(art_canvas* c) {
  const int32_t w = 512, h = 256;
  art_canvas_init(c, w, h);
  art_field cloud;
  art_field_init(&cloud, w, h);
  art_fractal nebula;
  nebula.octaves = 6;
  nebula.period = 8;
  nebula.seed = 0x4A11;
  art_field_fractal(&cloud, &nebula, 8.0f);
  art_field_normalise(&cloud);
  const art_ramp sky = {{{0.00f, art_rgb(3, 4, 18)},
                         {0.35f, art_rgb(16, 10, 48)},
                         {0.60f, art_rgb(44, 20, 96)},
                         {0.80f, art_rgb(30, 60, 150)},
                         {0.95f, art_rgb(210, 110, 70)},
                         {1.00f, art_rgb(255, 200, 140)}}};
  art_field_colourise(&cloud, &sky, c);
  art_starfield(c, 900, art_rgb(170, 190, 255), art_rgb(255, 210, 160), 0x57A5);
  // The lattice: 32 panels round, 16 from pole to pole.
  const float cols = 32, rows = 16;
  const art_ramp chrome = art_ramp_chrome();
  for (int32_t y = 0; y < h; y++)
    for (int32_t x = 0; x < w; x++) {
      const float u = (float(x) + 0.5f) / float(w) * cols, v = (float(y) + 0.5f) / float(h) * rows;
      const float fx = u - std::floor(u), fy = v - std::floor(v);
      // Distance to the panel's border in cell units, and to its corner.
      const float edge = std::min(std::min(fx, 1 - fx), std::min(fy, 1 - fy));
      const float cx = std::min(fx, 1 - fx), cy = std::min(fy, 1 - fy);
      const float corner = std::sqrt(cx * cx + cy * cy);
      art_colour& p = art_px(c, x, y);
      // Glass: the sky a little dimmed, with a diagonal sheen.
      p = art_scale(p, 0.85f);
      p = art_add(p, art_scale(art_rgb(90, 110, 200), 0.10f * art_smoothstep(0.6f, 1.4f, fx + fy)));
      // Chrome frame with a bevel: lit on the panel's upper side, a dark
      // seam in the middle.
      const float frame = 1.0f - art_smoothstep(0.045f, 0.06f, edge);
      if (frame > 0) {
        const float bevel = (fy < 0.5f ? 0.75f : 0.35f) + 0.15f * std::sin(u * 0.7f + v * 0.3f);
        art_colour metal = art_ramp_at(&chrome, art_clamp01(bevel));
        metal = art_scale(metal, 0.35f + 0.65f * art_smoothstep(0.0f, 0.02f, edge));
        p = art_mix(p, metal, frame);
      }
      // Orange lights at the crossings.
      p = art_add(p, art_scale(art_rgb(255, 215, 150), gauss(corner, 0.035f)));
      p = art_add(p, art_scale(art_rgb(255, 110, 30), 0.5f * gauss(corner, 0.12f)));
      // A band of warm lamps round the equator.
      const float band = (float(y) + 0.5f) / float(h) - 0.5f;
      if (std::fabs(band) < 0.04f) {
        const float lamp_u = u * 2.0f - std::floor(u * 2.0f) - 0.5f;
        const float lamp = gauss(std::sqrt(lamp_u * lamp_u + (band / 0.02f) * (band / 0.02f) * 0.25f), 0.22f);
        p = art_add(p, art_scale(art_rgb(255, 170, 80), 0.8f * lamp));
      }
      p = art_add(p, art_scale(art_rgb(255, 90, 30), 0.25f * gauss(band, 0.03f)));
    }
}

void rimbel_art_sprite(art_canvas* c, art_colour colour) {
  const int32_t n = 128;
  art_canvas_init(c, n, n);
  const art_colour hot = art_mix(colour, art_rgb(255, 255, 255), 0.7f);
  for (int32_t y = 0; y < n; y++)
    for (int32_t x = 0; x < n; x++) {
      const float ux = unit(x, n), uy = unit(y, n);
      const float d = std::sqrt(ux * ux + uy * uy);
      art_colour p = art_scale(art_rgb(255, 255, 255), gauss(d, 0.1f));
      p = art_add(p, art_scale(hot, 0.9f * gauss(d, 0.26f)));
      p = art_add(p, art_scale(colour, 0.7f * gauss(d, 0.55f)));
      art_px(c, x, y) = art_scale(p, 1.0f - art_smoothstep(0.7f, 0.98f, d));
    }
}

namespace {
enum flare_shape { FLARE_BURST, FLARE_DISC, FLARE_RING, FLARE_HEX };

struct flare_element {
  int32_t size;
  int32_t shape;
  art_colour colour;
  float level;
};

// Elements 1 to 15: the source (element 2) is a starburst; the ghosts along
// the line are discs, rings and hexagons in the show's colours.
const flare_element flare_elements[15] = {
    {64, FLARE_RING, art_rgb(255, 140, 60), 0.45f},  {128, FLARE_BURST, art_rgb(255, 170, 90), 1.0f},
    {24, FLARE_HEX, art_rgb(90, 140, 255), 0.35f},   {32, FLARE_DISC, art_rgb(160, 80, 255), 0.3f},
    {16, FLARE_DISC, art_rgb(255, 170, 80), 0.6f},   {48, FLARE_HEX, art_rgb(60, 200, 200), 0.22f},
    {40, FLARE_RING, art_rgb(170, 100, 255), 0.35f}, {32, FLARE_HEX, art_rgb(255, 130, 50), 0.3f},
    {56, FLARE_DISC, art_rgb(70, 110, 255), 0.22f},  {20, FLARE_DISC, art_rgb(200, 220, 255), 0.45f},
    {24, FLARE_HEX, art_rgb(190, 90, 255), 0.3f},    {64, FLARE_RING, art_rgb(80, 220, 180), 0.28f},
    {36, FLARE_DISC, art_rgb(255, 120, 40), 0.2f},   {80, FLARE_HEX, art_rgb(130, 80, 230), 0.16f},
    {96, FLARE_RING, art_rgb(255, 150, 70), 0.25f},
};
} // namespace

void rimbel_art_flare(art_canvas* c, int32_t k) {
  const flare_element& e = flare_elements[std::clamp(k, 1, 15) - 1];
  art_canvas_init(c, e.size, e.size);
  for (int32_t y = 0; y < e.size; y++)
    for (int32_t x = 0; x < e.size; x++) {
      const float ux = unit(x, e.size), uy = unit(y, e.size);
      const float d = std::sqrt(ux * ux + uy * uy);
      const float soft = 2.0f / float(e.size); // one pixel in unit coordinates
      float cover = 0;
      art_colour p;
      switch (e.shape) {
      case FLARE_BURST: {
        const float a = std::atan2(uy, ux);
        const float rays = std::pow(std::fabs(std::cos(a * 4.0f)), 60.0f) * std::max(0.0f, 1.0f - d);
        p = art_scale(art_rgb(255, 250, 235), gauss(d, 0.09f) + 0.6f * rays);
        p = art_add(p, art_scale(e.colour, 0.55f * gauss(d, 0.35f)));
        p = art_add(p, art_scale(art_rgb(120, 90, 255), 0.25f * gauss((d - 0.72f) / 0.05f, 1.0f)));
        p = art_scale(p, 1.0f - art_smoothstep(0.8f, 0.98f, d));
        break;
      }
      case FLARE_DISC:
        cover = 1.0f - art_smoothstep(0.85f - soft, 0.85f + soft, d);
        p = art_scale(e.colour, e.level * cover * (0.7f + 0.3f * d));
        break;
      case FLARE_RING:
        p = art_scale(e.colour, e.level * gauss((d - 0.78f) / 0.08f, 1.0f));
        p = art_add(p, art_scale(e.colour, 0.2f * e.level * (1.0f - art_smoothstep(0.6f, 0.78f, d))));
        break;
      default: {
        const float hd = hex_distance(ux, uy);
        cover = 1.0f - art_smoothstep(0.8f - soft, 0.8f + soft, hd);
        const float rim = gauss((hd - 0.78f) / 0.05f, 1.0f);
        p = art_scale(e.colour, e.level * (0.6f * cover + 0.5f * rim));
        break;
      }
      }
      art_px(c, x, y) = p;
    }
}

void rimbel_art_phong(uint8_t* table) {
  const art_vec3 light = art_normalise({-0.4f, -0.5f, 0.77f});
  const art_vec3 half = art_normalise({light.x, light.y, light.z + 1.0f});
  for (int32_t y = 0; y < 256; y++)
    for (int32_t x = 0; x < 256; x++) {
      const float nx = unit(x, 256), ny = unit(y, 256);
      const float nz = std::sqrt(std::max(0.0f, 1.0f - nx * nx - ny * ny));
      const art_vec3 n = {nx, ny, nz};
      const float lit = 24.0f + 150.0f * std::max(0.0f, art_dot(n, light)) +
                        80.0f * std::pow(std::max(0.0f, art_dot(n, half)), 24.0f);
      table[y * 256 + x] = uint8_t(std::clamp(lit, 0.0f, 255.0f));
    }
}
