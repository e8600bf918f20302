// The third lens flare of the sequence zoomer, which the diffuse cube also
// uses as its glow: a warm white core in an orange halo turning purple at
// the rim, with four faint streaks, black at the edges so stretched copies
// add up without seams. Kept in a file of its own so that one generator of
// it stays when the zoomer's files are made elsewhere.
#include "art_quantise.h"
#include "opening_art.h"

static int seqzoom_flare3(std::vector<forge_file>* out, std::string* error) {
  const int32_t size = 128;
  art_canvas c;
  art_canvas_init(&c, size, size);
  const art_colour core = art_rgb(255, 244, 225), halo = art_rgb(255, 120, 40), rim = art_rgb(120, 50, 200);
  for (int32_t y = 0; y < size; y++)
    for (int32_t x = 0; x < size; x++) {
      const float dx = (float(x) + 0.5f - 64.0f) / 64.0f, dy = (float(y) + 0.5f - 64.0f) / 64.0f;
      const float d = std::sqrt(dx * dx + dy * dy);
      const float edge = 1.0f - art_smoothstep(0.6f, 0.97f, d);
      const float hot = std::exp(-d * d / (0.12f * 0.12f));
      const float warm = std::exp(-d * d / (0.3f * 0.3f));
      const float wide = std::exp(-d * d / (0.55f * 0.55f));
      // Streaks along the diagonals, thin and fading outwards.
      const float a = std::fabs(std::fabs(dx) - std::fabs(dy)) / (d + 1e-3f);
      const float streak = std::exp(-a * a / 0.004f) * std::exp(-d / 0.35f);
      art_colour p = art_scale(core, hot * 0.9f);
      p = art_add(p, art_scale(halo, warm * 0.45f * edge));
      p = art_add(p, art_scale(rim, wide * 0.25f * edge));
      p = art_add(p, art_scale(core, streak * 0.3f * edge));
      art_px(&c, x, y) = p;
    }
  forge_picture pic;
  art_canvas_to_picture(&c, &pic, false);
  indexed_picture indexed;
  if (!art_quantise(&pic, 256, false, &indexed)) {
    *error = "cannot reduce the flare to a palette";
    return 0;
  }
  forge_file file;
  return opening_push(out, forge_make_gif("data/seqzoom/flares/flare3.gif", &indexed, GIF_PALETTE_GLOBAL, &file, error),
                      &file);
}

void forge_gen_seqzoom_flare3(forge_plan* plan) { forge_plan_add(plan, "third zoomer flare", seqzoom_flare3); }
