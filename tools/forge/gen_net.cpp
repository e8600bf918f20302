// The net's files: the texture the net warps (chrome bands over deep blue
// and purple, crossed by a web of warm glowing seams; it tiles, since the
// warp runs off every edge) and the lit-sphere map its normals pick shades
// from.
#include "art_blur.h"
#include "art_plasma.h"
#include "opening_art.h"

// The texture: a tiling fractal plasma read as chrome bands, with the cell
// edges of a tiling cellular pattern glowing orange.
static int net_texture(std::vector<forge_file>* out, std::string* error) {
  const int32_t n = 256;
  art_field plasma;
  art_field_init(&plasma, n, n);
  if (!art_plasma_fractal(&plasma, 0.5f, 0x4E37)) {
    *error = "net texture: cannot make the plasma";
    return 0;
  }
  art_blur(&plasma, 2.0f, true);
  art_field_normalise(&plasma);
  const art_ramp chrome = {{{0.00f, art_rgb(10, 14, 60)},
                            {0.25f, art_rgb(40, 60, 160)},
                            {0.45f, art_rgb(170, 190, 250)},
                            {0.52f, art_rgb(250, 248, 255)},
                            {0.56f, art_rgb(60, 30, 100)},
                            {0.78f, art_rgb(110, 50, 150)},
                            {1.00f, art_rgb(20, 12, 50)}}};
  const int32_t cells = 6; // cells across the texture; they repeat with it
  art_canvas c;
  art_canvas_init(&c, n, n);
  for (int32_t y = 0; y < n; y++)
    for (int32_t x = 0; x < n; x++) {
      const float p = art_at(&plasma, x, y);
      // Two chrome bands per plasma unit: reflections folding over the sheet.
      const float band = 0.5f + 0.5f * std::sin(p * 4.0f * float(M_PI));
      art_colour col = art_ramp_at(&chrome, band);
      float f1, f2;
      art_cellular((float(x) + 0.5f) / float(n) * float(cells), (float(y) + 0.5f) / float(n) * float(cells), 0x77E1,
                   cells, &f1, &f2);
      const float seam = 1.0f - art_smoothstep(0.0f, 0.09f, f2 - f1);
      const float halo = 1.0f - art_smoothstep(0.0f, 0.35f, f2 - f1);
      col = art_scale(col, 0.75f + 0.25f * art_smoothstep(0.0f, 0.5f, f1)); // glass cells darker at the rim
      col = art_add(col, art_scale(art_rgb(255, 120, 30), 0.25f * halo * halo));
      col = art_add(col, art_scale(art_rgb(255, 190, 90), 0.9f * seam));
      art_px(&c, x, y) = col;
    }
  forge_picture pic;
  art_canvas_to_picture(&c, &pic, true);
  forge_file file;
  return opening_push(out, forge_make_pcx24("data/netnet/envmap.pcx", &pic, &file, error), &file);
}

// The shading map: shade rows (0 to 63, four per byte step) of a lit sphere
// of radius 48 centred in the 128 x 128 map. Row 32 keeps a colour as it
// is, below darkens and above brightens towards white; outside the sphere
// the rim's shade goes on.
static int net_shading_map(std::vector<forge_file>* out, std::string* error) {
  const int32_t n = 128;
  const float centre = 64.0f, radius = 48.0f;
  const art_vec3 light = art_normalise({-0.45f, -0.55f, 0.7f});
  const art_vec3 half = art_normalise({light.x, light.y, light.z + 1.0f});
  art_field f;
  art_field_init(&f, n, n);
  for (int32_t y = 0; y < n; y++)
    for (int32_t x = 0; x < n; x++) {
      float nx = (float(x) + 0.5f - centre) / radius, ny = (float(y) + 0.5f - centre) / radius;
      const float r = std::sqrt(nx * nx + ny * ny);
      if (r > 0.999f) {
        nx *= 0.999f / r;
        ny *= 0.999f / r;
      }
      const art_vec3 normal = {nx, ny, std::sqrt(std::max(0.0f, 1.0f - nx * nx - ny * ny))};
      const float lambert = std::max(0.0f, art_dot(normal, light));
      const float shine = std::pow(std::max(0.0f, art_dot(normal, half)), 40.0f);
      const float rows = 10.0f + 26.0f * lambert + 27.0f * shine; // 10 in the shadow, 36 lit, 63 in the highlight
      art_at(&f, x, y) = std::min(63.0f, rows) * 4.0f / 255.0f;
    }
  scx_map map;
  art_field_to_scx(&f, &map);
  forge_file file;
  return opening_push(out, forge_make_scx("data/netnet/env.scx", &map, &file, error), &file);
}

void forge_gen_net(forge_plan* plan) {
  forge_plan_add(plan, "net texture", net_texture);
  forge_plan_add(plan, "net shading map", net_shading_map);
}
