// The qube: the feedback copy, the flares, the blur centre's clamping, and
// init and frames on the build's data (and on broken data).
#include "net.h"
#include "net_fixtures.h"
#include "qube.h"
#include "qube_parts.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(QubeFeedback, ThePictureShrinksIntoTheTexturesWindow) {
  opening_pixmap texture(pixmap_create(256, 256, 0));
  pixmap_fill_rect(texture.get(), 0, 0, 256, 256, 0xABABAB);
  opening_pixmap work = opening_noise(320, 240, 3);
  qube_feedback(texture.get(), work.get());
  // Columns step 320 * 65536 / 192 in 16.16 from column 0; rows 1.25 from row 0.
  for (int32_t i = 0; i < 192; i++)
    for (int32_t j = 0; j < 192; j++) {
      const int32_t column = int32_t((int64_t(j) * 109226) >> 16), row = i * 5 / 4;
      ASSERT_EQ(texture->pixels[(32 + i) * 256 + 32 + j], work->pixels[row * 320 + column]) << j << "," << i;
    }
  EXPECT_EQ(texture->pixels[223 * 256 + 223], work->pixels[238 * 320 + 318]) << "the last row and column";
  // The frame around the window stays.
  for (int32_t k = 0; k < 256; k++) {
    ASSERT_EQ(texture->pixels[31 * 256 + k], 0xABABABu) << k;
    ASSERT_EQ(texture->pixels[224 * 256 + k], 0xABABABu) << k;
    ASSERT_EQ(texture->pixels[k * 256 + 31], 0xABABABu) << k;
    ASSERT_EQ(texture->pixels[k * 256 + 224], 0xABABABu) << k;
  }
  // A texture too small for the window is not written.
  opening_pixmap small(pixmap_create(223, 256, 0));
  qube_feedback(small.get(), work.get());
  EXPECT_EQ(opening_lit_share(small.get()), 0.0);
}

TEST(QubeBlur, TheCentreIsCorner0KeptInsideTheFrame) {
  int32_t x, y;
  qube_blur_centre({-30.7f, 50.2f, 0}, &x, &y);
  EXPECT_EQ(x, 129);
  EXPECT_EQ(y, 170) << "y + 120: the flare of that corner is at 120 - y = 70, mirrored";
  qube_blur_centre({-500, -500, 0}, &x, &y);
  EXPECT_EQ(x, 1);
  EXPECT_EQ(y, 1);
  qube_blur_centre({-159.5f, -119.5f, 0}, &x, &y);
  EXPECT_EQ(x, 1) << "trunc(0.5) is raised to 1";
  EXPECT_EQ(y, 1);
  qube_blur_centre({500, 500, 0}, &x, &y);
  EXPECT_EQ(x, 319);
  EXPECT_EQ(y, 239);
  qube_blur_centre({1e30f, -1e30f, 0}, &x, &y);
  EXPECT_EQ(x, 319);
  EXPECT_EQ(y, 1);
}

using qube_data = net_show_objects;

TEST_F(qube_data, MissingOrSmallPicturesFailTheInit) {
  const opening_files all = net_build_files();
  ASSERT_TRUE(all.count("qube/envmap.jpg"));
  ASSERT_TRUE(all.count("qube/flare2.gif"));
  const std::vector<std::pair<std::string, std::string>> cases = {{"qube/flare2.gif", ""},
                                                                  {"qube/envmap.jpg", ""},
                                                                  {"qube/envmap.jpg", "hvoxel/bgpic.jpg"},
                                                                  {"qube/envmap.jpg", "icube/anim/f01.jpg"}};
  for (const auto& [name, instead] : cases) {
    SCOPED_TRACE(name + " <- " + instead);
    opening_files files = all;
    if (instead.empty())
      files.erase(name);
    else
      files[name] = opening_build_files().at(instead);
    const int32_t ok = init_with(files, qube_init);
    if (instead == "icube/anim/f01.jpg") {
      EXPECT_EQ(ok, 1) << "any 256 x 256 picture will do";
    } else {
      EXPECT_EQ(ok, 0);
      EXPECT_EQ(qube_frame(), 0);
    }
  }
}

TEST_F(qube_data, TheCubeRisesTumblesAndBlursUntilOrder28) {
  archive(net_build_files());
  testing::internal::CaptureStdout();
  ASSERT_EQ(net_init(&show), 1);
  ASSERT_EQ(qube_init(&show), 1);
  testing::internal::GetCapturedStdout();
  qube_state* s = qube_get_state();
  EXPECT_EQ(s->rise, -200.0f);

  // The flares: one per corner, at (x + 160, 120 - y), of side 224 - z.
  opening_pixmap dot(pixmap_create(8, 8, 0));
  pixmap_fill_rect(dot.get(), 0, 0, 8, 8, 0x000001);
  pixmap* flare = s->flare;
  s->flare = dot.get();
  s->rise = 0.0f;
  opening_pixmap p(pixmap_create(320, 240, 0));
  qube_draw_cube(s, p.get());
  s->flare = flare;
  // Unturned, the four back corners (z 80) draw squares of 144 centred on
  // (80, 40), (240, 40), (240, 200), (80, 200); the front ones (z 240) none.
  EXPECT_EQ(s->turned[4].z, 80.0f);
  EXPECT_EQ(s->turned[0].z, 240.0f);
  int32_t x0 = 320, x1 = -1;
  for (int32_t x = 0; x < 320; x++)
    if (p->pixels[100 * 320 + x] & 0xFF) {
      x0 = std::min(x0, x);
      x1 = std::max(x1, x);
    }
  EXPECT_EQ(x0, 80 - 72) << "the left corners' flares reach 72 to the left";
  EXPECT_EQ(x1, 240 + 71);

  s->rise = -200.0f;
  opening_clock_set(&clock, 10.0f, 24, 0);
  uint64_t previous = 0;
  for (int32_t f = 0; f < 30; f++) {
    ASSERT_EQ(qube_frame(), 1);
    const uint64_t h = opening_picture_hash(frame.get());
    EXPECT_NE(h, previous) << "frame " << f;
    previous = h;
  }
  EXPECT_EQ(s->rise, 0.0f) << "risen in 200 ticks, and no further";
  EXPECT_GT(opening_lit_share(frame.get()), 0.9);
  EXPECT_EQ(s->blur_fade, 0.0f);
  // From row 65 of order 27 the cube rises on and the blur fades.
  opening_clock_set(&clock, 10.0f, 27, 65);
  ASSERT_EQ(qube_frame(), 1);
  EXPECT_EQ(s->rise, 10.0f);
  EXPECT_NEAR(s->blur_fade, 0.01, 1e-6);
  opening_clock_set(&clock, 10.0f, 28, 0);
  EXPECT_EQ(qube_frame(), 0) << "the last frame is drawn and ends the scene";
  EXPECT_NE(opening_picture_hash(frame.get()), previous);
}
