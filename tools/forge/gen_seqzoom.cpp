// The sequence zoomer's files: three round pictures seen through a log-polar
// plunge, each one opening out of the glowing centre of the one before, and
// three lens-flare sprites on black.
//
// The zoomer samples every picture on 200 circles about its centre (radius 0
// to 199) at 256 angles, and shows circle i as a ring whose screen radius
// grows exponentially with i. So the pictures are drawn in polar terms:
// features are rings and spokes, fine detail in angle is pointless beyond 256
// steps, and each picture's rim has the colour of the previous one's centre.
#include "art_blur.h"
#include "art_lettering.h"
#include "art_noise.h"
#include "art_quantise.h"
#include "art_text.h"
#include "opening_art.h"

namespace {
constexpr int32_t zoom_size = 400; // radius 199 fits strictly inside
constexpr float zoom_centre = 200.0f;
constexpr float two_pi = 6.2831853f;

// The colours where the pictures meet: the first picture's centre is the
// second's rim, the second's centre the last one's rim.
const art_colour gate_glow = art_rgb(255, 178, 92);
const art_colour iris_glow = art_rgb(205, 232, 255);

// Polar position of a pixel: radius in pixels and angle as a fraction of a
// turn (0 to 1, clockwise from the right as the screen shows it).
struct polar_at {
  float r;
  float turn;
};

polar_at polar_of(int32_t x, int32_t y) {
  const float dx = float(x) + 0.5f - zoom_centre, dy = float(y) + 0.5f - zoom_centre;
  float turn = std::atan2(dy, dx) / two_pi;
  if (turn < 0)
    turn += 1.0f;
  return {std::sqrt(dx * dx + dy * dy), turn};
}

// A smooth bump: 1 at the centre of [a, b], 0 at and beyond its ends.
float band(float v, float a, float b) {
  if (v <= a || v >= b)
    return 0;
  const float t = (v - a) / (b - a);
  return std::sin(t * 3.1415927f);
}

// Fractal noise that repeats once around the circle: `cells` lattice cells
// per turn, radius scaled by `scale` pixels per cell.
float ring_noise(const art_fractal* f, polar_at p, float scale) {
  return art_fractal_at(f, p.turn * float(f->period), p.r / scale);
}

int push_jpeg(const std::string& name, const art_canvas* c, std::vector<forge_file>* out, std::string* error) {
  forge_picture pic;
  art_canvas_to_picture(c, &pic, true);
  jpeg_options options;
  options.quality = 92;
  options.full_chroma = true;
  forge_file file;
  return opening_push(out, forge_make_jpeg(name, &pic, &options, &file, error), &file);
}

// Picture 1, the gate: deep space at the rim (where the fly-in's sky meets
// it), a chrome ring set with twelve warm lamps, a violet and blue vortex
// of spiral arms, and a warm glow at the heart.
void gate_canvas(art_canvas* c) {
  art_canvas_init(c, zoom_size, zoom_size);
  art_fractal cloud;
  cloud.octaves = 4;
  cloud.period = 8;
  cloud.seed = 0x5E01;
  art_fractal wisp = cloud;
  wisp.kind = ART_FRACTAL_RIDGED;
  wisp.period = 16;
  wisp.seed = 0x5E02;
  const art_ramp chrome = art_ramp_chrome();
  const art_ramp vortex = {{{0.0f, art_rgb(8, 6, 30)},
                            {0.35f, art_rgb(40, 22, 96)},
                            {0.6f, art_rgb(92, 48, 170)},
                            {0.8f, art_rgb(70, 110, 230)},
                            {1.0f, art_rgb(200, 190, 255)}}};
  for (int32_t y = 0; y < zoom_size; y++)
    for (int32_t x = 0; x < zoom_size; x++) {
      const polar_at p = polar_of(x, y);
      const float r = p.r;
      // Space at the rim.
      art_colour px = art_mix(art_rgb(5, 6, 24), art_rgb(2, 2, 12), art_clamp01((r - 185.0f) / 20.0f));
      // The vortex: spiral arms whose clouds thin out towards the ring.
      const float inside = 1.0f - art_smoothstep(120.0f, 152.0f, r);
      if (inside > 0) {
        const float arms = 0.5f + 0.5f * std::sin(two_pi * (5.0f * p.turn) + r * 0.11f);
        const float n = 0.5f + 0.5f * ring_noise(&cloud, p, 30.0f);
        const float w = ring_noise(&wisp, p, 14.0f);
        const float density = art_clamp01((0.55f * arms + 0.6f * n * n + 0.35f * w * w) * inside);
        px = art_mix(px, art_ramp_at(&vortex, density), inside);
        // Rings of light marking the depth, evenly spaced like a tunnel's ribs.
        const float rib = std::pow(0.5f + 0.5f * std::cos(r * two_pi / 18.0f), 24.0f) * inside;
        px = art_add(px, art_scale(art_rgb(120, 90, 255), rib * 0.35f));
      }
      // The chrome ring: a torus section lit from the upper left.
      const float ring = band(r, 150.0f, 186.0f);
      if (ring > 0) {
        const float across = (r - 150.0f) / 36.0f;
        const float lit = 0.5f + 0.5f * std::cos(two_pi * (p.turn - 0.625f));
        art_colour metal = art_ramp_at(&chrome, art_clamp01(across * 0.8f + 0.1f + 0.15f * lit));
        metal = art_scale(metal, 0.55f + 0.45f * lit);
        const float edge = art_clamp01(ring * 4.0f);
        px = art_mix(px, metal, edge);
        // Grooves at a third and two thirds across.
        const float groove = band(across, 0.3f, 0.36f) + band(across, 0.64f, 0.7f);
        px = art_scale(px, 1.0f - 0.6f * groove);
      }
      // Twelve lamps set into the ring.
      const float lamp_turn = p.turn * 12.0f - std::floor(p.turn * 12.0f) - 0.5f;
      const float lamp_d = std::hypot(lamp_turn * two_pi * r / 12.0f, r - 168.0f);
      px = art_add(px, art_scale(art_rgb(255, 150, 60), std::exp(-lamp_d * lamp_d / 18.0f) * 1.2f));
      px = art_add(px, art_scale(art_rgb(255, 120, 40), std::exp(-lamp_d * lamp_d / 120.0f) * 0.35f));
      // The heart: warm light that the next picture opens out of.
      const float heart = std::exp(-r * r / (2.0f * 22.0f * 22.0f));
      px = art_mix(px, gate_glow, art_clamp01(heart * 1.15f));
      art_px(c, x, y) = px;
    }
  // Stars in the space at the rim only.
  art_canvas stars;
  art_canvas_init(&stars, zoom_size, zoom_size, art_rgb(0, 0, 0));
  art_starfield(&stars, 160, art_rgb(170, 190, 255), art_rgb(255, 210, 160), 0x5E03);
  for (int32_t y = 0; y < zoom_size; y++)
    for (int32_t x = 0; x < zoom_size; x++) {
      const float keep = art_smoothstep(184.0f, 190.0f, polar_of(x, y).r);
      if (keep > 0)
        art_px(c, x, y) = art_add(art_px(c, x, y), art_scale(art_px(&stars, x, y), keep));
    }
}

// Picture 2, the flower: its rim glows with the gate's heart, then flame
// petals in orange, magenta and purple, a ring of blue glass beads, an iris
// of fine blue fibres and a pale heart.
void flower_canvas(art_canvas* c) {
  art_canvas_init(c, zoom_size, zoom_size);
  art_fractal fibre;
  fibre.octaves = 3;
  fibre.period = 64;
  fibre.seed = 0x5E11;
  art_fractal flame;
  flame.octaves = 4;
  flame.period = 16;
  flame.seed = 0x5E12;
  flame.kind = ART_FRACTAL_TURBULENCE;
  const art_ramp petal = {{{0.0f, art_rgb(60, 14, 70)},
                           {0.35f, art_rgb(170, 40, 130)},
                           {0.7f, art_rgb(245, 110, 70)},
                           {1.0f, art_rgb(255, 200, 120)}}};
  const art_ramp iris = {{{0.0f, art_rgb(10, 20, 70)},
                          {0.5f, art_rgb(40, 100, 210)},
                          {0.8f, art_rgb(110, 190, 255)},
                          {1.0f, art_rgb(220, 240, 255)}}};
  const art_vec3 light = art_normalise({-0.5f, -0.6f, 0.65f});
  for (int32_t y = 0; y < zoom_size; y++)
    for (int32_t x = 0; x < zoom_size; x++) {
      const polar_at p = polar_of(x, y);
      const float r = p.r;
      art_colour px = art_rgb(30, 8, 40);
      // Petals: sixteen tongues of flame reaching out to the rim (which the
      // glow below covers whole from radius 197).
      if (r > 96.0f && r < 197.0f) {
        const float turb = ring_noise(&flame, p, 26.0f);
        const float wave = 0.5f + 0.5f * std::cos(two_pi * 16.0f * p.turn + 0.9f * turb);
        const float along = art_clamp01((r - 100.0f) / 100.0f); // 0 at the base, 1 at the rim
        const float shape = art_smoothstep(along * 0.9f, along * 0.9f + 0.25f, wave);
        px = art_mix(px, art_ramp_at(&petal, art_clamp01(along * 0.8f + 0.25f * wave + 0.15f * turb)),
                     shape * art_smoothstep(96.0f, 110.0f, r));
      }
      // The rim: the gate's warm heart, fading into the petals.
      px = art_mix(px, gate_glow, art_smoothstep(168.0f, 197.0f, r));
      // Glass beads: 24 little spheres on a dark ring.
      const float bead_ring = band(r, 72.0f, 104.0f);
      if (bead_ring > 0) {
        px = art_mix(px, art_rgb(16, 8, 36), art_clamp01(bead_ring * 3.0f));
        const float k = p.turn * 24.0f - std::floor(p.turn * 24.0f) - 0.5f;
        const float bx = k * two_pi * 88.0f / 24.0f, by = r - 88.0f;
        const float d = std::sqrt(bx * bx + by * by) / 10.0f;
        if (d < 1.0f) {
          // The bead's normal in the picture's own axes.
          const float ca = std::cos(two_pi * p.turn), sa = std::sin(two_pi * p.turn);
          const float nx = (by * ca - bx * sa) / 10.0f, ny = (by * sa + bx * ca) / 10.0f;
          const float nz = std::sqrt(std::max(0.0f, 1.0f - nx * nx - ny * ny));
          const float lambert = std::max(0.0f, nx * light.x + ny * light.y + nz * light.z);
          const float shine = std::pow(std::max(0.0f, 2.0f * nz * lambert - light.z), 30.0f);
          art_colour glass = art_mix(art_rgb(20, 40, 150), art_rgb(120, 170, 255), lambert);
          glass = art_add(glass, art_scale(art_rgb(255, 240, 220), shine));
          glass = art_add(glass, art_scale(art_rgb(255, 140, 60), std::pow(1.0f - nz, 3.0f) * 0.5f));
          px = art_mix(px, glass, art_clamp01((1.0f - d) * 8.0f));
        }
      }
      // The iris: radial fibres, brighter towards the heart.
      const float in_iris = 1.0f - art_smoothstep(62.0f, 74.0f, r);
      if (in_iris > 0) {
        const float f = 0.5f + 0.5f * art_fractal_at(&fibre, p.turn * 64.0f, r / 40.0f);
        const float t = art_clamp01(0.15f + 0.7f * f * f + 0.4f * (1.0f - r / 70.0f));
        art_colour ir = art_ramp_at(&iris, t);
        // A dark collar and a bright ring a third of the way in.
        ir = art_scale(ir, 1.0f - 0.55f * band(r, 52.0f, 70.0f));
        ir = art_add(ir, art_scale(art_rgb(255, 160, 80), band(r, 36.0f, 44.0f) * 0.5f));
        px = art_mix(px, ir, in_iris);
      }
      // The pale heart the last picture opens out of.
      const float heart = std::exp(-r * r / (2.0f * 16.0f * 16.0f));
      px = art_mix(px, iris_glow, art_clamp01(heart * 1.15f));
      art_px(c, x, y) = px;
    }
}

// The text set round the last picture's ring, read clockwise with the tops
// of the letters outwards.
const char* const ring_text = "VORLANE \xE2\x80\xA2 PEXIL \xE2\x80\xA2 ";

// Picture 3, the last one, where the plunge comes to rest: a pale rim, a
// band of deep blue glass lettered in chrome and orange, a chrome ring, and
// a dark orb with a warm horizon in the middle. Seen at the end over screen
// radii of about 46 to 220, which show picture radii 0 to 187.
int lastpic_canvas(art_canvas* c) {
  art_canvas_init(c, zoom_size, zoom_size);
  art_text_style style;
  style.font = "DejaVuSans-Bold.ttf";
  style.size = 26;
  style.tracking = 2;
  art_text text;
  if (!art_text_render(&style, ring_text, 4, &text) || text.advance <= 0)
    return 0;
  art_field letters = text.mask;
  art_field outline = letters;
  art_mask_dilate(&outline, 1.5f);
  art_field glow = outline;
  art_blur(&glow, 3.0f, false);
  // Letters between picture radii 92 and 120: baseline at 93, the mask's
  // rows running inwards as the radius grows.
  const float baseline_r = 93.0f;
  const art_ramp chrome = art_ramp_chrome();
  const art_ramp glass = {{{0.0f, art_rgb(6, 10, 40)}, {0.5f, art_rgb(20, 30, 96)}, {1.0f, art_rgb(8, 12, 44)}}};
  art_fractal swirl;
  swirl.octaves = 4;
  swirl.period = 8;
  swirl.seed = 0x5E21;
  const art_ramp orb = {{{0.0f, art_rgb(255, 190, 110)},
                         {0.12f, art_rgb(220, 90, 70)},
                         {0.3f, art_rgb(90, 40, 130)},
                         {0.7f, art_rgb(22, 18, 80)},
                         {1.0f, art_rgb(6, 6, 26)}}};
  for (int32_t y = 0; y < zoom_size; y++)
    for (int32_t x = 0; x < zoom_size; x++) {
      const polar_at p = polar_of(x, y);
      const float r = p.r;
      // Outer field: from the flower's pale heart at the rim to deep blue,
      // with slow clouds.
      const float n = r > 120.0f ? 0.5f + 0.5f * ring_noise(&swirl, p, 28.0f) : 0.0f;
      art_colour px = art_mix(art_rgb(14, 18, 70), art_rgb(60, 40, 140), n * art_smoothstep(120.0f, 175.0f, r));
      px = art_mix(px, iris_glow, art_smoothstep(170.0f, 198.0f, r));
      // Spokes of light between the text band and the rim.
      const float spoke = std::pow(0.5f + 0.5f * std::cos(two_pi * 16.0f * p.turn), 12.0f);
      px = art_add(px, art_scale(art_rgb(110, 120, 255), spoke * band(r, 122.0f, 176.0f) * 0.35f));
      // The glass band behind the letters, with chrome edges.
      const float glass_band = band(r, 86.0f, 124.0f);
      if (glass_band > 0)
        px = art_mix(px, art_ramp_at(&glass, (r - 86.0f) / 38.0f), art_clamp01(glass_band * 6.0f));
      const float edge = band(r, 84.0f, 89.0f) + band(r, 121.0f, 126.0f);
      if (edge > 0) {
        const float lit = 0.5f + 0.5f * std::cos(two_pi * (p.turn - 0.625f));
        px = art_mix(px, art_ramp_at(&chrome, art_clamp01(0.25f + 0.5f * lit)), art_clamp01(edge * 2.0f));
      }
      // The letters: the mask wrapped once round the circle.
      const float mx = float(text.left) + p.turn * text.advance;
      const float my = float(text.baseline) - (r - baseline_r) * 0.95f;
      if (my > -1.0f && my < float(letters.height)) {
        const float g = art_field_sample(&glow, mx, my, false);
        const float o = art_field_sample(&outline, mx, my, false);
        const float l = art_field_sample(&letters, mx, my, false);
        px = art_add(px, art_scale(art_rgb(255, 130, 40), g * 0.6f));
        px = art_mix(px, art_rgb(10, 6, 30), o);
        const float up = art_clamp01((my - float(text.baseline) + 18.0f) / 20.0f);
        px = art_mix(px, art_ramp_at(&chrome, up), l);
      }
      // The orb in the middle: warm on its lower half like a sunrise, with
      // a thin chrome ring round it.
      const float in_orb = 1.0f - art_smoothstep(70.0f, 74.0f, r);
      if (in_orb > 0) {
        const float dy = (float(y) + 0.5f - zoom_centre) / 72.0f;
        const float t = art_clamp01(0.5f - 0.5f * dy + 0.25f * (r / 72.0f) * (r / 72.0f));
        art_colour o = art_ramp_at(&orb, t);
        o = art_add(o, art_scale(art_rgb(120, 130, 255), std::pow(r / 72.0f, 6.0f) * 0.5f));
        px = art_mix(px, o, in_orb);
      }
      const float rim = band(r, 72.0f, 80.0f);
      px = art_mix(px, art_ramp_at(&chrome, art_clamp01((r - 72.0f) / 8.0f)), rim);
      art_px(c, x, y) = px;
    }
  return 1;
}

int seqzoom_gate(std::vector<forge_file>* out, std::string* error) {
  art_canvas c;
  gate_canvas(&c);
  return push_jpeg("data/seqzoom/p1.jpg", &c, out, error);
}

int seqzoom_flower(std::vector<forge_file>* out, std::string* error) {
  art_canvas c;
  flower_canvas(&c);
  return push_jpeg("data/seqzoom/p2.jpg", &c, out, error);
}

int seqzoom_lastpic(std::vector<forge_file>* out, std::string* error) {
  art_canvas c;
  if (!lastpic_canvas(&c)) {
    *error = "data/seqzoom/lastpic.pcx: cannot set the ring's text";
    return 0;
  }
  forge_picture pic;
  art_canvas_to_picture(&c, &pic, true);
  forge_file file;
  return opening_push(out, forge_make_pcx24("data/seqzoom/lastpic.pcx", &pic, &file, error), &file);
}

// A lens-flare sprite, 128 x 128, added over the picture at any size from 8
// to 512 pixels: a hot core, a halo, optional streaks and a ghost ring, all
// fading to exact black well inside the square.
struct flare_look {
  art_colour core, halo, ring_colour;
  float core_size; // fraction of the half side
  float halo_size;
  float halo_level;
  int32_t rays;
  float ray_angle;
  float ring_at; // fraction of the half side, 0 for none
  float ring_level;
};

int seqzoom_flare(int32_t which, const flare_look& look, std::vector<forge_file>* out, std::string* error) {
  const int32_t size = 128;
  art_canvas c;
  art_canvas_init(&c, size, size);
  for (int32_t y = 0; y < size; y++)
    for (int32_t x = 0; x < size; x++) {
      const float dx = (float(x) + 0.5f) / 64.0f - 1.0f, dy = (float(y) + 0.5f) / 64.0f - 1.0f;
      const float d = std::sqrt(dx * dx + dy * dy);
      const float fade = 1.0f - art_smoothstep(0.6f, 0.97f, d);
      art_colour p = art_scale(look.core, std::exp(-d * d / (look.core_size * look.core_size)));
      p = art_add(p, art_scale(look.halo, look.halo_level * std::exp(-d * d / (look.halo_size * look.halo_size))));
      if (look.rays > 0) {
        const float a = std::atan2(dy, dx) - look.ray_angle;
        const float streak = std::pow(std::fabs(std::cos(a * float(look.rays) * 0.5f)), 80.0f);
        p = art_add(p, art_scale(look.core, streak * 0.7f * std::max(0.0f, 1.0f - d / 0.9f)));
      }
      if (look.ring_at > 0) {
        const float e = (d - look.ring_at) / 0.035f;
        p = art_add(p, art_scale(look.ring_colour, look.ring_level * std::exp(-e * e)));
        // A faint disc inside the ghost ring.
        p = art_add(p,
                    art_scale(look.ring_colour, 0.05f * (1.0f - art_smoothstep(look.ring_at - 0.1f, look.ring_at, d))));
      }
      art_px(&c, x, y) = art_scale(p, fade);
    }
  char name[48];
  std::snprintf(name, sizeof name, "data/seqzoom/flares/flare%d.gif", int(which));
  return opening_sprite_gif(name, &c, out, error);
}

// Warm starburst, blue-violet ghost ring, and a soft round white-cyan glow
// (no streaks, no ring: the diffuse cube builds its clouds of light from it).
const flare_look flare_looks[3] = {
    {art_rgb(255, 236, 190), art_rgb(255, 120, 40), art_rgb(0, 0, 0), 0.07f, 0.32f, 0.35f, 6, 0.3f, 0, 0},
    {art_rgb(200, 200, 255), art_rgb(80, 60, 220), art_rgb(120, 110, 255), 0.05f, 0.25f, 0.3f, 0, 0, 0.62f, 0.4f},
    {art_rgb(230, 250, 255), art_rgb(90, 170, 255), art_rgb(0, 0, 0), 0.28f, 0.5f, 0.45f, 0, 0, 0, 0},
};
} // namespace

void forge_gen_seqzoom(forge_plan* plan) {
  forge_plan_add(plan, "zoomer gate", seqzoom_gate);
  forge_plan_add(plan, "zoomer flower", seqzoom_flower);
  forge_plan_add(plan, "zoomer last picture", seqzoom_lastpic);
  for (int32_t k = 0; k < 3; k++)
    forge_plan_add(plan, "zoomer flare " + std::to_string(k + 1), [k](std::vector<forge_file>* out, std::string* e) {
      return seqzoom_flare(k + 1, flare_looks[k], out, e);
    });
}
