// The intro: its tables, the burn-in, the tile wall, the logos, the title,
// the beat blur and the torus lines in isolation, then its three sections on
// the build's data driven by a hand-set clock, and its init on broken data.
#include "drawers.h"
#include "gif.h"
#include "intro.h"
#include "intro_parts.h"
#include "lwo.h"
#include "mem.h"
#include "opening_fixtures.h"
#include "pcx.h"
#include "polygondrawer.h"
#include "render_context.h"
#include "scx.h"
#include "shade.h"
#include "testkit.h"
#include "tga.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {
int glow_of(int v) { return int(255.0 - 255.0 * std::pow(0.9, double(std::max(v - 128, 0)))); }
int scale_of(int a, int v) { return a * v / 128; }
} // namespace

TEST(IntroTables, ScaleGlowAndDepthWave) {
  auto t = std::make_unique<intro_tables>();
  intro_build_tables(t.get());
  for (int a : {0, 1, 64, 127})
    for (int v : {0, 1, 128, 200, 255})
      EXPECT_EQ(t->scale[a][v], scale_of(a, v)) << a << " " << v;
  for (int v = 0; v <= 128; v++)
    ASSERT_EQ(t->glow[v], 0) << v;
  EXPECT_EQ(t->glow[129], 25);
  EXPECT_EQ(t->glow[130], 48);
  EXPECT_EQ(t->glow[255], 254);
  for (int v = 1; v < 256; v++)
    ASSERT_GE(t->glow[v], t->glow[v - 1]);
  EXPECT_EQ(t->depth_wave[0], 0.0f);
  EXPECT_NEAR(t->depth_wave[190], 400.0f, 0.1f);
  EXPECT_NEAR(t->depth_wave[379], 0.0f, 2.0f);
  EXPECT_LT(t->depth_wave[511], -300.0f);
}

// ---- The burn-in on a state made by hand ----

namespace {
struct burn_fixture : ::testing::Test {
  intro_state s{};
  std::unique_ptr<intro_tables> tables = std::make_unique<intro_tables>();
  std::vector<uint8_t> map = std::vector<uint8_t>(INTRO_PIXELS), inverse = std::vector<uint8_t>(INTRO_PIXELS);
  std::vector<uint8_t> zero = std::vector<uint8_t>(INTRO_PIXELS), out = std::vector<uint8_t>(INTRO_PIXELS);
  uint8_t shade[SHADE_TABLE_BYTES];
  opening_pixmap picture = opening_noise(320, 240, 17);
  opening_pixmap frame{pixmap_create(320, 240, 0)};

  void SetUp() override {
    intro_build_tables(tables.get());
    shade_table_build(shade, 255, 0);
    for (int32_t i = 0; i < INTRO_PIXELS; i++) {
      map[size_t(i)] = uint8_t((i * 7) % 256);
      inverse[size_t(i)] = uint8_t(255 - map[size_t(i)]);
    }
    s.tables = tables.get();
    s.map = map.data();
    s.map_inverse = inverse.data();
    s.work[0] = zero.data();
    s.work[1] = out.data();
    s.shade = shade;
    s.picture = picture.get();
  }
  // The pixel the burn-in draws for picture pixel q at burn level `level`.
  uint32_t shaded(uint32_t q, int level) const {
    const uint8_t* row = shade + (level >> 3) * 256;
    return uint32_t(row[q & 255]) | uint32_t(row[(q >> 8) & 255]) << 8 | uint32_t(row[(q >> 16) & 255]) << 16 |
           (q & 0xFF000000u);
  }
  void expect_levels(const std::function<int(int)>& level_of_map, const char* what) {
    for (int32_t i = 0; i < INTRO_PIXELS; i += 97)
      ASSERT_EQ(frame->pixels[i], shaded(picture->pixels[i], level_of_map(map[size_t(i)]))) << what << " pixel " << i;
  }
};
} // namespace

TEST_F(burn_fixture, ThreePhasesOf128FramesEach) {
  intro_burn_step(&s, frame.get());
  expect_levels([](int) { return 0; }, "phase 0, level 0: black");
  for (int i = 1; i < 100; i++)
    intro_burn_step(&s, frame.get());
  expect_levels([](int m) { return glow_of(scale_of(99, m)); }, "phase 0, level 99");
  for (int i = 100; i < 128; i++)
    intro_burn_step(&s, frame.get());
  EXPECT_EQ(s.phase, 1);
  EXPECT_EQ(s.level, 0);
  intro_burn_step(&s, frame.get());
  expect_levels([](int m) { return glow_of(m); }, "phase 1, level 0");
  for (int i = 1; i < 128; i++)
    intro_burn_step(&s, frame.get());
  const auto last = [](int m) { return glow_of(m + scale_of(127, 255 - m)); };
  expect_levels(last, "phase 1, level 127");
  EXPECT_EQ(s.phase, 2);
  // Phase 2 keeps the last levels for another 128 frames.
  pixmap_fill_rect(frame.get(), 0, 0, 320, 240, 0);
  for (int i = 0; i < 128; i++)
    intro_burn_step(&s, frame.get());
  expect_levels(last, "phase 2");
  EXPECT_EQ(s.phase, 3);
}

// ---- The tile wall ----

TEST(IntroTiles, TheWallIsBuiltRowByRow) {
  opening_pixmap picture = opening_noise(320, 240, 5);
  std::vector<intro_tile> tiles(INTRO_TILES);
  ASSERT_EQ(intro_make_tiles(tiles.data(), picture.get()), 1);
  for (int32_t r = 0; r < 8; r++)
    for (int32_t j = 0; j < 10; j++) {
      const intro_tile& t = tiles[size_t(r * 10 + j)];
      SCOPED_TRACE(testing::Message() << "tile " << r << "," << j);
      EXPECT_EQ(t.position.x, -144.0f + 32 * j);
      EXPECT_EQ(t.position.y, -105.0f + 30 * r);
      EXPECT_EQ(t.time, -2.0f * float(r * 10 + j));
      // In 32 steps a tile reaches its place in the spread-out grid.
      EXPECT_NEAR(t.start_x + 32 * t.velocity_x, -304.0f + 67.55556f * j, 1e-3f);
      EXPECT_NEAR(t.start_y + 32 * t.velocity_y, -192.85715f + 64.28571f * r, 1e-3f);
      for (const polygon* p : t.triangle) {
        EXPECT_EQ(p->flags, 0x33804u);
        EXPECT_EQ(p->stride, 5);
        EXPECT_EQ(p->drawer, &texture_general);
        EXPECT_EQ(p->texture[0], picture.get());
        EXPECT_EQ(p->uv_count, 6);
        for (int k = 0; k < 6; k += 2) {
          EXPECT_GE(p->uv[k], 31.9f * j - 1e-3f);
          EXPECT_LE(p->uv[k], 31.9f * (j + 1) + 1e-3f);
          EXPECT_GE(p->uv[k + 1], 30.0f * r);
          EXPECT_LE(p->uv[k + 1], 30.0f * (r + 1));
        }
      }
      // Corners 1, 2, 3 and 2, 4, 3 share the diagonal from corner 2 to 3.
      EXPECT_EQ(t.triangle[0]->uv[2], t.triangle[1]->uv[0]);
      EXPECT_EQ(t.triangle[0]->uv[4], t.triangle[1]->uv[4]);
    }
  // The last row reaches the picture's height: the drawer must not read past it.
  EXPECT_EQ(tiles[79].triangle[1]->uv[3], 240.0f);
  intro_free_tiles(tiles.data());
}

TEST(IntroTiles, ATileWaitsThenFliesAndTurns) {
  opening_pixmap picture = opening_noise(320, 240, 5);
  opening_pixmap target(pixmap_create(320, 240, 0));
  render_context* rc = render_context_create(0, target.get(), 320, 240, 400);
  std::vector<intro_tile> tiles(INTRO_TILES);
  ASSERT_EQ(intro_make_tiles(tiles.data(), picture.get()), 1);
  mat3 flip;
  mat3_rotation_xyz(&flip, 3.1415927f, 0, 0);

  // A waiting tile stays on the grid, unrotated, at the wall's depth and offset.
  intro_tile& late = tiles[79];
  intro_tile_step(&late, &flip, 25.0f, 3.0f, 1.0f, rc);
  EXPECT_EQ(late.time, -157.5f);
  EXPECT_EQ(late.angle[2], 0.0f);
  EXPECT_NEAR(late.transformed[0].x, -16 + 144 + 3, 1e-3f);
  EXPECT_NEAR(late.transformed[0].y, 15 - 105, 1e-3f) << "the camera turns the wall upside down";
  EXPECT_EQ(late.transformed[0].z, 25.0f);
  EXPECT_EQ(late.triangle[0]->colour, 0xFFFFFFu) << "seen from the front";

  // The first tile: time 0 does not move yet; at 0.5 it moves and turns.
  intro_tile& first = tiles[0];
  intro_tile_step(&first, &flip, 0, 0, 1.0f, rc);
  EXPECT_EQ(first.position.x, first.start_x);
  intro_tile_step(&first, &flip, 0, 0, 1.0f, rc);
  EXPECT_FLOAT_EQ(first.position.x, first.start_x + 0.5f * first.velocity_x);
  EXPECT_FLOAT_EQ(first.angle[1], 0.5f * -0.19634955f);
  // Past 64 its time falls back to 63.
  first.time = 63.9f;
  intro_tile_step(&first, &flip, 0, 0, 1.0f, rc);
  EXPECT_EQ(first.time, 63.0f);
  // Movement stops at 32: the tile keeps the place it had.
  const vec3 placed = first.position;
  first.time = 40.0f;
  intro_tile_step(&first, &flip, 0, 0, 1.0f, rc);
  EXPECT_EQ(first.position.x, placed.x);

  // Without the camera's turn the tile shows its back, tinted.
  mat3 identity;
  mat3_rotation_xyz(&identity, 0, 0, 0);
  intro_tile_step(&tiles[50], &identity, 0, 0, 0, rc);
  EXPECT_EQ(tiles[50].triangle[0]->colour, 0x0000FFu);
  intro_free_tiles(tiles.data());
  render_context_free(rc);
}

TEST(IntroTiles, TextureCoordinatesAtThePicturesEdgeStayInside) {
  // Each texel holds its own row and column, so every drawn pixel tells
  // where it was read.
  opening_pixmap picture(pixmap_create(320, 240, 0));
  for (int32_t y = 0; y < 240; y++)
    for (int32_t x = 0; x < 320; x++)
      picture->pixels[y * 320 + x] = uint32_t(x) | uint32_t(y) << 12 | 0x80000000u;
  opening_pixmap target(pixmap_create(320, 240, 0));
  render_context* rc = render_context_create(0, target.get(), 320, 240, 400);
  std::vector<intro_tile> tiles(INTRO_TILES);
  ASSERT_EQ(intro_make_tiles(tiles.data(), picture.get()), 1);
  mat3 flip;
  mat3_rotation_xyz(&flip, 3.1415927f, 0, 0);
  // The wall as a whole at the projection plane: one texel per pixel.
  for (intro_tile& t : tiles)
    intro_tile_step(&t, &flip, 0, 0, 0, rc);
  int32_t drawn = 0, last_row = 0;
  for (int32_t i = 0; i < 320 * 240; i++) {
    const uint32_t p = target->pixels[i];
    if (!(p & 0x80000000u))
      continue;
    drawn++;
    ASSERT_LT(p & 0xFFF, 320u);
    ASSERT_LT((p >> 12) & 0xFFF, 240u);
    last_row = std::max<int32_t>(last_row, int32_t((p >> 12) & 0xFFF));
  }
  EXPECT_GT(drawn, 300 * 230);
  EXPECT_GE(last_row, 237);
  // Coordinates equal to the picture's width and height all over a triangle
  // read its last column and row.
  polygon* p = tiles[79].triangle[1];
  for (int k = 0; k < 6; k += 2) {
    p->uv[k] = 320;
    p->uv[k + 1] = 240;
  }
  pixmap_fill_rect(target.get(), 0, 0, 320, 240, 0);
  p->v[0] = {10, 10, 0};
  p->v[1] = {300, 40, 0};
  p->v[2] = {40, 230, 0};
  texture_general(p, target.get());
  std::set<uint32_t> seen(target->pixels, target->pixels + 320 * 240);
  EXPECT_EQ(seen, (std::set<uint32_t>{0u, picture->pixels[239 * 320 + 319]}));
  intro_free_tiles(tiles.data());
  render_context_free(rc);
}

// ---- Logos, title, beat blur and torus lines ----

TEST(IntroLogos, EachPulsesBetweenItselfAndTheFrame) {
  intro_state s{};
  std::vector<opening_pixmap> logos;
  static const int32_t at[4][3] = {{26, 218, 255}, {41, 218, 196}, {56, 218, 128}, {61, 113, 64}};
  for (int i = 0; i < 4; i++) {
    logos.emplace_back(pixmap_create(16, 16, 0));
    pixmap_fill_rect(logos.back().get(), 0, 0, 16, 16, 0x00C8C8C8u);
    s.logos[i] = {logos.back().get(), at[i][0], at[i][1], at[i][2]};
  }
  opening_pixmap frame(pixmap_create(320, 240, 0));
  pixmap_fill_rect(frame.get(), 0, 0, 320, 240, 0x00646464u);
  intro_draw_logos(&s, frame.get());
  // Logo 3 at phase 128 is half logo, half frame: 150.
  EXPECT_EQ(opening_rgb(frame->pixels[(218 + 8) * 320 + 56 + 8]), 0x969696u);
  // Logo 4 at phase 64: f = 1 shows only the frame.
  EXPECT_EQ(opening_rgb(frame->pixels[(113 + 8) * 320 + 61 + 8]), 0x646464u);
  // Logo 2 at phase 196: f = (sin(196 pi / 128) + 1) / 2.
  const float f = (std::sin(196 * 3.14159265f / 128) + 1) / 2;
  EXPECT_EQ(opening_channel(frame->pixels[(218 + 8) * 320 + 41 + 8], 1), uint32_t((1 - f) * 200 + f * 100));
  // Only the 16 x 16 squares change.
  EXPECT_EQ(opening_rgb(frame->pixels[217 * 320 + 30]), 0x646464u);
  EXPECT_EQ(s.logos[3].phase, 56);
  for (int i = 0; i < 8; i++)
    intro_draw_logos(&s, frame.get());
  EXPECT_EQ(s.logos[3].phase, 255) << "64 steps down by 8 to 0, then below 0 it starts again at 255";
  EXPECT_EQ(s.logos[0].phase, 255 - 72);
}

TEST(IntroTitle, TheRectangleZoomsOutIn128Ticks) {
  intro_state s{};
  const float start[4] = {163, 85, 165, 87};
  const float end[4] = {0, 0, 320, 240};
  for (int k = 0; k < 4; k++) {
    s.rect_start[k] = start[k];
    s.rect_step[k] = (end[k] - start[k]) / 128;
  }
  float r[4];
  intro_title_rect(&s, 0, r);
  EXPECT_EQ(std::vector<float>(r, r + 4), std::vector<float>(start, start + 4));
  intro_title_rect(&s, 64, r);
  EXPECT_FLOAT_EQ(r[0], 81.5f);
  EXPECT_FLOAT_EQ(r[1], 42.5f);
  EXPECT_FLOAT_EQ(r[2], 242.5f);
  EXPECT_FLOAT_EQ(r[3], 163.5f);
  intro_title_rect(&s, 128, r);
  for (int k = 0; k < 4; k++)
    EXPECT_NEAR(r[k], end[k], 1e-4f);
}

TEST(IntroTitle, StretchDrawsOnlyRedNonzeroPixelsOfTheRectangle) {
  opening_pixmap title(pixmap_create(320, 240, 0));
  for (int32_t y = 0; y < 240; y++)
    for (int32_t x = 0; x < 320; x++)
      title->pixels[y * 320 + x] =
          (x + y) % 3 ? uint32_t(x + 1) % 256 | uint32_t(y) << 8 | uint32_t(x >> 8) << 16 : 0x00FF0000u;
  opening_pixmap frame(pixmap_create(320, 240, 0));
  pixmap_fill_rect(frame.get(), 0, 0, 320, 240, 0x00123456u);
  // The whole title: each drawn pixel is its own.
  const float whole[4] = {0, 0, 320, 240};
  intro_title_stretch(frame.get(), title.get(), whole);
  for (int32_t i = 0; i < 320 * 240; i++) {
    if (title->pixels[i] & 255)
      ASSERT_EQ(frame->pixels[i], title->pixels[i]) << i;
    else
      ASSERT_EQ(frame->pixels[i], 0x00123456u) << i;
  }
  // A 2 x 2 spot: every pixel comes from columns 163-164, rows 85-86.
  pixmap_fill_rect(frame.get(), 0, 0, 320, 240, 0x00123456u);
  const float spot[4] = {163, 85, 165, 87};
  intro_title_stretch(frame.get(), title.get(), spot);
  std::set<uint32_t> seen(frame->pixels, frame->pixels + 320 * 240);
  std::set<uint32_t> allowed = {0x00123456u};
  for (int32_t y = 85; y < 87; y++)
    for (int32_t x = 163; x < 165; x++)
      if (title->pixels[y * 320 + x] & 255)
        allowed.insert(title->pixels[y * 320 + x]);
  EXPECT_EQ(seen, allowed);
}

TEST(IntroTitle, GlowAddsRedLessTheThresholdWithSaturation) {
  opening_pixmap title(pixmap_create(320, 240, 0));
  opening_pixmap frame(pixmap_create(320, 240, 0));
  title->pixels[0] = 200;
  title->pixels[1] = 40;
  title->pixels[2] = 0x00FFFF00u; // red 0: nothing
  frame->pixels[0] = 0xEE0A64C8u;
  frame->pixels[1] = 0x00010203u;
  frame->pixels[2] = 0x00010203u;
  intro_title_glow(frame.get(), title.get(), 50);
  EXPECT_EQ(frame->pixels[0], 0xEEA0FAFFu) << "+150 per colour byte, saturated; the fourth byte kept";
  EXPECT_EQ(frame->pixels[1], 0x00010203u) << "40 - 50 adds nothing";
  EXPECT_EQ(frame->pixels[2], 0x00010203u);
}

TEST(IntroBeat, PulsesOnTheFirstRowsOfEvery16AndDecays) {
  intro_state s{};
  s.blur_amount = 0.01f;
  intro_beat_step(&s, 5, 1);
  EXPECT_EQ(s.pulse, 0);
  EXPECT_EQ(s.blur_amount, 0.01f);
  intro_beat_step(&s, 19, 1);
  EXPECT_EQ(s.pulse, 1) << "row 19 is the fourth row of a block";
  EXPECT_EQ(s.blur_amount, 0.25f);
  // 0.0075 a tick: 32 ticks leave 0.01, one more ends the pulse, whatever the row.
  for (int i = 0; i < 32; i++)
    intro_beat_step(&s, 0, 1);
  EXPECT_EQ(s.pulse, 1);
  EXPECT_NEAR(s.blur_amount, 0.01f, 1e-4f);
  intro_beat_step(&s, 0, 1.5f);
  EXPECT_EQ(s.pulse, 0);
  EXPECT_EQ(s.blur_amount, 0.01f);
  intro_beat_step(&s, 48, 1);
  EXPECT_EQ(s.blur_amount, 0.25f) << "the next pulse starts on the next frame in rows 0-3";
}

TEST(IntroTorus, LinesAddTheBrightnessInsideTheFrameOnly) {
  opening_pixmap frame(pixmap_create(64, 48, 0));
  pixmap_fill_rect(frame.get(), 0, 0, 64, 48, 0x00000A0Au);
  frame->pixels[20 * 64 + 15] = 0x00C8C8C8u;
  polygon p{};
  p.aux = 100;
  p.v[0] = {10.5f, 20.2f, 0};
  p.v[1] = {30.5f, 20.2f, 0};
  p.v[2] = {10.5f, 40.2f, 0};
  intro_additive_lines(&p, frame.get());
  EXPECT_EQ(opening_rgb(frame->pixels[20 * 64 + 10]), 0x646E6Eu)
      << "once: the first point of the top edge; the left edge stops short of it";
  EXPECT_EQ(opening_rgb(frame->pixels[20 * 64 + 29]), 0x646E6Eu);
  EXPECT_EQ(opening_rgb(frame->pixels[20 * 64 + 31]), 0x000A0Au);
  EXPECT_EQ(opening_rgb(frame->pixels[20 * 64 + 15]), 0xFFFFFFu) << "saturated";
  EXPECT_EQ(opening_rgb(frame->pixels[21 * 64 + 10]), 0x646E6Eu) << "the left edge runs up from the third vertex";
  EXPECT_EQ(opening_rgb(frame->pixels[21 * 64 + 29]), 0x646E6Eu) << "the diagonal";

  // Points on row 0 or column 0, or past the frame, are not drawn.
  pixmap_fill_rect(frame.get(), 0, 0, 64, 48, 0);
  p.v[0] = {-5, 0, 0};
  p.v[1] = {70, 0, 0};
  p.v[2] = {0, 60, 0};
  intro_additive_lines(&p, frame.get());
  for (int32_t x = 0; x < 64; x++)
    EXPECT_EQ(frame->pixels[x], 0u) << x;
  for (int32_t y = 0; y < 48; y++)
    EXPECT_EQ(frame->pixels[y * 64], 0u) << y;
  // Shorter than a pixel: nothing.
  p.v[0] = {5, 5, 0};
  p.v[1] = {5.5f, 5.5f, 0};
  p.v[2] = {5.2f, 5.9f, 0};
  intro_additive_lines(&p, frame.get());
  EXPECT_EQ(frame->pixels[5 * 64 + 5], 0u);
}

TEST(IntroTorus, TheMeshTurnsAndIsDrawnAsLinesOfItsFrontFaces) {
  opening_pixmap frame(pixmap_create(320, 240, 0));
  intro_state s{};
  s.rc = render_context_create(0, frame.get(), 320, 240, 400);
  ASSERT_EQ(intro_make_torus_line(&s), 1);
  // One face in front, one turned away, placed so that x + 160 and z - 200
  // bring the first to screen (200, 120), (240, 120), (200, 160).
  mesh* m = mesh_create();
  m->vertex_count = 6;
  m->face_count = 2;
  for (vec3** a : {&m->positions, &m->normals, &m->work_positions, &m->work_normals, &m->work_extra})
    *a = mem_alloc_array<vec3>(6);
  m->faces = mem_alloc_array<mesh_face>(2);
  const vec3 points[6] = {{-140, 0, 0}, {-120, 0, 0}, {-140, -20, 0}, {-140, 40, 0}, {-140, 60, 0}, {-120, 40, 0}};
  for (int i = 0; i < 6; i++)
    m->positions[i] = points[i];
  m->faces[0] = {0, 4, {0, 1, 2}, {}};
  m->faces[1] = {0, 4, {3, 5, 4}, {}};
  mesh_object* o = mesh_object_create();
  o->mesh = m;
  s.torus = o;
  s.torus_brightness = 40;
  select_polygondrawer(POLYGONDRAWER_CORRECT);
  intro_draw_torus(&s, 2.0f);
  EXPECT_EQ(std::string(current_polygondrawer()->name), "Software SAFE polygondrawer");
  EXPECT_FLOAT_EQ(s.torus_angle, -2 * 0.014024967f);
  EXPECT_EQ(opening_rgb(frame->pixels[120 * 320 + 210]), 0x282828u) << "the top edge";
  EXPECT_EQ(opening_rgb(frame->pixels[140 * 320 + 200]), 0x282828u) << "the left edge";
  int lit = 0;
  for (int32_t i = 0; i < 320 * 240; i++)
    lit += frame->pixels[i] != 0;
  EXPECT_GT(lit, 100);
  EXPECT_LT(lit, 130) << "the face turned away is not drawn";
  // Turned half round, the other face shows; the first does not.
  pixmap_fill_rect(frame.get(), 0, 0, 320, 240, 0);
  s.torus_angle = 0;
  for (int i = 0; i < 6; i++)
    m->positions[i] = {-points[i].x - 320, points[i].y, points[i].z};
  intro_draw_torus(&s, 0.0f);
  EXPECT_EQ(opening_rgb(frame->pixels[120 * 320 + 210]), 0u);
  int lit2 = 0;
  for (int32_t i = 0; i < 320 * 240; i++)
    lit2 += frame->pixels[i] != 0;
  EXPECT_GT(lit2, 100);
  mesh_object_free(o);
  polygon_free(s.line);
  render_context_free(s.rc);
}

// ---- The three sections on the build's data ----

namespace {
struct intro_fixture : ::testing::Test {
  testkit_tempdir dir;
  music_clock clock{};
  opening_pixmap frame{pixmap_create(320, 240, PIXMAP_CLEAR)};
  render_context* rc = nullptr;
  uint8_t shade[SHADE_TABLE_BYTES];
  show_context show{};

  void SetUp() override {
    shade_table_build(shade, 255, 0);
    rc = render_context_create(1, frame.get(), 320, 240, 400);
    show = show_context{.clock = &clock, .frame = frame.get(), .shade = shade, .rc = rc};
    std::string error;
    ASSERT_EQ(opening_use_archive(dir.path, opening_build_files(), &error), 1) << error;
    testing::internal::CaptureStdout();
    const int32_t ok = intro_init(&show);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(ok, 1);
    ASSERT_EQ(show.pictures.ring, intro_get_state()->background) << "the ring picture goes to the zoomer";
  }
  void TearDown() override {
    opening_release_archive();
    render_context_free(rc);
  }
  int32_t step(int32_t section, float fd, uint32_t order, uint32_t row) {
    opening_clock_set(&clock, fd, order, row);
    return intro_frame(section);
  }
};
} // namespace

TEST_F(intro_fixture, SectionZeroCounts384FramesThenWaitsForOrderSix) {
  for (int i = 0; i < 384; i++)
    ASSERT_EQ(step(0, 0, 9, 0), 1) << "frames, not ticks: frame " << i;
  EXPECT_EQ(intro_get_state()->phase, 3);
  EXPECT_EQ(step(0, 3, 5, 0), 1);
  const pixmap* picture = intro_get_state()->picture;
  EXPECT_TRUE(std::equal(frame->pixels, frame->pixels + INTRO_PIXELS, picture->pixels)) << "the picture unshaded";
  EXPECT_EQ(step(0, 3, 6, 0), 0);
}

TEST_F(intro_fixture, SectionOneEndsAfter512TicksMeasuredAFrameLate) {
  int frames = 0;
  while (step(1, 10, 6, 0))
    ASSERT_LT(++frames, 1000);
  EXPECT_EQ(frames, 52) << "the first frame adds 0, then 10 a frame up to 520";
  // The logos sit over the background: the frame is not the background alone.
  const pixmap* bg = intro_get_state()->background;
  EXPECT_FALSE(std::equal(frame->pixels, frame->pixels + INTRO_PIXELS, bg->pixels));
}

TEST_F(intro_fixture, SectionTwoZoomsGlowsFadesAndEndsAfterOrderSeven) {
  const intro_state* s = intro_get_state();
  int32_t frames = 0;
  // Zoom, then glow; the threshold climbs from tick 256 on, and so the torus dims.
  while (s->section2_time < 256)
    ASSERT_EQ(step(2, 4, 6, 8), 1);
  EXPECT_EQ(s->threshold, 0.0f);
  ASSERT_EQ(step(2, 4, 6, 8), 1);
  EXPECT_EQ(s->threshold, 0.0f) << "at tick 256 itself nothing moves yet";
  EXPECT_EQ(s->torus_brightness, 255);
  ASSERT_EQ(step(2, 4, 6, 8), 1);
  EXPECT_EQ(s->threshold, 5.0f);
  EXPECT_EQ(s->torus_brightness, 250);
  while (s->threshold <= 255) {
    ASSERT_LT(++frames, 200);
    ASSERT_EQ(step(2, 4, 6, 8), 1);
  }
  EXPECT_LE(s->torus_brightness, 0);
  // Order 7 is not enough.
  EXPECT_EQ(step(2, 4, 7, 8), 1);
  EXPECT_EQ(s->done, 0);
  // After order 7, on a pulse: the section waits for the pulse to die down.
  EXPECT_EQ(step(2, 4, 8, 0), 1);
  EXPECT_EQ(s->done, 1);
  EXPECT_EQ(s->pulse, 1);
  frames = 0;
  while (step(2, 5, 8, 8))
    ASSERT_LT(++frames, 100);
  EXPECT_EQ(frames, 6) << "0.25 down below 0.01 at 0.0375 a frame";
}

TEST_F(intro_fixture, TheFirstStepOfAnySectionMayComeFirst) {
  // A Space into section 2: it starts from its own initial state.
  EXPECT_EQ(step(2, 1, 7, 4), 1);
  EXPECT_EQ(intro_get_state()->section2_time, 1.0f);
  EXPECT_EQ(std::string(current_polygondrawer()->name), "Software SAFE polygondrawer");
  EXPECT_EQ(step(1, 1, 7, 4), 1);
  EXPECT_EQ(std::string(current_polygondrawer()->name), "Software CORRECT and general polygondrawer");
}

TEST(IntroInit, MissingOrBrokenFilesFailCleanly) {
  const opening_files& all = opening_build_files();
  ASSERT_TRUE(all.count("intro/clmap1.scx"));
  music_clock clock{};
  opening_pixmap frame(pixmap_create(320, 240, PIXMAP_CLEAR));
  render_context* rc = render_context_create(1, frame.get(), 320, 240, 400);
  const std::vector<uint8_t>& map = all.at("intro/clmap1.scx");
  struct variant {
    const char* what;
    std::string name;
    std::vector<uint8_t> bytes; // empty: the file is left out
  };
  const std::vector<variant> cases = {
      {"no pickle", "intro/pickle.gif", {}},
      {"no emblem", "intro/l3.pcx", {}},
      {"no text picture", "intro/bgtext.gif", {}},
      {"no title", "intro/vorlane.tga", {}},
      {"no map", "intro/clmap1.scx", {}},
      {"short map", "intro/clmap1.scx", std::vector<uint8_t>(map.begin(), map.end() - 1)},
      {"small burn-in picture", "intro/getmet.gif", all.at("intro/pickle.gif")},
      {"small title", "intro/vorlane.tga", all.at("lillget1.tga")},
      {"small emblem", "intro/l2.pcx",
       std::vector<uint8_t>(all.at("intro/l2.pcx").begin(), all.at("intro/l2.pcx").begin() + 60)},
      {"no background", "intro/ringbild.pcx", {}},
  };
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
    show_context show{.clock = &clock, .frame = frame.get(), .rc = rc};
    EXPECT_EQ(intro_init(&show), 0);
    testing::internal::GetCapturedStdout();
    opening_release_archive();
  }
  render_context_free(rc);
}

// ---- The intro's files as the forge made them ----

namespace {
struct intro_data : ::testing::Test {
  testkit_tempdir dir;
  void SetUp() override {
    std::string error;
    ASSERT_EQ(opening_use_archive(dir.path, opening_build_files(), &error), 1) << error;
    testing::internal::CaptureStdout();
  }
  void TearDown() override {
    testing::internal::GetCapturedStdout();
    opening_release_archive();
  }
};

double mean_luma(const pixmap* p) {
  double sum = 0;
  for (int32_t i = 0; i < p->width * p->height; i++)
    sum += 0.299 * opening_channel(p->pixels[i], 0) + 0.587 * opening_channel(p->pixels[i], 1) +
           0.114 * opening_channel(p->pixels[i], 2);
  return sum / (p->width * p->height);
}
} // namespace

TEST_F(intro_data, PicturesHaveTheirSizes) {
  struct expect {
    const char* name;
    pixmap* (*load)(const char*);
    int32_t width, height;
  };
  for (const expect e :
       {expect{"data/intro/getmet.gif", gif_load, 320, 240}, expect{"data/intro/ringbild.pcx", pcx_load, 320, 240},
        expect{"data/intro/vorlane.tga", tga_load, 320, 240}, expect{"data/intro/l1.pcx", pcx_load, 16, 16},
        expect{"data/intro/l2.pcx", pcx_load, 16, 16}, expect{"data/intro/l3.pcx", pcx_load, 16, 16},
        expect{"data/intro/l4.pcx", pcx_load, 16, 16}, expect{"data/intro/pickle.gif", gif_load, 0, 0},
        expect{"data/intro/bgtext.gif", gif_load, 0, 0}}) {
    SCOPED_TRACE(e.name);
    opening_pixmap p(e.load(e.name));
    ASSERT_NE(p, nullptr);
    if (e.width) {
      EXPECT_EQ(p->width, e.width);
      EXPECT_EQ(p->height, e.height);
    }
    EXPECT_GT(mean_luma(p.get()), 8) << "a real picture, not a black one";
  }
}

TEST_F(intro_data, TheTitleIsKeyedOnRedAndTheBackgroundStaysDark) {
  opening_pixmap title(tga_load("data/intro/vorlane.tga"));
  ASSERT_NE(title, nullptr);
  int64_t drawn = 0;
  for (int32_t i = 0; i < 320 * 240; i++) {
    const uint32_t c = opening_rgb(title->pixels[i]);
    ASSERT_TRUE(c == 0 || (c & 255) > 0) << i;
    drawn += c != 0;
  }
  EXPECT_GT(drawn, 320 * 240 / 20);
  EXPECT_LT(drawn, 320 * 240 / 2);
  // The zoom starts from the spot (163, 85)-(165, 87): the title covers it.
  EXPECT_NE(title->pixels[86 * 320 + 164] & 255, 0u);

  opening_pixmap bg(pcx_load("data/intro/ringbild.pcx"));
  ASSERT_NE(bg, nullptr);
  EXPECT_LT(mean_luma(bg.get()), 60) << "the glowing title and the torus lines must stand out";
}

TEST_F(intro_data, ThePatternMapBurnsInAShape) {
  scx_bitmap* map = scx_load("data/intro/clmap1.scx");
  ASSERT_NE(map, nullptr);
  ASSERT_EQ(map->width, 320);
  ASSERT_EQ(map->height, 240);
  int32_t lo = 255, hi = 0, bright = 0;
  for (int32_t i = 0; i < INTRO_PIXELS; i++) {
    lo = std::min<int32_t>(lo, map->pixels[i]);
    hi = std::max<int32_t>(hi, map->pixels[i]);
    bright += map->pixels[i] > 128;
  }
  EXPECT_LT(lo, 16);
  EXPECT_GT(hi, 240);
  // The first phase shows the pixels above 128: a part of the picture, not all or nothing.
  EXPECT_GT(bright, INTRO_PIXELS / 8);
  EXPECT_LT(bright, INTRO_PIXELS * 3 / 4);
  // A shape, not noise: neighbours are close.
  int64_t jump = 0;
  for (int32_t y = 0; y < 240; y++)
    for (int32_t x = 1; x < 320; x++)
      jump += std::abs(int(map->pixels[y * 320 + x]) - int(map->pixels[y * 320 + x - 1]));
  EXPECT_LT(double(jump) / (240 * 319), 4.0);
  scx_free(map);
}

TEST_F(intro_data, TheTorusIsAPlainRingOfAbout400Faces) {
  mesh_object* o = mesh_object_create();
  ASSERT_NE(lwo_load("data/intro/torus.lwo", "data/intro/", o), nullptr);
  const mesh* m = o->mesh;
  ASSERT_NE(m, nullptr);
  EXPECT_GE(m->face_count, 380);
  EXPECT_LE(m->face_count, 420);
  for (int32_t i = 0; i < m->surface_count; i++)
    EXPECT_EQ(m->surfaces[i].texture, nullptr) << "no texture file";
  // Centred, with an outer radius of 150 to 200.
  float outer = 0;
  vec3 sum = {0, 0, 0};
  for (int32_t i = 0; i < m->vertex_count; i++) {
    outer = std::max(outer, vec3_length(&m->positions[i]));
    vec3_add(&sum, &sum, &m->positions[i]);
  }
  EXPECT_GE(outer, 150.0f);
  EXPECT_LE(outer, 200.0f);
  EXPECT_LT(vec3_length(&sum) / float(m->vertex_count), 1.0f);
  lwo_object_free(o);
}

TEST(IntroInit, ABrokenTorusFailsCleanly) {
  const opening_files& all = opening_build_files();
  ASSERT_TRUE(all.count("intro/torus.lwo"));
  const std::vector<uint8_t>& torus = all.at("intro/torus.lwo");
  music_clock clock{};
  opening_pixmap frame(pixmap_create(320, 240, PIXMAP_CLEAR));
  render_context* rc = render_context_create(1, frame.get(), 320, 240, 400);
  for (size_t cut : {size_t(0), size_t(11), torus.size() / 2}) {
    SCOPED_TRACE(cut);
    testkit_tempdir dir;
    opening_files files = all;
    if (cut == 0)
      files.erase("intro/torus.lwo");
    else
      files["intro/torus.lwo"] = std::vector<uint8_t>(torus.begin(), torus.begin() + std::ptrdiff_t(cut));
    std::string error;
    ASSERT_EQ(opening_use_archive(dir.path, files, &error), 1) << error;
    testing::internal::CaptureStdout();
    show_context show{.clock = &clock, .frame = frame.get(), .rc = rc};
    EXPECT_EQ(intro_init(&show), 0);
    testing::internal::GetCapturedStdout();
    opening_release_archive();
  }
  render_context_free(rc);
}
