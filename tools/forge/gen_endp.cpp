// The end part's files: the ripple texture (a dark, tiling sheet of glass
// cells with warm light in their seams) and the end screen, the show's
// credits, greetings and thanks set in a clear face over black, which
// scrolls up over the rippling picture.
#include "art_text.h"
#include "opening_art.h"

namespace {
constexpr int32_t texture_size = 256;
constexpr int32_t screen_w = 320;
// The screen scrolls 1,107 rows and shows 240 more; its last 240 rows are
// the closing page that stays while the picture fades out.
constexpr int32_t screen_h = 1107 + 240;
constexpr int32_t closing_top = 1107;

// The ripple texture: periodic cells and clouds, so the block filler's wrap
// shows no seam. Dark, so the end screen's letters read over it.
int endp_texture(std::vector<forge_file>* out, std::string* error) {
  art_canvas c;
  art_canvas_init(&c, texture_size, texture_size);
  art_fractal cloud;
  cloud.octaves = 5;
  cloud.period = 4;
  cloud.seed = 0xE4D;
  art_field clouds;
  art_field_init(&clouds, texture_size, texture_size);
  art_field_fractal(&clouds, &cloud, 4.0f);
  art_field_normalise(&clouds, 0, 1);
  const art_ramp deep = {{{0.0f, art_rgb(4, 4, 20)},
                          {0.45f, art_rgb(16, 12, 52)},
                          {0.75f, art_rgb(42, 20, 78)},
                          {1.0f, art_rgb(70, 34, 96)}}};
  constexpr int32_t cells = 6;
  for (int32_t y = 0; y < texture_size; y++)
    for (int32_t x = 0; x < texture_size; x++) {
      const float u = (float(x) + 0.5f) * cells / texture_size, v = (float(y) + 0.5f) * cells / texture_size;
      float f1 = 0, f2 = 0;
      art_cellular(u, v, 0x7B1, cells, &f1, &f2);
      const float seam = 1.0f - art_smoothstep(0.0f, 0.12f, f2 - f1);
      const float body = art_clamp01(0.35f + 0.65f * art_at(&clouds, x, y)) * (0.55f + 0.45f * art_clamp01(f1 * 1.4f));
      art_colour p = art_ramp_at(&deep, body);
      p = art_add(p, art_scale(art_rgb(255, 120, 50), 0.35f * seam * art_at(&clouds, x, y)));
      p = art_add(p, art_scale(art_rgb(90, 120, 255), 0.12f * seam));
      art_px(&c, x, y) = p;
    }
  forge_picture pic;
  art_canvas_to_picture(&c, &pic, true);
  forge_file file;
  return opening_push(out, forge_make_pcx24("data/endp/tmap.pcx", &pic, &file, error), &file);
}

// Kinds of line on the end screen.
enum line_kind : int32_t {
  LINE_TITLE,   // the show's name, large, warm
  LINE_HEADING, // a section's heading
  LINE_LABEL,   // a role above its names, a small line
  LINE_NAME,    // a name, bold and bright
  LINE_TEXT,    // running text
};

struct screen_line {
  int32_t kind;
  const char* text;
  float x;   // centre of the line
  int32_t y; // baseline
};

art_text_style line_style(int32_t kind) {
  art_text_style s;
  switch (kind) {
  case LINE_TITLE:
    s.font = "DejaVuSans-Bold.ttf", s.size = 50, s.tracking = 3;
    break;
  case LINE_HEADING:
    s.font = "DejaVuSans-Bold.ttf", s.size = 19, s.tracking = 2.5f;
    break;
  case LINE_LABEL:
    s.font = "DejaVuSans-Oblique.ttf", s.size = 13, s.tracking = 0.5f;
    break;
  case LINE_NAME:
    s.font = "DejaVuSans-Bold.ttf", s.size = 16, s.tracking = 1;
    break;
  default:
    s.font = "DejaVuSans.ttf", s.size = 13, s.tracking = 0.2f;
    break;
  }
  return s;
}

// Colour of a line at a height within its letters (0 top, 1 bottom).
art_colour line_colour(int32_t kind, float t) {
  switch (kind) {
  case LINE_TITLE:
    return art_mix(art_rgb(255, 214, 130), art_rgb(255, 96, 72), t);
  case LINE_HEADING:
    return art_rgb(255, 150, 60);
  case LINE_LABEL:
    return art_rgb(190, 170, 255);
  case LINE_NAME:
    return art_rgb(240, 236, 255);
  default:
    return art_rgb(210, 205, 240);
  }
}

// Sets one line centred on x with its baseline at y.
int set_line(art_canvas* c, const screen_line& line, std::string* error) {
  const art_text_style style = line_style(line.kind);
  art_text t;
  if (!art_text_render(&style, line.text, 0, &t)) {
    *error = std::string("end screen: cannot set \"") + line.text + "\" in " + art_font_path(style.font);
    return 0;
  }
  const int32_t x0 = int32_t(std::lround(line.x - float(t.mask.width) / 2.0f)), y0 = line.y - t.baseline;
  for (int32_t y = 0; y < t.mask.height; y++)
    for (int32_t x = 0; x < t.mask.width; x++) {
      const int32_t px = x0 + x, py = y0 + y;
      if (px < 0 || py < 0 || px >= c->width || py >= c->height)
        continue;
      const art_colour ink = line_colour(line.kind, float(y) / float(std::max(1, t.mask.height - 1)));
      art_blend(&art_px(c, px, py), ink, art_at(&t.mask, x, y), ART_BLEND_OVER);
    }
  return 1;
}

// The lines of the end screen, top to bottom: the title page (on screen
// while the picture fades in), the credits, the greetings in two columns,
// the thanks, and the closing page.
std::vector<screen_line> screen_lines() {
  const float mid = screen_w / 2.0f, left = 86.0f, right = 234.0f;
  std::vector<screen_line> lines = {
      {LINE_TITLE, "VORLANE", mid, 112},     {LINE_LABEL, "a real-time demo by", mid, 146},
      {LINE_NAME, "PEXIL", mid, 170},

      {LINE_HEADING, "CREDITS", mid, 300},   {LINE_LABEL, "code", mid, 334},
      {LINE_NAME, "TAMSK", mid, 356},        {LINE_NAME, "QUORIN", mid, 378},
      {LINE_NAME, "RIMBEL", mid, 400},       {LINE_NAME, "SELVANE", mid, 422},
      {LINE_NAME, "FOBB", mid, 444},         {LINE_NAME, "PANNORY", mid, 466},
      {LINE_LABEL, "graphics", mid, 500},    {LINE_NAME, "KESTR", mid, 522},
      {LINE_LABEL, "music", mid, 556},       {LINE_NAME, "BULMO", mid, 578},
      {LINE_NAME, "TIRSA", mid, 600},        {LINE_NAME, "DOLVEK", mid, 622},
      {LINE_LABEL, "design", mid, 656},      {LINE_NAME, "QEX", mid, 678},

      {LINE_HEADING, "GREETINGS", mid, 740}, {LINE_LABEL, "our love goes out to", mid, 766},
  };
  const char* const greetings[16] = {"Brasswing",    "Cinderloop",   "Dusk Foundry", "Fernwave",
                                     "Glasmoor",     "Holloway Six", "Ivory Static", "Junebug Labs",
                                     "Lumen Cartel", "Mirefield",    "Northvale",    "Quillsprite",
                                     "Rustlight",    "Sableframe",   "Tinkerpine",   "Umberline"};
  for (int32_t k = 0; k < 16; k++)
    lines.push_back({LINE_NAME, greetings[k], k % 2 ? right : left, 796 + 24 * (k / 2)});
  const std::vector<screen_line> tail = {
      {LINE_HEADING, "THANKS", mid, 1000},
      {LINE_TEXT, "to everyone who watched to the end,", mid, 1028},
      {LINE_TEXT, "and to the makers of SDL, libopenmpt,", mid, 1048},
      {LINE_TEXT, "FreeType, the DejaVu fonts,", mid, 1068},
      {LINE_TEXT, "libjpeg-turbo, giflib and zlib", mid, 1088},

      {LINE_LABEL, "thank you for watching", mid, closing_top + 96},
      {LINE_TITLE, "VORLANE", mid, closing_top + 148},
      {LINE_NAME, "PEXIL", mid, closing_top + 178},
  };
  lines.insert(lines.end(), tail.begin(), tail.end());
  return lines;
}

// A thin rule of warm light, fading at both ends.
void set_rule(art_canvas* c, int32_t y, float half_width) {
  for (int32_t x = 0; x < c->width; x++) {
    const float d = std::fabs(float(x) + 0.5f - screen_w / 2.0f) / half_width;
    if (d < 1.0f)
      art_px(c, x, y) = art_scale(art_rgb(255, 140, 60), 0.8f * (1.0f - d * d));
  }
}

int endp_screen(std::vector<forge_file>* out, std::string* error) {
  art_canvas c;
  art_canvas_init(&c, screen_w, screen_h, art_rgb(0, 0, 0));
  for (const screen_line& line : screen_lines())
    if (!set_line(&c, line, error))
      return 0;
  for (int32_t y : {196, closing_top + 196})
    set_rule(&c, y, 90.0f);
  forge_picture pic;
  art_canvas_to_picture(&c, &pic, false);
  forge_file file;
  return opening_push(out, forge_make_pcx24("data/endp/endscr.pcx", &pic, &file, error), &file);
}
} // namespace

void forge_gen_endp(forge_plan* plan) {
  forge_plan_add(plan, "end part texture", endp_texture);
  forge_plan_add(plan, "end screen", endp_screen);
}
