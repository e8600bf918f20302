#include "art_lettering.h"

#include "art_blur.h"
#include "art_composite.h"
#include "art_glow.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

int art_letter(art_canvas* c, const art_text_style* style, const char* utf8, float x, float y,
               const art_lettering* look) {
  const int32_t margin = int32_t(std::ceil(look->outline_width)) + 2;
  art_text text;
  if (!art_text_render(style, utf8, margin, &text))
    return 0;
  const int32_t ox = int32_t(std::lround(x)) - text.left, oy = int32_t(std::lround(y)) - text.baseline;
  const art_field& ink = text.mask;

  art_field outline = ink;
  if (look->outline_width > 0)
    art_mask_dilate(&outline, look->outline_width);

  if (look->glow_sigma > 0)
    art_glow_mask(c, &outline, ox, oy, look->glow_sigma, look->glow, look->glow_strength);

  if (look->shadow.a > 0) {
    art_field shadow = outline;
    const int32_t pad = int32_t(std::ceil(look->shadow_blur * 3)) + 1;
    art_field_pad(&shadow, pad);
    art_blur(&shadow, look->shadow_blur, false);
    art_colour k = look->shadow;
    k.a = 1;
    art_paint_mask(c, &shadow, ox - pad + look->shadow_dx, oy - pad + look->shadow_dy, k, 0, look->shadow.a);
  }

  if (look->outline_width > 0)
    art_paint_mask(c, &outline, ox, oy, look->outline, 0, look->outline.a);

  // Fill: the ramp over the ink's rows, lit as a bevel.
  int32_t top = ink.height, bottom = -1;
  for (int32_t row = 0; row < ink.height; row++)
    for (int32_t col = 0; col < ink.width; col++)
      if (art_at(&ink, col, row) > 0.5f) {
        top = std::min(top, row);
        bottom = std::max(bottom, row);
      }
  art_canvas fill;
  art_canvas_init(&fill, ink.width, ink.height);
  for (int32_t row = 0; row < ink.height; row++) {
    const float t = bottom > top ? float(row - top) / float(bottom - top) : 0.5f;
    const art_colour colour = art_ramp_at(&look->fill, t);
    for (int32_t col = 0; col < ink.width; col++)
      art_px(&fill, col, row) = colour;
  }
  if (look->bevel > 0) {
    art_field height = ink;
    art_blur(&height, look->bevel, false);
    art_bump_light(&fill, &height, &look->light);
  }
  art_paint_fill(c, &ink, &fill, ox, oy, 0, 1);
  return 1;
}

int art_letter_checked(art_canvas* c, const art_text_style* style, const char* utf8, float x, float y,
                       const art_lettering* look, std::string* error) {
  if (art_letter(c, style, utf8, x, y, look))
    return 1;
  if (error->empty()) {
    const std::string path = art_font_path(style ? style->font : nullptr);
    const std::string text = utf8 ? utf8 : "";
    std::FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
    if (file)
      std::fclose(file);
    if (!file)
      *error = "cannot open the font '" + path + "' to set \"" + text + "\"";
    else
      *error = "cannot set \"" + text + "\" in the font '" + path + "'";
  }
  return 0;
}

float art_letter_centre(const art_text_style* style, const char* utf8, float cx) {
  art_text text;
  if (!art_text_render(style, utf8, 0, &text))
    return cx;
  return cx - float(text.mask.width) * 0.5f + float(text.left);
}
