#include "blend.h"
#include "font8x8.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>

namespace {
struct pixmap_deleter {
  void operator()(pixmap* pm) const { pixmap_free(pm); }
};
using pixmap_ptr = std::unique_ptr<pixmap, pixmap_deleter>;

pixmap_ptr noise(int32_t w, int32_t h, uint32_t seed) {
  pixmap_ptr pm(pixmap_create(w, h, 0));
  uint32_t x = seed;
  for (int64_t i = 0; i < int64_t(w) * h; i++) {
    x = x * 1664525u + 1013904223u;
    pm->pixels[i] = x;
  }
  return pm;
}

uint32_t channel(uint32_t p, int k) { return (p >> (8 * k)) & 255; }

uint32_t avg(uint32_t s, uint32_t d) {
  uint32_t out = s & 0xFF000000u;
  for (int k = 0; k < 3; k++)
    out |= ((channel(s, k) + channel(d, k)) >> 1) << (8 * k);
  return out;
}

uint32_t weighted(uint32_t s, uint32_t d, int w) {
  uint32_t out = s & 0xFF000000u;
  for (int k = 0; k < 3; k++)
    out |= uint32_t(mul_table[w][channel(s, k)] + mul_table[64 - w][channel(d, k)]) << (8 * k);
  return out;
}

// The fixed blurs as their rules read, pixel by pixel in the visit order:
// rows from the centre row up, then from `second` down; each half row
// outwards from the centre; the sample a factor f of the way in.
template <typename Mix>
void reference_blur(pixmap* frame, const pixmap* source, float cx, float cy, float f, int32_t second, Mix mix) {
  const int32_t cx0 = int32_t(cx), cy0 = int32_t(cy);
  auto at = [&](int32_t y, int32_t x) -> uint32_t& { return frame->pixels[y * 320 + x]; };
  auto row = [&](int32_t y) {
    const int32_t sy = int32_t(float(y) + (cy - float(y)) * f);
    auto one = [&](int32_t x) {
      at(y, x) = mix(at(sy, int32_t(float(x) + (cx - float(x)) * f)), source->pixels[y * 320 + x]);
    };
    for (int32_t x = cx0; x >= 0; x--)
      one(x);
    for (int32_t x = cx0 + 1; x < 320; x++)
      one(x);
  };
  for (int32_t y = cy0; y >= 0; y--)
    row(y);
  for (int32_t y = second; y < 240; y++)
    row(y);
}
} // namespace

TEST(MulTable, HoldsScaledValuesAndAZeroRow64) {
  build_mul_tables();
  EXPECT_EQ(mul_table_built, 1);
  for (int k = 0; k < 64; k++)
    for (int v = 0; v < 256; v++)
      ASSERT_EQ(mul_table[k][v], k * v / 64) << k << "," << v;
  for (int v = 0; v < 256; v++)
    EXPECT_EQ(mul_table[64][v], 0);
  mul_table[5][5] = 99;
  build_mul_tables();
  EXPECT_EQ(mul_table[5][5], 99) << "a built table is left alone";
}

TEST(CrossFade, WritesNothingBeforeTheTableIsBuilt) {
  mul_table_built = 0;
  auto a = noise(8, 8, 1), b = noise(8, 8, 2);
  pixmap_ptr dst(pixmap_create(8, 8, PIXMAP_CLEAR));
  cross_fade(dst.get(), 0, 0, a.get(), b.get(), 30);
  for (int i = 0; i < 64; i++)
    EXPECT_EQ(dst->pixels[i], 0xFF000000u);
}

TEST(CrossFade, MixesByWeightAndClearsTheTopByte) {
  build_mul_tables();
  auto a = noise(6, 4, 1), b = noise(6, 4, 2);
  pixmap_ptr dst(pixmap_create(10, 10, PIXMAP_CLEAR));
  for (int t : {0, 17, 63}) {
    cross_fade(dst.get(), 3, 5, a.get(), b.get(), t);
    for (int r = 0; r < 4; r++)
      for (int s = 0; s < 6; s++) {
        const uint32_t pa = a->pixels[r * 6 + s], pb = b->pixels[r * 6 + s];
        uint32_t want = 0;
        for (int k = 0; k < 3; k++)
          want |= uint32_t(t * channel(pa, k) / 64 + (63 - t) * channel(pb, k) / 64) << (8 * k);
        ASSERT_EQ(dst->pixels[(5 + r) * 10 + 3 + s], want) << t << ":" << s << "," << r;
      }
  }
  EXPECT_EQ(dst->pixels[0], 0xFF000000u);
}

TEST(CrossFade, OverhangingPicturesAndBadWeightsStayInside) {
  build_mul_tables();
  auto a = noise(8, 8, 1), b = noise(8, 8, 2);
  pixmap_ptr dst(pixmap_create(10, 10, PIXMAP_CLEAR));
  cross_fade(dst.get(), 6, -3, a.get(), b.get(), 500);
  cross_fade(dst.get(), -100, 100, a.get(), b.get(), -4);
  EXPECT_NE(dst->pixels[0 * 10 + 6], 0xFF000000u);
  EXPECT_EQ(dst->pixels[5 * 10 + 6], 0xFF000000u);
  auto small = noise(4, 4, 3);
  cross_fade(dst.get(), 0, 0, a.get(), small.get(), 10); // B smaller than A: refused
  EXPECT_EQ(dst->pixels[9 * 10 + 0], 0xFF000000u);
}

TEST(RadialBlur, FactorZeroAveragesFrameAndSource) {
  auto frame = noise(320, 240, 5), source = noise(320, 240, 6), before = noise(320, 240, 5);
  radial_blur(frame.get(), source.get(), 100.5f, 60.25f, 0.0f);
  for (int i = 0; i < 320 * 240; i++)
    ASSERT_EQ(frame->pixels[i], avg(before->pixels[i], source->pixels[i])) << i;
}

TEST(RadialBlur, FactorOneSpreadsTheUpdatedCentre) {
  auto frame = noise(320, 240, 7), source = noise(320, 240, 8), before = noise(320, 240, 7);
  radial_blur(frame.get(), source.get(), 40.7f, 200.2f, 1.0f);
  const uint32_t centre = avg(before->pixels[200 * 320 + 40], source->pixels[200 * 320 + 40]);
  EXPECT_EQ(frame->pixels[200 * 320 + 40], centre);
  for (int i : {0, 319, 239 * 320, 239 * 320 + 319, 120 * 320 + 160})
    EXPECT_EQ(frame->pixels[i], avg(centre, source->pixels[i])) << i;
}

TEST(RadialBlur, SamplesAlreadyReplacedPixelsNearerTheCentre) {
  // Uniform source and black frame: with a factor that reaches one pixel
  // inwards, pixels further out have averaged more often.
  pixmap_ptr frame(pixmap_create(320, 240, 0)), source(pixmap_create(320, 240, 0));
  for (int i = 0; i < 320 * 240; i++)
    source->pixels[i] = 0xC8C8C8;
  radial_blur(frame.get(), source.get(), 160.0f, 120.0f, 0.02f);
  const uint32_t centre = frame->pixels[120 * 320 + 160] & 255;
  const uint32_t edge = frame->pixels[120 * 320 + 319] & 255;
  EXPECT_EQ(centre, 100u);
  EXPECT_GT(edge, centre);
}

TEST(RadialBlurWeighted, BlendsTheCentreRowTwice) {
  build_mul_tables();
  auto frame = noise(320, 240, 9), source = noise(320, 240, 10), before = noise(320, 240, 9);
  radial_blur_weighted(frame.get(), source.get(), 77.0f, 33.9f, 20, 0.0f);
  for (int y : {0, 32, 33, 34, 239})
    for (int x : {0, 77, 78, 319}) {
      const int i = y * 320 + x;
      uint32_t want = weighted(before->pixels[i], source->pixels[i], 20);
      if (y == 33)
        want = weighted(want, source->pixels[i], 20);
      EXPECT_EQ(frame->pixels[i], want) << x << "," << y;
    }
}

TEST(RadialBlur, EveryPixelFollowsTheVisitOrder) {
  // Whole frames against the rules, for centres and factors whose sample
  // rows near the centre lie in the row being blurred, and with the frame
  // as its own source.
  build_mul_tables();
  const float cases[][3] = {{160, 120, 0.2f}, {33.5f, 201.25f, 0.05f}, {300.9f, 7.5f, 0.6f}};
  for (const auto& c : cases)
    for (int w : {32, 58, 64}) {
      SCOPED_TRACE(testing::Message() << c[0] << "," << c[1] << " f " << c[2] << " w " << w);
      auto frame = noise(320, 240, 41), source = noise(320, 240, 42), want = noise(320, 240, 41);
      radial_blur_weighted(frame.get(), source.get(), c[0], c[1], w, c[2]);
      reference_blur(want.get(), source.get(), c[0], c[1], c[2], int32_t(c[1]),
                     [w](uint32_t s, uint32_t d) { return weighted(s, d, w); });
      ASSERT_EQ(0, std::memcmp(frame->pixels, want->pixels, 320 * 240 * 4));
      if (w != 32)
        continue;
      radial_blur(frame.get(), frame.get(), c[0], c[1], c[2]);
      reference_blur(want.get(), want.get(), c[0], c[1], c[2], int32_t(c[1]) + 1, avg);
      ASSERT_EQ(0, std::memcmp(frame->pixels, want->pixels, 320 * 240 * 4));
    }
}

TEST(RadialBlurWeighted, WeightLimitsGiveBlackAndLargeWeightsAreCapped) {
  build_mul_tables();
  for (int w : {0, 64, 1000}) {
    auto frame = noise(320, 240, 11), source = noise(320, 240, 12);
    radial_blur_weighted(frame.get(), source.get(), 10.0f, 10.0f, w, 0.5f);
    for (int i = 0; i < 320 * 240; i += 997)
      EXPECT_EQ(frame->pixels[i] & 0xFFFFFF, 0u) << w << ":" << i;
  }
}

TEST(RadialBlur, CentresAndFactorsOutOfRangeNeverReadOutside) {
  build_mul_tables();
  auto frame = noise(320, 240, 13), source = noise(320, 240, 14);
  const float cases[][3] = {{-50, -50, 0.5f}, {400, 300, 0.5f}, {160, 120, -3}, {160, 120, 7}, {319.9f, 239.9f, 1}};
  for (const auto& c : cases) {
    radial_blur(frame.get(), source.get(), c[0], c[1], c[2]);
    radial_blur_weighted(frame.get(), source.get(), c[0], c[1], 30, c[2]);
  }
  SUCCEED();
}

TEST(AddSprite, BaseSizeGivesTheSquareAndAddsWithSaturation) {
  pixmap_ptr sprite(pixmap_create(16, 16, 0));
  for (int i = 0; i < 256; i++)
    sprite->pixels[i] = 0x0A64C8; // 200, 100, 10
  pixmap_ptr dst(pixmap_create(200, 200, 0));
  for (int i = 0; i < 200 * 200; i++)
    dst->pixels[i] = 0x7B141464; // 100, 20, 20, top byte 0x7B
  add_sprite_scaled(100, 100, dst.get(), sprite.get(), 0.0f, 64);
  int touched = 0;
  for (int y = 0; y < 200; y++)
    for (int x = 0; x < 200; x++) {
      const bool inside = x >= 68 && x < 132 && y >= 68 && y < 132;
      const uint32_t p = dst->pixels[y * 200 + x];
      touched += inside;
      EXPECT_EQ(p, inside ? 0x7B1E78FFu : 0x7B141464u) << x << "," << y;
    }
  EXPECT_EQ(touched, 64 * 64);
}

TEST(AddSprite, NegativeLevelsEnlargeUpToTheCap) {
  pixmap_ptr sprite(pixmap_create(8, 8, 0));
  for (int i = 0; i < 64; i++)
    sprite->pixels[i] = 1;
  auto count = [&](float level, int base) {
    pixmap_ptr dst(pixmap_create(1200, 1200, 0));
    add_sprite_scaled(600, 600, dst.get(), sprite.get(), level, base);
    int n = 0;
    for (int i = 0; i < 1200 * 1200; i++)
      n += dst->pixels[i] != 0;
    return n;
  };
  EXPECT_EQ(count(-3584.0f, 64), 512 * 512);
  EXPECT_EQ(count(-100000.0f, 64), 512 * 512);
  EXPECT_EQ(count(-80.0f, 64), 74 * 74);
  EXPECT_EQ(count(0.0f, 7), 0) << "base size under 8";
  EXPECT_EQ(count(8.0f * 60, 64), 0) << "square under 8";
  EXPECT_EQ(count(std::numeric_limits<float>::quiet_NaN(), 64), 0);
}

TEST(AddSprite, ClippingKeepsTheVisiblePartUndistorted) {
  // Sprite columns carry their own index, so the drawn value tells which
  // sprite column a destination column took.
  pixmap_ptr sprite(pixmap_create(32, 32, 0));
  for (int y = 0; y < 32; y++)
    for (int x = 0; x < 32; x++)
      sprite->pixels[y * 32 + x] = uint32_t(x) | uint32_t(y) << 8;
  pixmap_ptr whole(pixmap_create(300, 300, 0)), part(pixmap_create(100, 100, 0));
  add_sprite_scaled(150, 150, whole.get(), sprite.get(), 0.0f, 128);
  add_sprite_scaled(10, 90, part.get(), sprite.get(), 0.0f, 128); // overhangs left and bottom
  for (int y = 26; y < 100; y++)
    for (int x = 0; x < 74; x++) {
      const uint32_t p = part->pixels[y * 100 + x];
      const uint32_t w = whole->pixels[(y + 60) * 300 + x + 140];
      EXPECT_NEAR(double(p & 255), double(w & 255), 1.0) << x << "," << y;
      EXPECT_NEAR(double((p >> 8) & 255), double((w >> 8) & 255), 1.0) << x << "," << y;
    }
  pixmap_ptr dst(pixmap_create(50, 50, 0));
  for (auto [x, y] : {std::pair{-40, 10}, {10, -40}, {90, 10}, {10, 90}})
    add_sprite_scaled(x, y, dst.get(), sprite.get(), 0.0f, 64);
  for (int i = 0; i < 2500; i++)
    EXPECT_EQ(dst->pixels[i], 0u);
}

TEST(AddSprite, EmptySpriteDrawsNothing) {
  pixmap_ptr sprite(pixmap_create(0, 0, 0)), dst(pixmap_create(50, 50, 0));
  add_sprite_scaled(25, 25, dst.get(), sprite.get(), 0.0f, 32);
  for (int i = 0; i < 2500; i++)
    EXPECT_EQ(dst->pixels[i], 0u);
}

TEST(TextPrintf, NothingWithoutAPixmapAndNullReusesThePrevious) {
  EXPECT_EQ(text_printf(nullptr, 0, 0, 0xFFFFFF, "abc"), 0);
  pixmap_ptr pm(pixmap_create(64, 16, 0));
  EXPECT_EQ(text_printf(pm.get(), 0, 0, 0xFFFFFF, "A"), 6);
  EXPECT_EQ(text_printf(nullptr, 10, 0, 0xFFFFFF, "B"), 6);
  int lit = 0;
  for (int y = 0; y < 8; y++)
    for (int x = 10; x < 16; x++)
      lit += pm->pixels[y * 64 + x] != 0;
  EXPECT_GT(lit, 5) << "the second call drew into the first call's pixmap";
}

TEST(TextPrintf, AdvanceWidthsAndLineBreaks) {
  pixmap_ptr pm(pixmap_create(320, 40, 0));
  EXPECT_EQ(text_printf(pm.get(), 0, 0, 1, "Hello"), 6 + 6 + 4 + 4 + 6);
  EXPECT_EQ(text_printf(pm.get(), 0, 0, 1, "iMW.!%d", 7), 3 + 8 + 8 + 4 + 5 + 6);
  EXPECT_EQ(text_printf(pm.get(), 0, 0, 1, "long line\nab"), 12);
  EXPECT_EQ(text_printf(pm.get(), 0, 0, 1, "x\x01\x80\xff"), 6) << "control and high codes draw nothing";
}

TEST(TextPrintf, EveryPrintableCharacterIsDrawnWithinItsAdvance) {
  for (int c = 33; c < 127; c++) {
    pixmap_ptr pm(pixmap_create(16, 16, 0));
    const char text[2] = {char(c), 0};
    const int32_t adv = text_printf(pm.get(), 0, 2, 0x010101, "%s", text);
    int lit = 0;
    for (int y = 0; y < 16; y++)
      for (int x = 0; x < 16; x++)
        if (pm->pixels[y * 16 + x]) {
          lit++;
          EXPECT_LT(x, adv) << "'" << char(c) << "' column " << x;
          EXPECT_GE(y, 2);
          EXPECT_LT(y, 10);
        }
    EXPECT_GE(lit, 2) << "'" << char(c) << "' is legible";
  }
}

TEST(TextPrintf, AddsTheColourWithSaturationAndMayRunOff) {
  pixmap_ptr pm(pixmap_create(8, 8, 0));
  for (int i = 0; i < 64; i++)
    pm->pixels[i] = 0x55000000u | 0x0000C8;
  text_printf(pm.get(), -3, -4, 0x000064, "%s", "@@@@@@@@@@@@");
  int saturated = 0;
  for (int i = 0; i < 64; i++) {
    EXPECT_EQ(pm->pixels[i] >> 24, 0x55u);
    saturated += (pm->pixels[i] & 255) == 255;
  }
  EXPECT_GT(saturated, 0);
}

TEST(Font, RecordLayout) {
  const uint8_t* f = font8x8_record();
  auto i16 = [](const uint8_t* p) { return int16_t(uint16_t(p[0] | p[1] << 8)); };
  EXPECT_EQ(i16(f), 8);
  const uint8_t* space = f + i16(f + 2 + 2 * ' ');
  EXPECT_EQ(i16(space), 6);
  EXPECT_EQ(i16(space + 4), 0) << "space is an empty glyph";
  const uint8_t* a = f + i16(f + 2 + 2 * 'A');
  EXPECT_EQ(i16(a + 2), 0);
  EXPECT_EQ(i16(a + 4), 8);
  EXPECT_EQ(i16(a + 6), 1);
  for (int c = 128; c < 256; c++)
    EXPECT_EQ(i16(f + i16(f + 2 + 2 * c)), 0) << c;
  for (int c = 0; c < 256; c++) {
    const uint8_t* g = f + i16(f + 2 + 2 * c);
    EXPECT_LE(i16(f + 2 + 2 * c) + 8 + i16(g + 4) * i16(g + 6), FONT8X8_RECORD_BYTES) << c;
  }
}
