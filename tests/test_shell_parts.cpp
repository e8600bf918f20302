// Shade table, loading screen, readme check and hidden sprite.
#include "headless.h"
#include "hidden.h"
#include "loading.h"
#include "random.h"
#include "shade.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
using pixmap_ptr = std::unique_ptr<pixmap, void (*)(pixmap*)>;
pixmap_ptr make(int32_t w, int32_t h, uint32_t flags) { return pixmap_ptr(pixmap_create(w, h, flags), pixmap_free); }
} // namespace

TEST(ShadeTable, RowsFadeFromBlackThroughTheColourToWhite) {
  std::vector<uint8_t> t(SHADE_TABLE_BYTES);
  shade_table_build(t.data(), 255, 0);
  for (int i = 0; i < 256; i++) {
    EXPECT_EQ(t[0 * 256 + i], 0);
    EXPECT_EQ(t[32 * 256 + i], i) << "row 32 is the identity";
    EXPECT_EQ(t[31 * 256 + i], i * 31 / 32);
    EXPECT_EQ(t[63 * 256 + i], i + (255 - i) * 31 / 32);
  }
  EXPECT_EQ(t[63 * 256 + 0], 247);
  // Rows rise monotonically in brightness.
  for (int row = 1; row < 64; row++)
    EXPECT_GE(t[row * 256 + 100], t[(row - 1) * 256 + 100]);
}

TEST(ShadeTable, BaseAboveTheChannelTruncatesTowardZero) {
  std::vector<uint8_t> t(SHADE_TABLE_BYTES);
  shade_table_build(t.data(), 0, 100);
  // Row 1, column 0: 100 + (-100 * 1) / 32 = 100 - 3 (toward zero).
  EXPECT_EQ(t[1 * 256 + 0], 97);
  // Row 33, column 200: 200 + (-200 * 1) / 32 = 194.
  EXPECT_EQ(t[33 * 256 + 200], 194);
}

TEST(LoadingScreen, ThirteenStepsGrowTheBarToColumn209) {
  headless_reset();
  ASSERT_EQ(headless_driver.open(320, 240, "t", DISPLAY_OPEN_16_BITS), 1);
  auto picture = make(320, 240, 0);
  for (int i = 0; i < 320 * 240; i++)
    picture->pixels[i] = 0x00402010;
  auto frame = make(320, 240, PIXMAP_CLEAR);
  loading_screen screen;
  loading_begin(&screen, picture.get());
  loading_progress(&screen, &headless_driver, frame.get());
  EXPECT_EQ(frame->pixels[40 * 320 + 89], LOADING_BAR_COLOUR);
  EXPECT_EQ(frame->pixels[40 * 320 + 90], 0x00402010u);
  for (int i = 1; i < 13; i++)
    loading_progress(&screen, &headless_driver, frame.get());
  EXPECT_EQ(headless_presents(), 13);
  for (int y = 38; y < 46; y++)
    for (int x = 78; x < 212; x++) {
      const bool bar = y >= 40 && y <= 43 && x >= 80 && x <= 209;
      EXPECT_EQ(frame->pixels[y * 320 + x], bar ? LOADING_BAR_COLOUR : 0x00402010u) << x << "," << y;
    }
  EXPECT_EQ(headless_screen()->pixels[41 * 320 + 209], LOADING_BAR_COLOUR & 0xFFFFFF);
  headless_reset();
}

TEST(ReadmeCheck, OnlyTheExactFirstLineSwitchesTheModeOn) {
  testkit_tempdir dir(true);
  EXPECT_EQ(hidden_readme_check(), 0) << "no readme.txt";
  const std::pair<const char*, int32_t> cases[] = {
      {"brickmoon\n", 1},  {"brickmoon\nsecond line\n", 1},
      {"brickmoon", 0},    {"Brickmoon\n", 0},
      {"brickmoon \n", 0}, {"", 0},
      {"\n", 0},           {"brickmoonX", 1},
      {"xbrickmoon\n", 0}, {"brickmoon\r\n", 1},
  };
  for (auto [text, want] : cases) {
    testkit_write_text("readme.txt", text);
    EXPECT_EQ(hidden_readme_check(), want) << "'" << text << "'";
  }
  testkit_write_text("readme.txt", std::string(500, 'b') + "\n");
  EXPECT_EQ(hidden_readme_check(), 0) << "a long first line is read in part only";
}

TEST(HiddenSprite, SeeThroughPixelsAndTheWholeWordIsStored) {
  auto sprite = make(2, 2, 0);
  sprite->pixels[0] = 0x112233FF; // red 255: see-through
  sprite->pixels[1] = 0xAA0000FE;
  sprite->pixels[2] = 0x00000000;
  sprite->pixels[3] = 0x55667788;
  auto frame = make(320, 240, 0);
  for (int i = 0; i < 320 * 240; i++)
    frame->pixels[i] = 0x01010101;
  hidden_sprite hs;
  hidden_sprite_begin(&hs, sprite.get());
  hidden_sprite_step(&hs, frame.get());
  EXPECT_EQ(frame->pixels[120 * 320 + 160], 0x01010101u);
  EXPECT_EQ(frame->pixels[120 * 320 + 161], 0xAA0000FEu);
  EXPECT_EQ(frame->pixels[121 * 320 + 160], 0x00000000u);
  EXPECT_EQ(frame->pixels[121 * 320 + 161], 0x55667788u);
  EXPECT_FLOAT_EQ(hs.x, 163.0f);
  EXPECT_FLOAT_EQ(hs.y, 124.5f);
}

TEST(HiddenSprite, BouncesOnePixelInsideTheLimitWithFreshSpeeds) {
  auto sprite = make(32, 32, 0);
  auto frame = make(320, 240, 0);
  demo_srand(9);
  hidden_sprite hs;
  hidden_sprite_begin(&hs, sprite.get());
  hs.x = 286.0f;
  hs.vx = 3.0f; // 289 > 319 - 32
  hidden_sprite_step(&hs, frame.get());
  EXPECT_FLOAT_EQ(hs.x, 318.0f - 32.0f);
  EXPECT_LE(hs.vx, -1.0f);
  EXPECT_GE(hs.vx, -5.0f);
  hs.y = 2.0f;
  hs.vy = -4.5f;
  hidden_sprite_step(&hs, frame.get());
  EXPECT_FLOAT_EQ(hs.y, 0.0f);
  EXPECT_GE(hs.vy, 1.0f);
  EXPECT_LE(hs.vy, 5.0f);
  // Many frames never leave the frame.
  for (int i = 0; i < 5000; i++) {
    hidden_sprite_step(&hs, frame.get());
    ASSERT_GE(hs.x, 0.0f);
    ASSERT_LE(hs.x, 319.0f - 32.0f);
    ASSERT_GE(hs.y, 0.0f);
    ASSERT_LE(hs.y, 239.0f - 32.0f);
  }
}

TEST(HiddenSprite, ASpriteLargerThanTheFrameNeverWritesOutside) {
  auto sprite = make(400, 300, 0);
  auto frame = make(320, 240, 0);
  hidden_sprite hs;
  hidden_sprite_begin(&hs, sprite.get());
  for (int i = 0; i < 50; i++)
    hidden_sprite_step(&hs, frame.get());
  SUCCEED();
}
