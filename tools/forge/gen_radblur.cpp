// The radial-blur credits' files: the background the names fly over (a
// twilight valley whose bright horizon the blur turns into rays), the glowing
// dot the scroller is made of, the scroller's text and the fifteen name
// plates, the crew's roles and handles set in a bold face.
#include "art_blur.h"
#include "art_shape.h"
#include "art_text.h"
#include "opening_art.h"
#include "songs.h"

namespace {
constexpr int32_t frame_w = 320, frame_h = 240;

// The scroller: a window of h x h cells spread over 400 x 320 pixels; it
// moves 0.11 columns a tick and is gone for good past column w - h - 4.
constexpr int32_t text_rows = 32;
constexpr float text_window_w = 400, text_window_h = 320;
constexpr float text_columns_per_tick = 0.11f;
// Columns of scrolling kept in hand before the cross-fade into the mirror
// hall completes (which is 256 ticks after row 65 of order 12).
constexpr int32_t text_spare_columns = 4;
constexpr int32_t fade_ticks = 256;
const char* const text_phrase = "VORLANE";

// Name plates: at most this big, so that twice their size fits the frame.
constexpr int32_t plate_max_w = 150, plate_max_h = 60;

struct plate {
  const char* file;
  const char* word;
  bool role; // roles are set smaller, in the oblique
};
const plate plates[15] = {
    {"coding", "coding", true},    {"tamsk", "TAMSK", false},      {"quorin", "QUORIN", false},
    {"rimbel", "RIMBEL", false},   {"selvane", "SELVANE", false},  {"fobb", "FOBB", false},
    {"pannory", "PANNORY", false}, {"graphics", "graphics", true}, {"kestr", "KESTR", false},
    {"music", "music", true},      {"bulmo", "BULMO", false},      {"tirsa", "TIRSA", false},
    {"dolvek", "DOLVEK", false},   {"design", "design", true},     {"qex", "QEX", false},
};

art_text_style plate_style(bool role, float size) {
  art_text_style s;
  s.font = role ? "DejaVuSans-BoldOblique.ttf" : "DejaVuSans-Bold.ttf";
  s.size = size;
  s.tracking = role ? 0.5f : 1.5f;
  return s;
}

// The largest size (in half pixels) at which every word of a kind fits a
// plate with a pixel to spare on every side.
float plate_size(bool role, std::string* error) {
  for (float size = role ? 34.0f : 40.0f; size >= 8.0f; size -= 0.5f) {
    bool fits = true;
    for (const plate& p : plates) {
      if (p.role != role)
        continue;
      art_text t;
      const art_text_style s = plate_style(role, size);
      if (!art_text_render(&s, p.word, 1, &t)) {
        *error = std::string("name plates: cannot set \"") + p.word + "\" in " + art_font_path(s.font);
        return 0;
      }
      fits = fits && t.mask.width <= plate_max_w && t.mask.height <= plate_max_h;
    }
    if (fits)
      return size;
  }
  *error = "name plates: the words do not fit";
  return 0;
}

// A plate: the word's coverage as bytes, letters above 128.
int radblur_plates(std::vector<forge_file>* out, std::string* error) {
  const float role_size = plate_size(true, error), name_size = plate_size(false, error);
  if (role_size <= 0 || name_size <= 0)
    return 0;
  for (const plate& p : plates) {
    const art_text_style s = plate_style(p.role, p.role ? role_size : name_size);
    art_text t;
    if (!art_text_render(&s, p.word, 1, &t)) {
      *error = std::string("name plates: cannot set \"") + p.word + "\"";
      return 0;
    }
    scx_map map;
    art_field_to_scx(&t.mask, &map);
    forge_file file;
    if (!opening_push(out, forge_make_scx(std::string("data/radblur/") + p.file + ".scx", &map, &file, error), &file))
      return 0;
  }
  return 1;
}

// Ticks of the credits (from order 11) until their cross-fade into the
// mirror hall completes, on the main song's timeline.
int credits_fade_end(int32_t* ticks, std::string* error) {
  xm_song song;
  if (!song_main_build(&song, error))
    return 0;
  const std::vector<song_position> timeline = song_timeline(&song);
  int64_t start = -1, fade = -1;
  for (size_t i = 0; i < timeline.size(); i++) {
    const song_position& p = timeline[i];
    if (start < 0 && p.order >= 11)
      start = int64_t(i);
    if (fade < 0 && (p.order > 12 || (p.order == 12 && p.row >= 65)))
      fade = int64_t(i);
  }
  if (start < 0 || fade < 0) {
    *error = "scroller text: the song has no order 12";
    return 0;
  }
  *ticks = int32_t(fade - start) + fade_ticks;
  return 1;
}

// The scroller's text: the phrase set in dots, each bitmap cell one dot of
// the rotating window (12.5 x 10 pixels on screen for 32 rows). The phrase
// enters from the right edge of the window (h blank columns first) and has
// left it before the scroller ends, so the width follows the song: the
// scroller ends just before the cross-fade completes.
int radblur_text(std::vector<forge_file>* out, std::string* error) {
  int32_t ticks = 0;
  if (!credits_fade_end(&ticks, error))
    return 0;
  const int32_t h = text_rows;
  const int32_t end = int32_t(text_columns_per_tick * float(ticks)) - text_spare_columns;
  const int32_t w = end + h + 4;
  const int32_t span = end - h; // columns the phrase may take
  if (span < 16) {
    *error = "scroller text: the credits are too short for the phrase";
    return 0;
  }
  // Set large, then averaged over each cell: 4 x 4 samples per cell.
  constexpr int32_t k = 4;
  const float cell_w = text_window_w / float(h), cell_h = text_window_h / float(h);
  art_text_style style;
  style.font = "DejaVuSans-Bold.ttf";
  art_text t;
  // Capitals about 12 rows high, smaller if the phrase would not fit.
  for (float size = 16.5f * cell_h * k;; size *= 0.95f) {
    style.size = size;
    style.tracking = size * 0.08f;
    if (!art_text_render(&style, text_phrase, 0, &t)) {
      *error = std::string("scroller text: cannot set the phrase in ") + art_font_path(style.font);
      return 0;
    }
    const float columns = float(t.mask.width) / (cell_w * k);
    if (columns <= float(span) - 4.0f && float(t.mask.height) / (cell_h * k) <= float(h) - 4.0f)
      break;
    if (size < 20.0f) {
      *error = "scroller text: the phrase does not fit";
      return 0;
    }
  }
  // Cell averages of the coverage; the phrase centred in its columns and rows.
  const float x0 = float(h) + (float(span) - float(t.mask.width) / (cell_w * k)) / 2.0f;
  const float y0 = (float(h) - float(t.mask.height) / (cell_h * k)) / 2.0f;
  art_field cells;
  art_field_init(&cells, w, h);
  for (int32_t r = 0; r < h; r++)
    for (int32_t c = 0; c < w; c++) {
      float sum = 0;
      for (int32_t j = 0; j < k; j++)
        for (int32_t i = 0; i < k; i++) {
          const float mx = ((float(c) - x0) + (float(i) + 0.5f) / k) * cell_w * k;
          const float my = ((float(r) - y0) + (float(j) + 0.5f) / k) * cell_h * k;
          const int32_t ix = int32_t(std::floor(mx)), iy = int32_t(std::floor(my));
          if (ix >= 0 && iy >= 0 && ix < t.mask.width && iy < t.mask.height)
            sum += art_at(&t.mask, ix, iy);
        }
      art_at(&cells, c, r) = sum / float(k * k);
    }
  // A faint halo of the smallest dots round the letters, dots a little wider
  // than a cell inside (sizes 8 to 22 pixels: value / 4).
  art_field halo = cells;
  art_blur(&halo, 0.8f, false);
  scx_map map;
  map.width = w;
  map.height = h;
  map.pixels.assign(size_t(w) * size_t(h), 0);
  for (int32_t r = 0; r < h; r++)
    for (int32_t c = 0; c < w; c++) {
      const float v = art_at(&cells, c, r), g = art_at(&halo, c, r);
      uint8_t& px = map.pixels[size_t(r) * size_t(w) + size_t(c)];
      if (v >= 0.3f)
        px = uint8_t(std::lround(60.0f + 28.0f * art_clamp01((v - 0.3f) / 0.7f)));
      else if (g >= 0.12f)
        px = uint8_t(std::lround(32.0f + 8.0f * art_clamp01((g - 0.12f) / 0.3f)));
    }
  forge_file file;
  return opening_push(out, forge_make_scx("data/radblur/text.scx", &map, &file, error), &file);
}

// The scroller's dot: a hot white core in a warm glow, black at the edge.
int radblur_flare(std::vector<forge_file>* out, std::string* error) {
  const int32_t size = 32;
  art_canvas c;
  art_canvas_init(&c, size, size);
  for (int32_t y = 0; y < size; y++)
    for (int32_t x = 0; x < size; x++) {
      const float dx = (float(x) + 0.5f) / 16.0f - 1.0f, dy = (float(y) + 0.5f) / 16.0f - 1.0f;
      const float d = std::sqrt(dx * dx + dy * dy);
      const float fade = 1.0f - art_smoothstep(0.55f, 0.95f, d);
      art_colour p = art_scale(art_rgb(230, 220, 200), std::exp(-d * d / 0.03f));
      p = art_add(p, art_scale(art_rgb(255, 130, 50), 0.5f * std::exp(-d * d / 0.1f)));
      p = art_add(p, art_scale(art_rgb(150, 60, 170), 0.25f * std::exp(-d * d / 0.3f)));
      art_px(&c, x, y) = art_scale(p, fade);
    }
  return opening_sprite_gif("data/radblur/flare.gif", &c, out, error);
}

// Top of a mountain ridge at x: sharp crests of a ridged fractal line.
float ridge_height(const art_fractal* f, float x, float base, float rise, float scale) {
  return base - rise * std::pow(art_clamp01(art_fractal_at(f, x / scale, 0.37f) * 1.3f - 0.1f), 1.6f);
}

// The background: a twilight valley. Stars and a pale moon high in a deep
// blue sky, warm light low behind three ridges of mountains fading into
// haze, and a glowing lake below them that mirrors the sky. Dark at the top,
// where the names read best.
int radblur_background(std::vector<forge_file>* out, std::string* error) {
  art_canvas c;
  art_canvas_init(&c, frame_w, frame_h);
  const float horizon = 150.0f;
  const art_ramp sky = {{{0.0f, art_rgb(4, 5, 22)},
                         {0.35f, art_rgb(14, 12, 52)},
                         {0.52f, art_rgb(52, 22, 84)},
                         {0.6f, art_rgb(150, 60, 90)},
                         {0.63f, art_rgb(240, 140, 70)},
                         {0.66f, art_rgb(60, 24, 70)},
                         {1.0f, art_rgb(6, 6, 24)}}};
  art_gradient_linear(&c, 0, 0, 0, float(frame_h), &sky);
  art_canvas stars;
  art_canvas_init(&stars, frame_w, frame_h);
  art_starfield(&stars, 170, art_rgb(160, 180, 255), art_rgb(255, 210, 170), 0x3D1);
  art_fractal cloud;
  cloud.octaves = 5;
  cloud.seed = 0x6A2;
  for (int32_t y = 0; y < frame_h; y++)
    for (int32_t x = 0; x < frame_w; x++) {
      const float fx = float(x) + 0.5f, fy = float(y) + 0.5f;
      art_colour& p = art_px(&c, x, y);
      const float high = 1.0f - art_smoothstep(horizon - 70.0f, horizon - 20.0f, fy);
      p = art_add(p, art_scale(art_px(&stars, x, y), 0.8f * high));
      // Thin clouds lit from below near the horizon.
      const float n = art_clamp01(art_fractal_at(&cloud, fx / 60.0f, fy / 14.0f) * 1.2f + 0.1f);
      const float band = std::exp(-std::pow((fy - (horizon - 38.0f)) / 22.0f, 2.0f));
      p = art_add(p, art_scale(art_rgb(200, 90, 110), n * band * 0.35f));
    }
  // The moon, with a halo.
  art_flare_params halo;
  halo.radius = 60;
  halo.core = 0.05f;
  halo.intensity = 0.35f;
  art_flare(&c, 232, 52, art_rgb(150, 160, 255), &halo);
  for (int32_t y = 30; y < 76; y++)
    for (int32_t x = 210; x < 256; x++) {
      const float cover = opening_disc_cover(float(x) + 0.5f, float(y) + 0.5f, 232, 52, 13);
      const float shade = 0.8f + 0.2f * art_fractal_at(&cloud, float(x) / 5.0f, float(y) / 5.0f);
      art_blend(&art_px(&c, x, y), art_scale(art_rgb(235, 230, 250), shade), cover, ART_BLEND_OVER);
    }
  // The sun's glow behind the mountains.
  art_flare_params sun;
  sun.radius = 110;
  sun.core = 0.08f;
  sun.intensity = 0.9f;
  art_flare(&c, 118, horizon - 4.0f, art_rgb(255, 150, 70), &sun);

  // Three ridges, far to near: lighter and hazier far away.
  struct ridge {
    float base, rise, scale;
    uint32_t seed;
    art_colour colour;
  };
  const ridge ridges[3] = {{horizon, 80, 90, 0x1B3, art_rgb(62, 32, 86)},
                           {horizon, 52, 60, 0x2C4, art_rgb(30, 16, 52)},
                           {horizon + 2, 26, 40, 0x3D5, art_rgb(10, 7, 22)}};
  for (const ridge& r : ridges) {
    art_fractal f;
    f.kind = ART_FRACTAL_RIDGED;
    f.octaves = 6;
    f.seed = r.seed;
    for (int32_t x = 0; x < frame_w; x++) {
      const float top = ridge_height(&f, float(x) + 0.5f, r.base, r.rise, r.scale);
      for (int32_t y = 0; y < int32_t(horizon) + 3; y++) {
        const float cover = art_clamp01(float(y) + 1.0f - top);
        if (cover <= 0)
          continue;
        // A rim of warm light along the crest.
        const float rim = std::exp(-(float(y) - top) / 2.5f) * 0.45f;
        art_colour col = art_add(r.colour, art_scale(art_rgb(255, 140, 80), rim * (r.rise > 60 ? 0.5f : 0.8f)));
        art_blend(&art_px(&c, x, y), col, cover, ART_BLEND_OVER);
      }
    }
  }
  // The lake: the sky and mountains mirrored, darker and rippled.
  const int32_t mirror = int32_t(horizon) + 3;
  for (int32_t y = mirror; y < frame_h; y++)
    for (int32_t x = 0; x < frame_w; x++) {
      const float depth = float(y - mirror);
      const float ripple = 2.0f * std::sin(depth * 0.9f + 0.3f * std::sin(float(x) * 0.07f)) * (0.3f + depth / 60.0f);
      const float sy = std::clamp(float(mirror) - depth * 1.1f - 1.0f + ripple, 0.0f, float(mirror - 1));
      const float sx = std::clamp(float(x) + ripple * 0.5f, 0.0f, float(frame_w - 1));
      const art_colour s = art_canvas_sample(&c, sx, sy, false);
      art_px(&c, x, y) = art_add(art_scale(s, 0.55f - 0.25f * depth / 90.0f), art_rgb(3, 3, 14));
    }
  art_vignette(&c, 0.45f, 0.5f, 1.1f);
  forge_picture pic;
  art_canvas_to_picture(&c, &pic, true);
  jpeg_options options;
  options.quality = 90;
  forge_file file;
  return opening_push(out, forge_make_jpeg("data/radblur/morvat.jpg", &pic, &options, &file, error), &file);
}
} // namespace

void forge_gen_radblur(forge_plan* plan) {
  forge_plan_add(plan, "credits background", radblur_background);
  forge_plan_add(plan, "credits dot", radblur_flare);
  forge_plan_add(plan, "credits scroller text", radblur_text);
  forge_plan_add(plan, "credits name plates", radblur_plates);
}
