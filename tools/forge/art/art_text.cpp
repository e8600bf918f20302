#include "art_text.h"

#include <algorithm>
#include <cmath>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <mutex>
#include <vector>

static std::mutex art_font_dir_lock;
static std::string art_font_dir_value = ART_FONT_DIR;

void art_font_dir_set(const std::string& dir) {
  std::lock_guard<std::mutex> hold(art_font_dir_lock);
  art_font_dir_value = dir.empty() || dir.back() == '/' ? dir : dir + '/';
}

std::string art_font_dir() {
  std::lock_guard<std::mutex> hold(art_font_dir_lock);
  return art_font_dir_value;
}

std::string art_font_path(const char* font) {
  if (!font)
    return {};
  if (font[0] == '/')
    return font;
  return art_font_dir() + font;
}

// Decodes UTF-8; false on a malformed sequence.
static bool art_utf8_decode(const char* s, std::vector<uint32_t>* out) {
  const auto* p = reinterpret_cast<const unsigned char*>(s);
  while (*p) {
    uint32_t c = *p++;
    int more = 0;
    if (c >= 0xF0 && c < 0xF8)
      c &= 0x07, more = 3;
    else if (c >= 0xE0)
      c &= 0x0F, more = 2;
    else if (c >= 0xC2 && c < 0xE0)
      c &= 0x1F, more = 1;
    else if (c >= 0x80)
      return false;
    for (int i = 0; i < more; i++) {
      if ((*p & 0xC0) != 0x80)
        return false;
      c = c << 6 | (*p++ & 0x3F);
    }
    out->push_back(c);
  }
  return true;
}

namespace {
// One FreeType library and face, released on every path.
struct art_face {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  ~art_face() {
    if (face)
      FT_Done_Face(face);
    if (library)
      FT_Done_FreeType(library);
  }
};

struct art_glyph_place {
  uint32_t code;
  FT_Vector pen; // 26.6
};
} // namespace

// Loads and renders one glyph with the pen's fractional offset applied.
static bool art_glyph_load(FT_Face face, uint32_t code, FT_Vector pen) {
  FT_Vector delta = {pen.x & 63, -(pen.y & 63)};
  FT_Set_Transform(face, nullptr, &delta);
  return FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) == 0 &&
         face->glyph->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY;
}

int art_text_render(const art_text_style* style, const char* utf8, int32_t margin, art_text* out) {
  *out = art_text{};
  std::vector<uint32_t> codes;
  if (!style || !utf8 || !art_utf8_decode(utf8, &codes) || style->size <= 0 || margin < 0)
    return 0;
  art_face f;
  if (FT_Init_FreeType(&f.library) != 0 || FT_New_Face(f.library, art_font_path(style->font).c_str(), 0, &f.face) != 0)
    return 0;
  if (FT_Set_Char_Size(f.face, 0, FT_F26Dot6(std::lround(style->size * 64)), 72, 72) != 0)
    return 0;

  // Place the pen for every letter.
  std::vector<art_glyph_place> places;
  FT_Pos pen = 0;
  FT_UInt previous = 0;
  const FT_Pos tracking = FT_Pos(std::lround(style->tracking * 64));
  for (uint32_t code : codes) {
    const FT_UInt index = FT_Get_Char_Index(f.face, code);
    if (previous && index && FT_HAS_KERNING(f.face)) {
      FT_Vector kern;
      if (FT_Get_Kerning(f.face, previous, index, FT_KERNING_UNFITTED, &kern) == 0)
        pen += kern.x;
    }
    places.push_back({code, {pen, 0}});
    if (FT_Load_Char(f.face, code, FT_LOAD_NO_HINTING) != 0)
      return 0;
    pen += f.face->glyph->advance.x + tracking;
    previous = index;
  }

  // Bounding box of the rendered bitmaps, relative to the pen start and baseline.
  int32_t min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  bool any = false;
  for (const art_glyph_place& g : places) {
    if (!art_glyph_load(f.face, g.code, g.pen))
      continue;
    const FT_GlyphSlot slot = f.face->glyph;
    if (slot->bitmap.width == 0 || slot->bitmap.rows == 0)
      continue;
    const int32_t gx = int32_t(g.pen.x >> 6) + slot->bitmap_left, gy = -slot->bitmap_top;
    const int32_t gx1 = gx + int32_t(slot->bitmap.width), gy1 = gy + int32_t(slot->bitmap.rows);
    min_x = any ? std::min(min_x, gx) : gx, max_x = any ? std::max(max_x, gx1) : gx1;
    min_y = any ? std::min(min_y, gy) : gy, max_y = any ? std::max(max_y, gy1) : gy1;
    any = true;
  }
  art_field_init(&out->mask, max_x - min_x + 2 * margin, max_y - min_y + 2 * margin);
  out->left = margin - min_x;
  out->baseline = margin - min_y;
  out->advance = float(pen) / 64.0f;

  for (const art_glyph_place& g : places) {
    if (!art_glyph_load(f.face, g.code, g.pen))
      continue;
    const FT_GlyphSlot slot = f.face->glyph;
    const int32_t gx = out->left + int32_t(g.pen.x >> 6) + slot->bitmap_left;
    const int32_t gy = out->baseline - slot->bitmap_top;
    for (uint32_t row = 0; row < slot->bitmap.rows; row++)
      for (uint32_t col = 0; col < slot->bitmap.width; col++) {
        const uint8_t cov = slot->bitmap.buffer[ptrdiff_t(row) * slot->bitmap.pitch + ptrdiff_t(col)];
        const int32_t x = gx + int32_t(col), y = gy + int32_t(row);
        if (cov && x >= 0 && y >= 0 && x < out->mask.width && y < out->mask.height) {
          float& v = art_at(&out->mask, x, y);
          v = std::min(1.0f, v + float(cov) / 255.0f);
        }
      }
  }
  return 1;
}
