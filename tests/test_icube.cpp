// The image cube: its animation index, its perspective texture drawer and
// the typewriter in isolation, then its frame step on the build's data
// driven by a hand-set clock, its init on broken data, and its files.
#include "blend.h"
#include "icube.h"
#include "icube_parts.h"
#include "jpeg.h"
#include "opening_fixtures.h"
#include "polygondrawer.h"
#include "render_context.h"
#include "render_polygon.h"
#include "seqzoom.h"
#include "seqzoom_parts.h"
#include "show_context.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>

namespace {
uint32_t& at(pixmap* p, int32_t x, int32_t y) { return p->pixels[p->rows[y] + x]; }

// A 256 x 256 texture whose texel (u, v) holds u | v << 8 | 0x55 << 16.
opening_pixmap coded_texture() {
  opening_pixmap t(pixmap_create(256, 256, 0));
  for (int32_t v = 0; v < 256; v++)
    for (int32_t u = 0; u < 256; u++)
      at(t.get(), u, v) = uint32_t(u) | uint32_t(v) << 8 | 0x55u << 16;
  return t;
}

// A projected triangle as the drawer receives it.
polygon* projected(const float xyz[9], const float uv[6], pixmap* texture) {
  polygon* p = polygon_create();
  p->flags = ICUBE_POLY_FLAGS;
  p->uv_count = 6;
  p->texture[0] = texture;
  for (int k = 0; k < 3; k++)
    p->v[k] = {xyz[3 * k], xyz[3 * k + 1], xyz[3 * k + 2]};
  for (int k = 0; k < 6; k++)
    p->uv[k] = uv[k];
  return p;
}

int32_t count_not(const pixmap* p, uint32_t value) {
  int32_t n = 0;
  for (int32_t i = 0; i < p->width * p->height; i++)
    n += p->pixels[i] != value;
  return n;
}
} // namespace

TEST(IcubeFaces, AnimationIndexWrapsBothWays) {
  EXPECT_EQ(icube_frame_index(0.0f), 0);
  EXPECT_EQ(icube_frame_index(0.99f), 0);
  EXPECT_EQ(icube_frame_index(-0.99f), 0) << "picture 1 between -1 and 1";
  EXPECT_EQ(icube_frame_index(-1.2f), 15) << "backwards: picture 16 next";
  EXPECT_EQ(icube_frame_index(-2.0f), 14);
  EXPECT_EQ(icube_frame_index(15.5f), 15);
  EXPECT_EQ(icube_frame_index(16.0f), 0);
  EXPECT_EQ(icube_frame_index(33.7f), 1);
  for (float c : {1e20f, -1e20f, std::nanf(""), INFINITY}) {
    const int32_t k = icube_frame_index(c);
    EXPECT_GE(k, 0);
    EXPECT_LT(k, 16);
  }
}

TEST(IcubeFaces, EveryFaceIsASquareOfTwoTrianglesWithCornerCoordinates) {
  for (int32_t f = 0; f < ICUBE_FACES; f++) {
    SCOPED_TRACE(f);
    const icube_face& face = icube_faces[f];
    // The two triangles share a diagonal and span four corners of one side.
    std::set<int32_t> corners(face.a, face.a + 3);
    corners.insert(face.b, face.b + 3);
    EXPECT_EQ(corners.size(), 4u);
    vec3 n{0, 0, 0};
    for (int32_t c : corners)
      n = {n.x + icube_corners[c].x, n.y + icube_corners[c].y, n.z + icube_corners[c].z};
    EXPECT_EQ(std::fabs(n.x) + std::fabs(n.y) + std::fabs(n.z), 320.0f) << "one side of the cube";
    for (float u : face.uv_a)
      EXPECT_TRUE(u == 0 || u == 255);
  }
}

TEST(IcubeDrawer, AFlatTriangleAtTheFocalPlaneCopiesTheTexture) {
  opening_pixmap tex = coded_texture();
  opening_pixmap frame(pixmap_create(320, 240, 0));
  // Screen (0,0), (256,0), (0,256) at camera z 0, texture one to one.
  const float xyz[9] = {0, 0, 0, 256, 0, 0, 0, 256, 0};
  const float uv[6] = {0, 0, 256, 0, 0, 256};
  polygon* p = projected(xyz, uv, tex.get());
  icube_draw_triangle(p, frame.get());
  for (int32_t y = 0; y < 200; y += 7)
    for (int32_t x = 0; x + y < 250; x += 5)
      ASSERT_EQ(at(frame.get(), x, y), at(tex.get(), x, y)) << x << "," << y;
  EXPECT_EQ(at(frame.get(), 200, 200), 0u) << "outside the triangle";
  EXPECT_EQ(frame->pixels[0] >> 24, 0u) << "copied, not blended";
  // Coordinates wrap modulo 256: shifted by whole turns, the same picture.
  const float uv2[6] = {512, 256, 768, 256, 512, 512};
  for (int k = 0; k < 6; k++)
    p->uv[k] = uv2[k];
  opening_pixmap again(pixmap_create(320, 240, 0));
  icube_draw_triangle(p, again.get());
  EXPECT_EQ(std::memcmp(frame->pixels, again->pixels, 320 * 240 * 4), 0);
  polygon_free(p);
  // Moved 50 pixels past the left edge, the rest of the picture moves with it.
  const float left[9] = {-50, 0, 0, 206, 0, 0, -50, 256, 0};
  p = projected(left, uv, tex.get());
  opening_pixmap cut(pixmap_create(320, 240, 0));
  icube_draw_triangle(p, cut.get());
  for (int32_t y = 0; y < 200; y += 7)
    for (int32_t x = 0; x + 50 + y < 250; x += 5)
      ASSERT_EQ(at(cut.get(), x, y), at(tex.get(), x + 50, y)) << x << "," << y;
  polygon_free(p);
}

TEST(IcubeDrawer, DepthIsDividedOutAtEveryPixel) {
  opening_pixmap tex = coded_texture();
  opening_pixmap frame(pixmap_create(320, 240, 0));
  // A triangle whose right corner lies three times as far from the eye.
  const float z0 = 0, z1 = 800; // eye distances 400 and 1200
  const float xyz[9] = {10, 20, z0, 300, 120, z1, 10, 220, z0};
  const float uv[6] = {0, 0, 255, 100, 0, 200};
  polygon* p = projected(xyz, uv, tex.get());
  icube_draw_triangle(p, frame.get());
  // At a pixel centre the coordinates are those of the point on the
  // triangle's plane seen there: u/z, v/z and 1/z are linear on the screen.
  for (const int32_t px : {40, 120, 200, 280}) {
    const int32_t py = 120;
    const float sx = float(px) + 0.5f, sy = float(py) + 0.5f;
    // Screen-linear weights of the three corners at (sx, sy).
    const float x0 = xyz[0], y0 = xyz[1], x1 = xyz[3], y1 = xyz[4], x2 = xyz[6], y2 = xyz[7];
    const float d = (y1 - y2) * (x0 - x2) + (x2 - x1) * (y0 - y2);
    const float w0 = ((y1 - y2) * (sx - x2) + (x2 - x1) * (sy - y2)) / d;
    const float w1 = ((y2 - y0) * (sx - x2) + (x0 - x2) * (sy - y2)) / d;
    const float w2 = 1 - w0 - w1;
    const float q[3] = {1 / (z0 + 400), 1 / (z1 + 400), 1 / (z0 + 400)};
    const float qq = w0 * q[0] + w1 * q[1] + w2 * q[2];
    const float u = (w0 * uv[0] * q[0] + w1 * uv[2] * q[1] + w2 * uv[4] * q[2]) / qq;
    const float v = (w0 * uv[1] * q[0] + w1 * uv[3] * q[1] + w2 * uv[5] * q[2]) / qq;
    const uint32_t got = at(frame.get(), px, py);
    ASSERT_NE(got, 0u) << px;
    EXPECT_NEAR(double(got & 255), std::trunc(u), 1.0) << px;
    EXPECT_NEAR(double((got >> 8) & 255), std::trunc(v), 1.0) << px;
    // An affine mapping would be far off half-way across.
    if (px == 200) {
      EXPECT_GT(std::fabs((got & 255) - 255.0 * (sx - 10) / 290), 20.0);
    }
  }
  polygon_free(p);
}

TEST(IcubeDrawer, BadTrianglesAndTexturesDrawNothing) {
  opening_pixmap tex = coded_texture();
  opening_pixmap narrow(pixmap_create(128, 512, 0));
  opening_pixmap frame(pixmap_create(320, 240, 0));
  const float uv[6] = {0, 0, 255, 0, 0, 255};
  const float flat[9] = {10, 10, 0, 100, 10, 0, 200, 10, 0};      // zero area
  const float at_eye[9] = {10, 10, -400, 100, 10, 0, 10, 100, 0}; // a corner at the eye
  const float huge[9] = {-1e30f, -1e30f, 0, 1e30f, 0, 0, 0, 1e30f, 0};
  const float nan_corner[9] = {std::nanf(""), 10, 0, 100, 10, 0, 10, 100, 0};
  for (const float* xyz : {flat, at_eye, nan_corner}) {
    polygon* p = projected(xyz, uv, tex.get());
    icube_draw_triangle(p, frame.get());
    polygon_free(p);
  }
  EXPECT_EQ(count_not(frame.get(), 0), 0);
  const float fine[9] = {10, 10, 0, 100, 10, 0, 10, 100, 0};
  polygon* p = projected(fine, uv, narrow.get());
  icube_draw_triangle(p, frame.get());
  EXPECT_EQ(count_not(frame.get(), 0), 0) << "a texture that is not 256 wide";
  p->texture[0] = nullptr;
  icube_draw_triangle(p, frame.get());
  EXPECT_EQ(count_not(frame.get(), 0), 0);
  polygon_free(p);
  // Huge coordinates stay inside the frame (and a q near 0 inside the texture).
  p = projected(huge, uv, tex.get());
  icube_draw_triangle(p, frame.get());
  polygon_free(p);
  const float nearly_eye[9] = {-5000, -5000, -399.999f, 5000, 0, 0, 0, 5000, 0};
  p = projected(nearly_eye, uv, tex.get());
  icube_draw_triangle(p, frame.get());
  polygon_free(p);
}

TEST(IcubeDrawer, ACornerFarAboveTheFrameStillDrawsTheRowsInIt) {
  opening_pixmap tex = coded_texture();
  opening_pixmap frame(pixmap_create(320, 240, 0));
  // The top corner lies beyond the integer range of rows, which are stepped
  // over in one go down to the frame's first.
  const float xyz[9] = {0, -3e9f, 0, 200, 100, 0, 0, 200, 0};
  const float uv[6] = {0, 0, 255, 0, 0, 255};
  polygon* p = projected(xyz, uv, tex.get());
  icube_draw_triangle(p, frame.get());
  polygon_free(p);
  EXPECT_NE(at(frame.get(), 0, 0), 0u);
  EXPECT_NE(at(frame.get(), 150, 50), 0u);
  EXPECT_EQ(at(frame.get(), 250, 50), 0u);
  EXPECT_EQ(at(frame.get(), 5, 220), 0u);
}

TEST(IcubeTypewriter, TypesOneCharacterPerVisibleFrameAndMovesOnLineByLine) {
  opening_pixmap frame(pixmap_create(320, 240, 0));
  typewriter t{icube_lines, ICUBE_LINES, ICUBE_TEXT_COLOUR, 0, 0, 0.0f};
  // A delta of 10 ticks flips the cursor every frame.
  typewriter_type(&t, frame.get(), 10.0f); // n = 1: cursor, one more character
  EXPECT_EQ(t.typed, 1);
  // The cursor: an 8 x 8 block of plain green right after "D".
  opening_pixmap scratch(pixmap_create(64, 16, 0));
  const int32_t d_width = text_printf(scratch.get(), 0, 0, 1, "D");
  ASSERT_GT(d_width, 0);
  EXPECT_EQ(at(frame.get(), 20 + d_width, 32), ICUBE_TEXT_COLOUR);
  EXPECT_EQ(at(frame.get(), 20 + d_width + 7, 39), ICUBE_TEXT_COLOUR);
  typewriter_type(&t, frame.get(), 10.0f); // n = 2: nothing more
  EXPECT_EQ(t.typed, 1);
  typewriter_type(&t, frame.get(), 0.0f); // n still 2
  EXPECT_EQ(t.typed, 1);
  // Through the first line ("Dark times has come..", 21 characters).
  int frames = 0;
  while (t.line == 0 && frames < 200) {
    typewriter_type(&t, frame.get(), 10.0f);
    frames++;
  }
  EXPECT_EQ(t.line, 1);
  EXPECT_EQ(t.typed, 0);
  EXPECT_EQ(frames, 41) << "typed 2 to 21 on odd counts 3 to 41, past the end on 43";
  // After the fifth line the first again.
  for (int k = 0; k < 10000 && t.line != 0; k++)
    typewriter_type(&t, frame.get(), 10.0f);
  EXPECT_EQ(t.line, 0);
  // A record out of range starts over instead of reading past the table.
  t.line = 9;
  typewriter_type(&t, frame.get(), 10.0f);
  EXPECT_LT(t.line, ICUBE_LINES);
}

TEST(IcubeTypewriter, TheTextIsGreenAndGrowsWithTheTypedLength) {
  opening_pixmap frame(pixmap_create(320, 240, 0));
  typewriter t{icube_lines, ICUBE_LINES, ICUBE_TEXT_COLOUR, 0, 0, 0.0f};
  t.blink = 0.0f;
  typewriter_type(&t, frame.get(), 0.0f); // n = 0: "D" only, no cursor
  const int32_t one = count_not(frame.get(), 0);
  EXPECT_GT(one, 5);
  for (int32_t i = 0; i < 320 * 240; i++)
    if (frame->pixels[i]) {
      ASSERT_EQ(frame->pixels[i] & 0xFFFFFF, ICUBE_TEXT_COLOUR);
    }
  pixmap_fill_rect(frame.get(), 0, 0, 320, 240, 0);
  t.typed = 3;
  typewriter_type(&t, frame.get(), 0.0f); // "Dark"
  EXPECT_GT(count_not(frame.get(), 0), 2 * one);
  opening_pixmap scratch(pixmap_create(64, 16, 0));
  const int32_t width = text_printf(scratch.get(), 0, 0, 1, "Dark");
  for (int32_t x = 0; x < 8; x++)
    EXPECT_EQ(at(frame.get(), 20 + width + x, 36), 0u) << "no cursor on an even count";
}

// ---- The frame step on the build's data ----

namespace {
struct icube_fixture : ::testing::Test {
  testkit_tempdir dir;
  music_clock clock{};
  opening_pixmap frame{pixmap_create(320, 240, 0)};
  render_context* rc = nullptr;
  show_context show{};

  void SetUp() override {
    rc = render_context_create(1, frame.get(), 320, 240, 400);
    show = show_context{.clock = &clock, .frame = frame.get(), .rc = rc};
    std::string error;
    ASSERT_EQ(opening_use_archive(dir.path, opening_build_files(), &error), 1) << error;
    testing::internal::CaptureStdout();
    const int32_t zoomer = seqzoom_init(&show);
    const int32_t ok = icube_init(&show);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(zoomer, 1);
    ASSERT_EQ(ok, 1);
  }
  void TearDown() override {
    opening_release_archive();
    render_context_free(rc);
  }
  int32_t step(float fd, uint32_t order, uint32_t row = 8) {
    opening_clock_set(&clock, fd, order, row);
    return icube_frame();
  }
};
} // namespace

TEST_F(icube_fixture, TheCubeFillsMostOfTheFrameAndTurns) {
  select_polygondrawer(POLYGONDRAWER_SAFE);
  ASSERT_EQ(step(1.0f, 9), 1);
  EXPECT_STREQ(current_polygondrawer()->name, "Software CORRECT and general polygondrawer") << "set 2";
  const int32_t drawn = count_not(frame.get(), 0);
  EXPECT_GT(drawn, 320 * 240 / 2) << "a large cube close by";
  const std::vector<uint32_t> first(frame->pixels, frame->pixels + 320 * 240);
  for (int i = 0; i < 20; i++)
    step(1.0f, 9);
  EXPECT_NE(std::vector<uint32_t>(frame->pixels, frame->pixels + 320 * 240), first);
  const icube_state* s = icube_get_state();
  EXPECT_NEAR(s->spin, 21 * 0.00689226959716128, 1e-5);
}

TEST_F(icube_fixture, AnimationsSpeedUpToTheirLimitAndRunBothWays) {
  const icube_state* s = icube_get_state();
  step(2.0f, 9);
  EXPECT_FLOAT_EQ(s->counter[0], 0.2f) << "speed 1, delta 2, rate 0.1";
  EXPECT_FLOAT_EQ(s->counter[1], -0.2f);
  EXPECT_FLOAT_EQ(s->anim_rate, 0.1f * 1.02f);
  for (int i = 0; i < 300; i++)
    step(2.0f, 9);
  EXPECT_EQ(s->anim_rate, 0.4f);
  EXPECT_GT(s->counter[3], 100.0f);
  EXPECT_LT(s->counter[5], -100.0f);
}

TEST_F(icube_fixture, TheFlaresFlyOnOverTheCube) {
  const seqzoom_state* z = seqzoom_get_state();
  EXPECT_EQ(icube_get_state()->flares, &z->flares) << "the zoomer's flares, through the show context";
  const float life = z->flares.flares[3].life;
  step(3.0f, 9);
  EXPECT_EQ(z->flares.flares[3].life, life - 4.5f);
  EXPECT_EQ(z->zoom, 800.0f) << "only the flares";
}

TEST_F(icube_fixture, EndsOnOrderElevenAfterDrawingItsLastFrame) {
  EXPECT_EQ(step(1.0f, 10), 1);
  pixmap_fill_rect(frame.get(), 0, 0, 320, 240, 0x777777);
  EXPECT_EQ(step(1.0f, 11), 0);
  EXPECT_EQ(count_not(frame.get(), 0x777777), 320 * 240) << "the last frame is drawn whole";
  for (const auto& set : icube_get_state()->pictures)
    for (const pixmap* p : set)
      EXPECT_EQ(p, nullptr) << "released";
  EXPECT_EQ(step(1.0f, 9), 0) << "over for good, nothing read from released pictures";
}

TEST(IcubeInit, MissingOrBrokenPicturesFailCleanly) {
  const opening_files& all = opening_build_files();
  ASSERT_TRUE(all.count("icube/anim/v16.jpg"));
  music_clock clock{};
  opening_pixmap frame(pixmap_create(320, 240, 0));
  render_context* rc = render_context_create(1, frame.get(), 320, 240, 400);
  show_context show{.clock = &clock, .frame = frame.get(), .rc = rc};
  struct variant {
    const char* what;
    std::string name;
    std::vector<uint8_t> bytes; // empty: the file is left out
  };
  const std::vector<variant> cases = {
      {"no f01", "icube/anim/f01.jpg", {}},
      {"no v16", "icube/anim/v16.jpg", {}},
      {"a picture that is not 256 wide", "icube/anim/f07.jpg", all.at("seqzoom/p1.jpg")},
      {"not a picture", "icube/anim/v03.jpg", std::vector<uint8_t>(100, 0xFF)},
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
    EXPECT_EQ(icube_init(&show), 0);
    testing::internal::GetCapturedStdout();
    opening_release_archive();
  }
  render_context_free(rc);
}

TEST(IcubeData, AnimationsLoopAndDiffer) {
  testkit_tempdir dir;
  std::string error;
  ASSERT_EQ(opening_use_archive(dir.path, opening_build_files(), &error), 1) << error;
  std::vector<opening_pixmap> frames[2];
  testing::internal::CaptureStdout();
  for (int s = 0; s < 2; s++)
    for (int k = 1; k <= 16; k++) {
      char name[48];
      std::snprintf(name, sizeof name, "data/icube/anim/%c%02d.jpg", "fv"[s], k);
      frames[s].emplace_back(jpeg_load(name));
    }
  testing::internal::GetCapturedStdout();
  opening_release_archive();
  for (int s = 0; s < 2; s++) {
    SCOPED_TRACE("fv"[s]);
    for (const opening_pixmap& p : frames[s]) {
      ASSERT_TRUE(p);
      ASSERT_EQ(p->width, 256);
      ASSERT_EQ(p->height, 256);
    }
    // Neighbours differ a little, the last leads back to the first as
    // smoothly as any other step.
    auto change = [&](int a, int b) {
      double sum = 0;
      for (int32_t i = 0; i < 256 * 256; i++)
        for (int c = 0; c < 3; c++)
          sum += std::abs(int(opening_channel(frames[s][size_t(a)]->pixels[i], c)) -
                          int(opening_channel(frames[s][size_t(b)]->pixels[i], c)));
      return sum / (256 * 256 * 3);
    };
    const double step = change(0, 1), wrap = change(15, 0);
    EXPECT_GT(step, 1.0) << "the picture moves";
    EXPECT_LT(wrap, 2.0 * step) << "no jump at the loop";
    EXPECT_GT(change(0, 8), 1.0) << "half-way is not the start again";
  }
}
