// Text set with FreeType in the DejaVu fonts, rendered as coverage masks that
// the compositing calls fill, outline, shadow and light.
#pragma once

#include "art_canvas.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Folder of Debian's fonts-dejavu-core.
constexpr const char* ART_FONT_DIR = "/usr/share/fonts/truetype/dejavu/";

struct art_text_style {
  const char* font = "DejaVuSans-Bold.ttf"; // a file in the font folder, or an absolute path
  float size = 32;                          // em size in pixels
  float tracking = 0;                       // extra space after every letter, in pixels
};

struct art_text {
  art_field mask;       // coverage of the set text plus the margin on every side
  int32_t baseline = 0; // row of the baseline in the mask
  int32_t left = 0;     // column where the pen started
  float advance = 0;    // pen travel of the whole string, in pixels
};

// The font file's path for a style's font name: an absolute path as it is,
// any other name in the font folder.
std::string art_font_path(const char* font);

// The font folder: ART_FONT_DIR unless set otherwise (tests point it at a
// folder without the fonts). Safe to call from any thread.
void art_font_dir_set(const std::string& dir);
std::string art_font_dir();

// Sets a UTF-8 string on one line. Returns 1, or 0 when the font cannot be
// opened or the text is not valid UTF-8 (out is then empty).
int art_text_render(const art_text_style* style, const char* utf8, int32_t margin, art_text* out);
