// The diffuse cube: density grid, blob and cube motion, the bar's jump, the
// glow lattice, and init and frame on the build's data (and broken data).
#include "blend.h"
#include "dcube.h"
#include "dcube_parts.h"
#include "gif.h"
#include "opening_fixtures.h"
#include "pcx.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {
constexpr double PI = 3.14159265358979323846;

dcube_blob blob_at(float x, float y, float z) { return {x, y, z, 0, 0, 0, 0, 0, 0}; }

// The grid point of column k, row j, layer l.
void grid_point(int32_t k, int32_t j, int32_t l, double* p) {
  p[0] = -32.0 + 8 * k;
  p[1] = -32.0 + 8 * j;
  p[2] = -64.0 + 8 * l;
}
} // namespace

TEST(DcubeDensity, SumsTheBlobsInverseDistancesUpTo128) {
  const dcube_blob blobs[4] = {blob_at(3, -7, 11), blob_at(-20, 25, -30), blob_at(30, 1.5f, 2), blob_at(0, 0, 31)};
  uint8_t grid[DCUBE_POINTS];
  dcube_fill_density(grid, blobs);
  int checked = 0;
  for (int32_t l = 0; l < 16; l++)
    for (int32_t j = 0; j < 16; j++)
      for (int32_t k = 0; k < 16; k++) {
        double p[3];
        grid_point(k, j, l, p);
        double e = 0;
        for (const dcube_blob& b : blobs)
          e += 128.0 /
               std::sqrt((p[0] - b.x) * (p[0] - b.x) + (p[1] - b.y) * (p[1] - b.y) + (p[2] - b.z) * (p[2] - b.z));
        e = std::min(e, 128.0);
        const int got = grid[k + 16 * j + 256 * l];
        // Single precision may fall on the other side of a whole number.
        if (std::fabs(e - std::round(e)) < 1e-3) {
          ASSERT_NEAR(got, e, 1.0);
        } else {
          ASSERT_EQ(got, int(e)) << k << "," << j << "," << l;
        }
        checked++;
      }
  EXPECT_EQ(checked, 4096);
}

TEST(DcubeDensity, APointOnABlobCounts128) {
  // Grid point (4, 4, 8) is the origin, (0, 0, 0) the corner (-32, -32, -64).
  const dcube_blob blobs[4] = {blob_at(0, 0, 0), blob_at(0, 0, 0), blob_at(0, 0, 0), blob_at(-32, -32, -64)};
  uint8_t grid[DCUBE_POINTS];
  dcube_fill_density(grid, blobs);
  EXPECT_EQ(grid[4 + 16 * 4 + 256 * 8], 128);
  EXPECT_EQ(grid[0], 128);
  // Three blobs 8 away and one far: 3 * 16 + a little.
  const int next = grid[5 + 16 * 4 + 256 * 8];
  EXPECT_GE(next, 48);
  EXPECT_LT(next, 52);
}

TEST(DcubeDensity, TheDensestPartLiesTowardsTheFirstRowsAndColumns) {
  // The blobs stay within 32 of the origin, which is column 4 and row 4 of a
  // grid reaching 88: wherever they are, the far columns are thin.
  const dcube_blob blobs[4] = {blob_at(32, 32, 0), blob_at(-32, 10, 20), blob_at(5, -32, -20), blob_at(20, 20, 32)};
  uint8_t grid[DCUBE_POINTS];
  dcube_fill_density(grid, blobs);
  int64_t near = 0, far = 0;
  for (int32_t l = 0; l < 16; l++)
    for (int32_t j = 0; j < 16; j++)
      for (int32_t k = 0; k < 16; k++)
        (k < 8 && j < 8 ? near : far) += grid[k + 16 * j + 256 * l];
  // The first eight rows and columns are a quarter of the points.
  EXPECT_GT(double(near) / 1024, 1.3 * double(far) / 3072) << "denser per point";
  EXPECT_LT(grid[15 + 16 * 15 + 256 * 8], 8) << "the far corner draws nothing";
}

TEST(DcubeMotion, BlobsArePlacedByTheirAnglesBeforeTheyTurn) {
  dcube_state s{};
  dcube_reset_motion(&s);
  for (const dcube_blob& b : s.blobs) {
    EXPECT_EQ(b.x, 0.0f);
    EXPECT_EQ(b.ax, 0.0f);
  }
  EXPECT_FLOAT_EQ(s.blobs[0].sx, float(PI / 32));
  EXPECT_FLOAT_EQ(s.blobs[2].sz, float(-PI / 256));
  dcube_move_blobs(s.blobs, 10.0f);
  // Placed by the angles 0: x and z 0, y 32.
  EXPECT_EQ(s.blobs[1].x, 0.0f);
  EXPECT_EQ(s.blobs[1].y, 32.0f);
  EXPECT_EQ(s.blobs[1].z, 0.0f);
  EXPECT_NEAR(s.blobs[1].ax, PI / 64 * 10 * 0.35, 1e-6);
  EXPECT_NEAR(s.blobs[1].ay, -PI / 128 * 10 * 0.12, 1e-6);
  EXPECT_NEAR(s.blobs[1].az, PI / 128 * 10 * 0.25, 1e-6);
  dcube_move_blobs(s.blobs, 0.0f);
  EXPECT_NEAR(s.blobs[3].x, 32 * std::sin(PI / 128 * 10 * 0.35), 1e-4);
  EXPECT_NEAR(s.blobs[3].y, 32 * std::cos(-PI / 64 * 10 * 0.12), 1e-4);
  EXPECT_NEAR(s.blobs[3].z, 32 * std::sin(-PI / 64 * 10 * 0.25), 1e-4);
}

TEST(DcubeMotion, TheCubeIsProjectedThroughItsDistance) {
  dcube_state s{};
  dcube_reset_motion(&s);
  vec3 out[8];
  dcube_project(s.vertices, 0, 0, 0, 0, out);
  // Unturned, at distance 600: f = 400 / (400 - (z + 600)).
  for (int32_t i = 0; i < 8; i++) {
    const vec3& v = s.vertices[i];
    const double f = 400.0 / (400.0 - (v.z + 600.0));
    EXPECT_NEAR(out[i].x, f * v.x + 160, 1e-3);
    EXPECT_NEAR(out[i].y, f * v.y + 120, 1e-3);
    EXPECT_EQ(out[i].z, v.z);
  }
  // Half a turn about z mirrors x and y; t = pi/2 moves the cube 50 further.
  dcube_project(s.vertices, 0, 0, float(PI), float(PI / 2), out);
  const double f = 400.0 / (400.0 - (-64.0 + 650.0));
  EXPECT_NEAR(out[0].x, f * 64 + 160, 1e-2);
  EXPECT_NEAR(out[0].y, f * 64 + 120, 1e-2);
  EXPECT_NEAR(out[0].z, -64, 1e-3);
}

TEST(DcubeMotion, TheCubeJumpsOncePerBar) {
  dcube_state s{};
  dcube_reset_motion(&s);
  const float eighth = float(PI / 8);
  dcube_turn(&s, 0.0f, 0);
  EXPECT_FLOAT_EQ(s.a0, eighth);
  EXPECT_FLOAT_EQ(s.a1, -eighth);
  EXPECT_FLOAT_EQ(s.a2, -eighth);
  EXPECT_EQ(s.beat, 1);
  for (uint32_t row : {1u, 5u, 6u, 7u}) {
    dcube_turn(&s, 0.0f, row);
    EXPECT_FLOAT_EQ(s.a0, eighth) << "no second jump in row " << row;
  }
  dcube_turn(&s, 0.0f, 8);
  EXPECT_EQ(s.beat, 0) << "row 8 clears the flag";
  EXPECT_FLOAT_EQ(s.a0, eighth);
  dcube_turn(&s, 0.0f, 14);
  EXPECT_FLOAT_EQ(s.a0, eighth) << "rows 6 to 15 never jump";
  dcube_turn(&s, 0.0f, 18); // row 18 of a longer pattern: low bits 2
  EXPECT_FLOAT_EQ(s.a0, 2 * eighth);

  // The steady turn, per tick.
  dcube_state u{};
  dcube_reset_motion(&u);
  u.beat = 1;
  dcube_turn(&u, 4.0f, 9);
  EXPECT_NEAR(u.t, PI / 512 * 4, 1e-6);
  EXPECT_NEAR(u.a2, PI / 2048 * 4, 1e-6);
  EXPECT_NEAR(u.a1, PI / 1024 * 4, 1e-6);
  EXPECT_NEAR(u.a0, -PI / 2048 * 4, 1e-6);
}

namespace {
// A lattice over a flat square seen face on: corners projected by hand.
void flat_cube(vec3* v, float z_front, float z_back) {
  const float c[4][2] = {{40, 40}, {280, 40}, {280, 200}, {40, 200}};
  for (int32_t q = 0; q < 4; q++) {
    v[q] = {c[q][0], c[q][1], z_front};
    v[q + 4] = {c[q][0], c[q][1], z_back};
  }
}

// Bounding box of the pixels that are not black.
bool lit_box(const pixmap* p, int32_t* x0, int32_t* y0, int32_t* x1, int32_t* y1) {
  *x0 = *y0 = 1 << 30;
  *x1 = *y1 = -1;
  for (int32_t y = 0; y < p->height; y++)
    for (int32_t x = 0; x < p->width; x++)
      if (p->pixels[y * p->width + x] & 0xFFFFFF) {
        *x0 = std::min(*x0, x);
        *y0 = std::min(*y0, y);
        *x1 = std::max(*x1, x);
        *y1 = std::max(*y1, y);
      }
  return *x1 >= 0;
}
} // namespace

TEST(DcubeLattice, EachPointDrawsAGlowSizedByItsDensityAndDepth) {
  build_mul_tables();
  opening_pixmap glow(pixmap_create(16, 16, 0));
  pixmap_fill_rect(glow.get(), 0, 0, 16, 16, 0x00101010);
  vec3 v[8];
  flat_cube(v, -80, 80);
  struct pick {
    int32_t k, j, l, density;
  };
  // Layer l sits at z -80 + 10 l, row j at y 200 - 10 j, column k at x 40 + 15 k.
  for (const pick p : {pick{3, 5, 0, 40}, pick{12, 2, 8, 20}, pick{7, 13, 15, 100}}) {
    SCOPED_TRACE(testing::Message() << "point " << p.k << "," << p.j << "," << p.l);
    uint8_t grid[DCUBE_POINTS] = {};
    grid[p.k + 16 * p.j + 256 * p.l] = uint8_t(p.density);
    opening_pixmap frame(pixmap_create(320, 240, 0));
    dcube_draw_lattice(frame.get(), glow.get(), v, grid);
    int32_t x0, y0, x1, y1;
    ASSERT_TRUE(lit_box(frame.get(), &x0, &y0, &x1, &y1));
    const float z = -80.0f + 10.0f * float(p.l);
    const int32_t side = int32_t(float(p.density) - z / 8.0f);
    EXPECT_EQ(x1 - x0 + 1, side / 2 * 2);
    EXPECT_EQ(y1 - y0 + 1, side / 2 * 2);
    const int32_t cx = 40 + 15 * p.k, cy = 200 - 10 * p.j;
    EXPECT_NEAR((x0 + x1 + 1) / 2.0, cx, 1.0);
    EXPECT_NEAR((y0 + y1 + 1) / 2.0, cy, 1.0);
  }
}

TEST(DcubeLattice, ThinDensitiesAndSmallGlowsDrawNothing) {
  build_mul_tables();
  opening_pixmap glow(pixmap_create(16, 16, 0));
  pixmap_fill_rect(glow.get(), 0, 0, 16, 16, 0x00FFFFFF);
  vec3 v[8];
  // Deep layers: z up to 180, so a density of 20 gives a side below 8 there.
  flat_cube(v, 20, 200);
  uint8_t grid[DCUBE_POINTS];
  for (int32_t i = 0; i < DCUBE_POINTS; i++)
    grid[i] = uint8_t(i < 2048 ? 7 : 20);
  opening_pixmap frame(pixmap_create(320, 240, 0));
  dcube_draw_lattice(frame.get(), glow.get(), v, grid);
  int32_t x0, y0, x1, y1;
  EXPECT_FALSE(lit_box(frame.get(), &x0, &y0, &x1, &y1));
  // A corner far outside the frame, or not a number, draws nothing either.
  v[0] = {NAN, NAN, 0};
  v[1] = {1e30f, -1e30f, 0};
  for (int32_t i = 0; i < DCUBE_POINTS; i++)
    grid[i] = 128;
  dcube_draw_lattice(frame.get(), glow.get(), v, grid);
  SUCCEED();
}

TEST(DcubeLattice, GlowsAddUpAndSaturate) {
  build_mul_tables();
  opening_pixmap glow(pixmap_create(8, 8, 0));
  pixmap_fill_rect(glow.get(), 0, 0, 8, 8, 0x00503010);
  vec3 v[8];
  // Every lattice point on the same spot.
  for (vec3& c : v)
    c = {100, 100, 0};
  uint8_t grid[DCUBE_POINTS] = {};
  grid[0] = grid[1] = 20;
  opening_pixmap frame(pixmap_create(320, 240, 0));
  dcube_draw_lattice(frame.get(), glow.get(), v, grid);
  EXPECT_EQ(frame->pixels[100 * 320 + 100] & 0xFFFFFF, 0x00A06020u);
  grid[2] = grid[3] = grid[4] = grid[5] = 20;
  dcube_draw_lattice(frame.get(), glow.get(), v, grid);
  EXPECT_EQ(frame->pixels[100 * 320 + 100] & 0xFFFFFF, 0x00FFFF80u);
}

TEST(DcubeInit, MissingOrBrokenPicturesFailCleanly) {
  const opening_files& all = opening_build_files();
  ASSERT_TRUE(all.count("diffuse/bgpic.pcx"));
  ASSERT_TRUE(all.count("seqzoom/flares/flare3.gif"));
  music_clock clock{};
  opening_pixmap frame(pixmap_create(320, 240, PIXMAP_CLEAR));
  const std::vector<uint8_t>& bg = all.at("diffuse/bgpic.pcx");
  struct variant {
    const char* what;
    std::string name;
    std::vector<uint8_t> bytes; // empty: the file is left out
  };
  const std::vector<variant> cases = {
      {"no glow", "seqzoom/flares/flare3.gif", {}},
      {"no background", "diffuse/bgpic.pcx", {}},
      {"truncated glow", "seqzoom/flares/flare3.gif",
       std::vector<uint8_t>(all.at("seqzoom/flares/flare3.gif").begin(),
                            all.at("seqzoom/flares/flare3.gif").begin() + 40)},
      {"truncated background", "diffuse/bgpic.pcx", std::vector<uint8_t>(bg.begin(), bg.begin() + 200)},
      {"small background", "diffuse/bgpic.pcx", all.at("galaxy/pexil.pcx")}};
  for (const variant& v : cases) {
    SCOPED_TRACE(v.what);
    testkit_tempdir dir;
    opening_files files = all;
    if (v.bytes.empty())
      files.erase(v.name);
    else
      files[v.name] = v.bytes;
    std::string error;
    ASSERT_EQ(opening_use_archive(dir.path, files, &error), 1) << error;
    testing::internal::CaptureStdout();
    show_context show{.clock = &clock, .frame = frame.get()};
    EXPECT_EQ(dcube_init(&show), 0);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(show.pictures.dcube_background, nullptr) << "no half-checked picture is shared";
    EXPECT_EQ(dcube_get_state()->glow, nullptr) << "the glow is released too";
    EXPECT_EQ(dcube_get_state()->background, nullptr);
    opening_release_archive();
  }
}

namespace {
struct dcube_data : ::testing::Test {
  testkit_tempdir dir;
  void SetUp() override {
    std::string error;
    ASSERT_EQ(opening_use_archive(dir.path, opening_build_files(), &error), 1) << error;
    build_mul_tables();
  }
  void TearDown() override { opening_release_archive(); }
};
} // namespace

TEST_F(dcube_data, FramesAddGlowsOverTheBackgroundUntilOrder37) {
  music_clock clock{};
  opening_pixmap frame(pixmap_create(320, 240, PIXMAP_CLEAR));
  testing::internal::CaptureStdout();
  show_context show{.clock = &clock, .frame = frame.get()};
  ASSERT_EQ(dcube_init(&show), 1);
  testing::internal::GetCapturedStdout();
  const pixmap* bg = show.pictures.dcube_background;
  ASSERT_NE(bg, nullptr);
  std::vector<uint32_t> previous;
  int32_t changed = 0;
  for (int32_t f = 0; f < 40; f++) {
    opening_clock_set(&clock, 1.2f, 30, uint32_t(f % 64));
    ASSERT_EQ(dcube_frame(), 1);
    int64_t brighter = 0;
    for (int32_t y = 0; y < 240; y++)
      for (int32_t x = 0; x < 320; x++) {
        const uint32_t p = frame->pixels[y * 320 + x], b = bg->pixels[bg->rows[y] + x];
        for (int k = 0; k < 3; k++)
          ASSERT_GE(opening_channel(p, k), opening_channel(b, k)) << "glows only add light";
        brighter += opening_rgb(p) != opening_rgb(b);
      }
    if (f > 0) {
      EXPECT_GT(brighter, 2000) << "frame " << f << " shows the clouds";
    }
    const std::vector<uint32_t> now(frame->pixels, frame->pixels + 320 * 240);
    changed += now != previous;
    previous = now;
  }
  EXPECT_GE(changed, 39) << "the clouds move";
  opening_clock_set(&clock, 1.0f, 36, 63);
  EXPECT_EQ(dcube_frame(), 1);
  opening_clock_set(&clock, 1.0f, 37, 0);
  EXPECT_EQ(dcube_frame(), 0);
  opening_clock_set(&clock, 1.0f, 0xFFFFFFFFu, 0);
  EXPECT_EQ(dcube_frame(), 0) << "no song: over";
}

TEST_F(dcube_data, TheBackgroundIsDarkAboveAWarmFloor) {
  opening_pixmap bg(pcx_load("data/diffuse/bgpic.pcx"));
  ASSERT_NE(bg, nullptr);
  EXPECT_EQ(bg->width, 320);
  EXPECT_EQ(bg->height, 240);
  double sky[3] = {}, floor[3] = {};
  for (int32_t y = 0; y < 240; y++)
    for (int32_t x = 0; x < 320; x++)
      for (int k = 0; k < 3; k++)
        (y < 150 ? sky : floor)[k] += opening_channel(bg->pixels[y * 320 + x], k);
  for (double& v : sky)
    v /= 150 * 320;
  for (double& v : floor)
    v /= 90 * 320;
  EXPECT_LT(sky[0] + sky[1] + sky[2], 3 * 60) << "dark enough for the glows";
  EXPECT_GT(sky[2], sky[1]) << "blue above";
  EXPECT_GT(floor[0], floor[2]) << "warm below";
}

TEST_F(dcube_data, AFrameDrawsTheBlobsAndTheCubeAsTheyStoodBeforeItsStep) {
  music_clock clock{};
  opening_pixmap frame(pixmap_create(320, 240, PIXMAP_CLEAR));
  testing::internal::CaptureStdout();
  show_context show{.clock = &clock, .frame = frame.get()};
  ASSERT_EQ(dcube_init(&show), 1);
  testing::internal::GetCapturedStdout();
  // Two frames (the second on a bar's first row, so the cube jumps): each is
  // the background, then the lattice of the density and the projection of
  // the positions and angles the frame began with.
  for (uint32_t row : {8u, 16u}) {
    SCOPED_TRACE(row);
    const dcube_state before = *dcube_get_state();
    opening_pixmap want(pixmap_create(320, 240, 0));
    pixmap_blit(want.get(), 0, 0, before.background, 0, 0, 320, 240);
    uint8_t density[DCUBE_POINTS];
    dcube_fill_density(density, before.blobs);
    vec3 seen[8];
    dcube_project(before.vertices, before.a0, before.a1, before.a2, before.t, seen);
    dcube_draw_lattice(want.get(), before.glow, seen, density);
    opening_clock_set(&clock, 3.0f, 30, row);
    ASSERT_EQ(dcube_frame(), 1);
    EXPECT_EQ(std::memcmp(frame->pixels, want->pixels, 320 * 240 * 4), 0);
  }
}

TEST_F(dcube_data, TheGlowIsASoftRoundLight) {
  testing::internal::CaptureStdout();
  opening_pixmap g(gif_load("data/seqzoom/flares/flare3.gif"));
  testing::internal::GetCapturedStdout();
  ASSERT_NE(g, nullptr);
  ASSERT_EQ(g->width, g->height);
  const int32_t n = g->width, c = n / 2;
  // Brightness (the three channels' sum) at a point, and at distance r from
  // the middle in direction a (eighths of a turn).
  auto level = [&](int32_t x, int32_t y) {
    const uint32_t p = g->pixels[g->rows[y] + x];
    return int32_t(opening_channel(p, 0) + opening_channel(p, 1) + opening_channel(p, 2));
  };
  auto around = [&](float r, int32_t a) {
    const float t = float(a) * 3.14159265f / 4;
    return level(c + int32_t(std::lround(r * std::cos(t))), c + int32_t(std::lround(r * std::sin(t))));
  };
  const int32_t centre = level(c, c);
  EXPECT_GT(centre, 500) << "bright middle";
  int32_t previous = centre;
  for (float r = 4; r < float(c); r += 4) {
    SCOPED_TRACE(r);
    // Round: the same light in every direction (a star's rays would not be).
    for (int32_t a = 0; a < 8; a++)
      EXPECT_NEAR(around(r, a), around(r, 0), 12 + centre / 12) << "direction " << a;
    // Falling off smoothly, with no ring.
    EXPECT_LE(around(r, 0), previous + 4);
    previous = around(r, 0);
  }
  EXPECT_GT(around(float(c) / 2, 1), centre / 8) << "soft: still lit half-way out";
  for (int32_t i = 0; i < n; i++) {
    EXPECT_EQ(level(i, 0) + level(0, i) + level(i, n - 1) + level(n - 1, i), 0) << "black edges";
  }
}
