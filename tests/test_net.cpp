// The net: the point set-up and projection, the shading lookup, the reveal,
// the drift, the sheet's fold, and init and frames on the build's data (and
// on broken data).
#include "net.h"
#include "net_fixtures.h"
#include "net_parts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {
constexpr double PI = 3.14159265358979323846;

// A fresh net state on the heap (it is large), points reset.
std::unique_ptr<net_state> fresh_net() {
  auto s = std::make_unique<net_state>();
  net_reset_points(s.get());
  return s;
}
} // namespace

TEST(NetPoints, TheGridRipplesAndProjectsIntoTheCorners) {
  auto s = fresh_net();
  // Column 41 and row 31 reach the far corner of the 256 x 256 square.
  EXPECT_NEAR(s->base[NET_POINTS - 1].x, 128.0, 1e-3);
  EXPECT_NEAR(s->base[NET_POINTS - 1].y, 128.0, 1e-3);
  EXPECT_EQ(s->base[0].x, -128.0f);
  const int32_t k = 7 * NET_COLUMNS + 30; // row 7, column 30
  const double x = -128 + 6.243902 * 30, y = -128 + 8.258064 * 7;
  const double a = PI * std::sin(std::sqrt(x * x + y * y) * PI / 256);
  const double b = PI * std::cos(30 * PI / 42) * std::sin(7 * PI / 32);
  EXPECT_NEAR(s->phase_a[k], a, 1e-5);
  EXPECT_NEAR(s->phase_b[k], b, 1e-5);
  EXPECT_EQ(s->lookup.scale_x, 48.0f);
  EXPECT_EQ(s->lookup.offset_y, 64.0f);

  // Unturned: ripple, push back by 800 and project through 400 / (400 - z).
  net_move_points(s.get(), 3.0f);
  const double z = 800 + 42 * std::cos(a);
  const double f = 400 / (400 - z);
  const double px = f * (x + std::sin(a) * (64 + 32 * std::cos(b))), py = f * (y + 32 * std::sin(b));
  EXPECT_NEAR(s->moved[k].x, px, 1e-3);
  EXPECT_NEAR(s->moved[k].z, z, 1e-3);
  EXPECT_EQ(s->corners[k].u, int32_t(px)) << "truncated towards zero";
  EXPECT_EQ(s->corners[k].v, int32_t(py));
  EXPECT_NEAR(s->phase_a[k], a + PI / 64 * 3, 1e-5);
  EXPECT_NEAR(s->phase_b[k], b + PI / 256 * 3, 1e-5);

  // The drift: tilt follows the wobble; the shading fades only late in the song.
  for (const auto& [order, row, fades] : {std::tuple{28u, 81u, true}, {27u, 100u, false}, {29u, 80u, false}}) {
    auto d = fresh_net();
    d->wobble = 0.5f;
    net_drift(d.get(), order, row, 2.0f);
    EXPECT_NEAR(d->tilt, 2 * PI / 5 * std::sin(0.5), 1e-6);
    EXPECT_NEAR(d->spin, PI / 128 * 2, 1e-6);
    EXPECT_NEAR(d->wobble, 0.5 + PI / 256 * 2, 1e-6);
    EXPECT_EQ(d->lookup.scale_x, fades ? 46.5f : 48.0f) << order << ":" << row;
    EXPECT_EQ(d->lookup.offset_x, fades ? 65.125f : 64.0f);
    EXPECT_EQ(d->lookup.offset_y, fades ? 64.21875f : 64.0f);
  }
}

TEST(NetShading, NormalsLookUpTheMapInsideItsBounds) {
  const net_lookup start = {64, 64, 48, 48};
  EXPECT_EQ(net_map_index(&start, 0, 0), 64 + 128 * 64);
  EXPECT_EQ(net_map_index(&start, 1, -1), 112 + 128 * 16);
  EXPECT_EQ(net_map_index(&start, -0.01f, 0.5f), 63 + 128 * 88);
  // Drifted or broken normals never index outside the 128 x 128 map.
  const net_lookup drifted = {120, 70, 40, 40};
  EXPECT_EQ(net_map_index(&drifted, 1, 0), 127 + 128 * 70);
  EXPECT_EQ(net_map_index(&start, NAN, -5), 0);
  EXPECT_EQ(net_map_index(&start, 1e30f, 1e30f), 127 + 128 * 127);

  // A flat, unrippled net faces the viewer everywhere: every point takes the
  // map's centre.
  auto s = fresh_net();
  for (int32_t i = 0; i < NET_MAP_BYTES; i++)
    s->normal_map[i] = uint8_t(i % 61);
  for (int32_t k = 0; k < NET_POINTS; k++) {
    s->moved[k] = {s->base[k].x, s->base[k].y, 900.0f};
    s->normal_count[k] = 0;
    s->normal_sum[k] = {0, 0, 0};
  }
  net_shade_points(s.get());
  for (int32_t k = 0; k < NET_POINTS; k++)
    ASSERT_EQ(s->corners[k].shade, (64 + 128 * 64) % 61) << k;
  // Once the scale is down to 1 nothing is looked up.
  s->lookup.scale_x = 1.0f;
  s->corners[5].shade = 99;
  net_shade_points(s.get());
  EXPECT_EQ(s->corners[5].shade, 99);
}

TEST(NetBlocks, RowsAreRevealedOneTenthPerTick) {
  opening_pixmap tex = net_coordinate_texture(0x400000u);
  auto s = fresh_net();
  s->envmap = tex.get();
  uint8_t shade[SHADE_TABLE_BYTES];
  shade_table_build(shade, 255, 0);
  s->shade = shade;
  // Corners one texel apart per pixel: point (c, k) at (8c, 8k).
  for (int32_t i = 0; i < NET_ROWS; i++)
    for (int32_t j = 0; j < NET_COLUMNS; j++)
      s->corners[i * NET_COLUMNS + j] = {8 * j, 8 * i, 32};
  opening_pixmap p(pixmap_create(320, 240, 0));
  net_fill_blocks(s.get(), p.get(), 0.5f);
  EXPECT_EQ(opening_lit_share(p.get()), 0.0) << "nothing at reveal 0";
  EXPECT_FLOAT_EQ(s->reveal, 0.05f);
  net_fill_blocks(s.get(), p.get(), 0.0f);
  // Block row 0 only, shaded by row 32 (the texel's own colour).
  EXPECT_EQ(opening_rgb(p->pixels[7 * 320 + 300]), 0x40072Cu);
  EXPECT_EQ(p->pixels[8 * 320], 0u);
  // Row 1 once the reveal has passed 1; all 30 rows at most.
  net_fill_blocks(s.get(), p.get(), 10.0f);
  EXPECT_EQ(p->pixels[8 * 320], 0u);
  net_fill_blocks(s.get(), p.get(), 1000.0f);
  EXPECT_EQ(opening_rgb(p->pixels[8 * 320 + 1]), 0x400801u);
  EXPECT_EQ(p->pixels[239 * 320], 0u) << "not yet";
  EXPECT_EQ(s->reveal, 30.0f);
  net_fill_blocks(s.get(), p.get(), 0.0f);
  EXPECT_EQ(opening_rgb(p->pixels[239 * 320 + 1]), 0x40EF01u);
  // Unshaded once the lookup's scale is down to 1: darkest shade rows are ignored.
  for (block_corner& c : s->corners)
    c.shade = 0;
  s->lookup.scale_x = 1.0f;
  net_fill_blocks(s.get(), p.get(), 0.0f);
  EXPECT_EQ(opening_rgb(p->pixels[100 * 320 + 50]), 0x406432u);
}

TEST(NetSheet, ColumnsFoldOneAfterAnotherIntoTheBall) {
  net_sheet sheet{};
  net_sheet_reset(&sheet);
  // Flat: the sheet fills the view at depth 0.
  EXPECT_NEAR(sheet.position[0].x, -160, 1e-4);
  EXPECT_NEAR(sheet.position[63].x, 160, 1e-3);
  EXPECT_NEAR(sheet.position[63].y, 120, 1e-3);
  for (int32_t j = 0; j < 8; j++)
    EXPECT_EQ(sheet.timer[j], float(4 * j - 32));
  // The first and last rows close into the poles at (-64, -+128, 0).
  for (const int32_t k : {0, 5, 56, 62}) {
    const vec3 end = {sheet.position[k].x + 128 * sheet.velocity[k].x, sheet.position[k].y + 128 * sheet.velocity[k].y,
                      sheet.position[k].z + 128 * sheet.velocity[k].z};
    EXPECT_NEAR(end.x, -64, 1e-3) << k;
    EXPECT_NEAR(std::fabs(end.y), 128, 1e-3) << k;
    EXPECT_NEAR(end.z, 0, 1e-3) << k;
  }
  // Row 2, column 3: ring radius 128 sin(2 pi / 7), meridian -6 pi / 7.
  const double rho = 128 * std::sin(2 * PI / 7), beta = 3 * (-2 * PI / 7);
  EXPECT_NEAR(sheet.position[19].x + 128 * sheet.velocity[19].x, rho * std::sin(beta) - 64, 1e-3);
  EXPECT_NEAR(sheet.position[19].z + 128 * sheet.velocity[19].z, rho * std::cos(beta), 1e-3);

  // Nothing moves before stage tick 256 (timers do not run either).
  net_sheet_step(&sheet, nullptr, nullptr, 256.0f, 10.0f);
  EXPECT_EQ(sheet.timer[7], -4.0f);
  // Column 7 starts first, column 0 28 ticks later. A vertex moves while its
  // timer lies strictly between 0 and 128: 127 steps of a tick each.
  const net_sheet flat = sheet;
  int32_t steps = 0;
  while (!sheet.folded && steps < 1000) {
    net_sheet_step(&sheet, nullptr, nullptr, 300.0f, 1.0f);
    steps++;
    if (steps == 5) {
      EXPECT_EQ(sheet.position[7].x, flat.position[7].x) << "column 7 waits while its timer is 0";
    }
    if (steps == 6) {
      EXPECT_NE(sheet.position[7].x, flat.position[7].x) << "column 7 moves from the sixth step";
      EXPECT_EQ(sheet.position[6].x, flat.position[6].x);
    }
    if (steps == 33) {
      EXPECT_EQ(sheet.position[0].x, flat.position[0].x) << "column 0 waits 33 steps";
    }
  }
  EXPECT_EQ(steps, 161) << "folded in the step after the last vertex moved";
  for (int32_t k = 0; k < 64; k++) {
    const vec3 &p = sheet.position[k], &f = flat.position[k], &v = flat.velocity[k];
    EXPECT_NEAR(p.x, f.x + 127 * v.x, 1e-2) << k;
    EXPECT_NEAR(p.y, f.y + 127 * v.y, 1e-2) << k;
    EXPECT_NEAR(p.z, f.z + 127 * v.z, 1e-2) << k;
  }
  // The ball turns and slides from the step that found it folded.
  EXPECT_EQ(sheet.shift, 1.0f);
  net_sheet_step(&sheet, nullptr, nullptr, 300.0f, 2.0f);
  EXPECT_NEAR(sheet.x, PI / 128 * 3, 1e-6);
  EXPECT_NEAR(sheet.y, -PI / 256 * 3, 1e-6);
  EXPECT_NEAR(sheet.z, PI / 256 * 3, 1e-6);
  EXPECT_EQ(sheet.shift, 3.0f);
  sheet.shift = 321.0f;
  net_sheet_step(&sheet, nullptr, nullptr, 300.0f, 2.0f);
  EXPECT_EQ(sheet.shift, 321.0f) << "gone: nothing more happens";
}

using net_data = net_show_objects;

TEST_F(net_data, MissingOrShortFilesFailTheInitCleanly) {
  const opening_files all = net_build_files();
  ASSERT_TRUE(all.count("netnet/env.scx"));
  const std::vector<uint8_t>& map = all.at("netnet/env.scx");
  ASSERT_EQ(map.size(), 778u + 128 * 128);
  struct variant {
    const char* what;
    std::string name;
    std::vector<uint8_t> bytes; // empty: the file is left out
  };
  const std::vector<variant> cases = {
      {"no normal map", "netnet/env.scx", {}},
      {"normal map one byte short", "netnet/env.scx", std::vector<uint8_t>(map.begin(), map.end() - 1)},
      {"normal map of a header only", "netnet/env.scx", std::vector<uint8_t>(map.begin(), map.begin() + 778)},
      {"no texture", "netnet/envmap.pcx", {}},
      {"small texture", "netnet/envmap.pcx", opening_build_files().at("galaxy/pexil.pcx")},
      {"no background", "hvoxel/bgpic.jpg", {}}};
  for (const variant& v : cases) {
    SCOPED_TRACE(v.what);
    opening_files files = all;
    if (v.bytes.empty())
      files.erase(v.name);
    else
      files[v.name] = v.bytes;
    show.pictures.hvoxel_background = nullptr;
    EXPECT_EQ(init_with(files, net_init), 0);
    EXPECT_EQ(show.pictures.hvoxel_background, nullptr) << "nothing half-loaded is shared";
    net_draw(frame.get()); // draws nothing, and does not crash
    EXPECT_EQ(net_frame(), 0);
  }
}

TEST_F(net_data, TheNetBuildsUpThenFoldsAwayOverTheBackdrop) {
  ASSERT_EQ(init_with(net_build_files(), net_init), 1);
  ASSERT_NE(show.pictures.hvoxel_background, nullptr);
  EXPECT_EQ(show.pictures.hvoxel_background->width, 320);
  net_state* s = net_get_state();
  EXPECT_EQ(s->normal_map[0] <= 63, true);
  for (uint8_t b : s->normal_map)
    ASSERT_LE(b, 63) << "bytes shifted right by 2";

  // The net draws itself into the frame before order 29, row by row.
  pixmap_fill_rect(frame.get(), 0, 0, 320, 240, 0);
  opening_clock_set(&clock, 10.0f, 22, 0);
  ASSERT_EQ(net_frame(), 1);
  EXPECT_EQ(opening_lit_share(frame.get()), 0.0) << "nothing revealed yet";
  ASSERT_EQ(net_frame(), 1);
  EXPECT_NEAR(opening_lit_share(frame.get()), 8.0 / 240, 0.01) << "one block row";
  for (int i = 0; i < 39; i++)
    ASSERT_EQ(net_frame(), 1);
  EXPECT_GT(opening_lit_share(frame.get()), 0.97);
  EXPECT_EQ(s->stage_clock, 410.0f);

  // From order 29: the hypervoxel's backdrop, the sheet over it, for 512 ticks.
  opening_pixmap backdrop(pixmap_create(320, 240, 0));
  pixmap_fill_rect(backdrop.get(), 0, 0, 320, 240, 0x00203040);
  show.pictures.hvoxel_backdrop = backdrop.get();
  opening_clock_set(&clock, 8.0f, 29, 0);
  int32_t frames = 0;
  int32_t backdrop_seen = 0;
  while (net_frame() && frames < 1000) {
    frames++;
    backdrop_seen += frame->pixels[120 * 320 + 160] == 0x00203040u;
  }
  EXPECT_EQ(frames, 65) << "ends on the step that sees the sheet clock past 512";
  EXPECT_EQ(frame->pixels[0], 0x00203040u) << "the ball has gone to the right";
  EXPECT_GT(backdrop_seen, 10) << "and the backdrop shows where the sheet was";
  show.pictures.hvoxel_backdrop = nullptr;
}
