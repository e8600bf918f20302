// The light object's files: the perforated chrome shell, the small sphere
// the beams shoot from (also drawn as the white core), the shell's
// environment map and the beams' light texture.
#include "lwo_writer.h"
#include "mesh_builders.h"
#include "opening_art.h"

// Both objects are made at about unit size: the effect scales them by 128.
static int lobj_object(std::vector<forge_file>* out, std::string* error, const char* name, forge_mesh* m,
                       const std::vector<lwo_writer_surface>& surfaces) {
  forge_file file;
  file.name = name;
  file.format = "LightWave object, " + std::to_string(m->positions.size()) + " points, " +
                std::to_string(m->faces.size()) + " triangles";
  if (!write_lwo(m, surfaces, &file.bytes)) {
    *error = std::string(name) + ": the LightWave writer refused the mesh";
    return 0;
  }
  out->push_back(std::move(file));
  return 1;
}

static lwo_writer_surface lobj_surface(const char* name, int r, int g, int b) {
  lwo_writer_surface s;
  s.name = name;
  s.colour[0] = uint8_t(r), s.colour[1] = uint8_t(g), s.colour[2] = uint8_t(b);
  s.flags = LWO_WRITER_SMOOTH;
  return s;
}

// Widens the holes of a perforated sphere of slices x stacks cells: the
// builder cuts the middle third of a cell; moving every vertex's angles so
// that the thirds' borders fall at `edge` and 1 - `edge` of the cell makes
// the holes 1 - 2 edge wide.
static void lobj_widen_holes(forge_mesh* m, int32_t slices, int32_t stacks, float edge) {
  const int32_t I = slices * 3, J = stacks * 3;
  const float warp[3] = {0.0f, 3.0f * edge, 3.0f - 3.0f * edge};
  for (forge_vec3& p : m->positions) {
    const float r = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
    if (r <= 0 || std::fabs(p.y) >= r * 0.9999f)
      continue; // the poles stay
    float a = std::atan2(-p.z, p.x);
    if (a < 0)
      a += 2 * float(M_PI);
    const int32_t i = int32_t(std::lround(a * float(I) / (2 * float(M_PI)))) % I;
    const int32_t j = int32_t(std::lround(std::acos(p.y / r) * float(J) / float(M_PI)));
    const float wi = float(i / 3 * 3) + warp[i % 3], wj = float(j / 3 * 3) + warp[j % 3];
    const float na = 2 * float(M_PI) * wi / float(I), nb = float(M_PI) * wj / float(J);
    p = {r * std::sin(nb) * std::cos(na), r * std::cos(nb), -r * std::sin(nb) * std::sin(na)};
  }
}

// The shell: a sphere of radius 0.75 with rows of wide square holes between
// the poles, its wall 0.07 thick.
static int lobj_shell(std::vector<forge_file>* out, std::string* error) {
  forge_mesh m;
  if (!forge_mesh_sphere_holes(&m, 0.75f, 0.07f, 8, 6)) {
    *error = "shell: cannot build the mesh";
    return 0;
  }
  lobj_widen_holes(&m, 8, 6, 0.14f);
  return lobj_object(out, error, "data/lobj/sph_hol.lwo", &m,
                     {lobj_surface("Chrome", 220, 225, 240), lobj_surface("ChromeInside", 120, 110, 160)});
}

// The beam source: a geodesic sphere of radius 0.28, its 80 faces nearly
// equilateral, so every face sends two beams of about the same width.
static int lobj_source(std::vector<forge_file>* out, std::string* error) {
  forge_mesh m;
  if (!forge_mesh_geosphere(&m, 0.28f, 2)) {
    *error = "beam source: cannot build the mesh";
    return 0;
  }
  return lobj_object(out, error, "data/lobj/sph_ihol.lwo", &m, {lobj_surface("Core", 255, 255, 255)});
}

// Chrome in the show's colours: a pale violet sky, a bright horizon, a deep
// blue ground with an orange glow far below, and a warm highlight.
static int lobj_envmap(std::vector<forge_file>* out, std::string* error) {
  art_canvas c;
  art_canvas_init(&c, 256, 256);
  const art_ramp sky = {{{0.00f, art_rgb(40, 30, 120)},
                         {0.28f, art_rgb(150, 140, 235)},
                         {0.46f, art_rgb(245, 240, 255)},
                         {0.50f, art_rgb(255, 190, 110)},
                         {0.53f, art_rgb(40, 22, 70)},
                         {0.72f, art_rgb(22, 30, 90)},
                         {0.90f, art_rgb(210, 100, 40)},
                         {1.00f, art_rgb(255, 220, 160)}}};
  art_light_params light;
  light.direction = {-0.45f, -0.7f, 0.55f};
  light.specular = art_rgb(255, 235, 200);
  light.shininess = 60;
  art_envmap_chrome(&c, &sky, &light, 0x10B1);
  forge_picture pic;
  art_canvas_to_picture(&c, &pic, true);
  jpeg_options options;
  options.quality = 92;
  forge_file file;
  return opening_push(out, forge_make_jpeg("data/lobj/envmap.jpg", &pic, &options, &file, error), &file);
}

// The beams' light: streaks running down the picture, brightest along the
// bottom row (the beam's root) and fading to black at the top (its tip).
// Columns wrap, so the streaks may slide sideways without a seam.
static int lobj_light_texture(std::vector<forge_file>* out, std::string* error) {
  const int32_t n = 256;
  art_canvas c;
  art_canvas_init(&c, n, n);
  art_fractal streaks;
  streaks.octaves = 4;
  streaks.period = 16;
  streaks.seed = 0xBEA3;
  art_fractal shimmer = streaks;
  shimmer.period = 8;
  shimmer.seed = 0x51A7;
  const art_colour hot = art_rgb(255, 235, 200), warm = art_rgb(255, 130, 50), cool = art_rgb(110, 80, 230);
  // Streak strength across: a periodic 1D fractal rescaled to [0, 1], then
  // sharpened so that bright streaks stand apart over darker gaps.
  std::vector<float> profile(static_cast<size_t>(n));
  for (int32_t x = 0; x < n; x++)
    profile[size_t(x)] = art_fractal_at(&streaks, (float(x) + 0.5f) / float(n) * 16.0f, 0.0f);
  const auto [lo, hi] = std::minmax_element(profile.begin(), profile.end());
  const float low = *lo, range = std::max(*hi - *lo, 1e-6f);
  for (float& p : profile)
    p = std::pow((p - low) / range, 2.5f);
  for (int32_t y = 0; y < n; y++)
    for (int32_t x = 0; x < n; x++) {
      const float u = (float(x) + 0.5f) / float(n), v = (float(y) + 0.5f) / float(n); // v 1 at the root
      const float line = profile[size_t(x)];
      const float flicker = 0.7f + 0.3f * art_fractal_at(&shimmer, u * 8.0f, v * 2.0f);
      const float along = std::pow(v, 1.4f);
      const float root = std::pow(v, 8.0f);
      art_colour p = art_scale(art_mix(cool, warm, std::sqrt(line)), (0.08f + 0.92f * line) * along * flicker * 0.9f);
      p = art_add(p, art_scale(hot, line * root * 0.5f));
      art_px(&c, x, y) = p;
    }
  forge_picture pic;
  art_canvas_to_picture(&c, &pic, true);
  forge_file file;
  return opening_push(out, forge_make_pcx24("data/lobj/ltex.pcx", &pic, &file, error), &file);
}

void forge_gen_lobj(forge_plan* plan) {
  forge_plan_add(plan, "light object shell", lobj_shell);
  forge_plan_add(plan, "light object beam source", lobj_source);
  forge_plan_add(plan, "light object environment map", lobj_envmap);
  forge_plan_add(plan, "light object beam texture", lobj_light_texture);
}
