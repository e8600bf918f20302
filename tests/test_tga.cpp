#include "reader_checks.h"
#include "testkit.h"
#include "tga.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint32_t> upright_pixels(int w, int h, uint32_t seed, bool alpha) {
  const fixture_bytes rgb = fixture_rgb(w, h, seed);
  std::vector<uint32_t> out;
  for (int i = 0; i < w * h; i++)
    out.push_back(pixmap_rgba(rgb[size_t(i) * 3], rgb[size_t(i) * 3 + 1], rgb[size_t(i) * 3 + 2],
                              alpha ? uint32_t(i * 37 + 5) : 0));
  return out;
}

fixture_bytes as_quads(const std::vector<uint32_t>& pixels) {
  fixture_bytes out;
  for (uint32_t p : pixels)
    out.insert(out.end(), {uint8_t(p), uint8_t(p >> 8), uint8_t(p >> 16), uint8_t(p >> 24)});
  return out;
}

// ImageMagick keeps a TGA's rows in stored order and only notes the origin;
// -auto-orient turns its decoding upright, as the reader does.
TEST(Tga, TrueColourFromImageMagick) {
  READER_REQUIRE_TOOL("convert");
  testkit_tempdir dir(true);
  const int w = 33, h = 20;
  testkit_write_file("in.ppm", fixture_ppm(w, h, fixture_rgb(w, h, 4)));
  ASSERT_TRUE(reader_run("convert in.ppm -type TrueColor -compress none t24.tga"));
  ASSERT_EQ(testkit_read_file("t24.tga").at(16), 24);
  pixmap_ptr pm = reader_load(tga_load, "t24.tga");
  EXPECT_TRUE(reader_same(pm.get(), w, h, reader_magick_raw("t24.tga", "-auto-orient", "rgb"), 0));

  // 32 bits with an alpha channel that varies over the picture.
  ASSERT_TRUE(reader_run("convert in.ppm \\( -size 33x20 gradient:white-black \\) -alpha off -compose copy-opacity "
                         "-composite -type TrueColorAlpha -compress none t32.tga"));
  ASSERT_EQ(testkit_read_file("t32.tga").at(16), 32);
  pm = reader_load(tga_load, "t32.tga");
  const fixture_bytes expected = reader_magick_raw("t32.tga", "-auto-orient", "rgba");
  EXPECT_TRUE(reader_same(pm.get(), w, h, expected, -1));
  EXPECT_NE(expected[3], expected[expected.size() - 1]) << "the alpha channel does not vary";
}

TEST(Tga, EveryOriginComesOutUpright) {
  testkit_tempdir dir(true);
  for (int bits : {24, 32}) {
    for (int origin = 0; origin < 4; origin++) {
      for (auto [w, h] : {std::pair{7, 5}, {6, 4}, {1, 3}}) {
        const std::vector<uint32_t> pixels = upright_pixels(w, h, uint32_t(origin + w), bits == 32);
        fixture_tga_options options;
        options.origin = origin;
        pixmap_ptr pm = reader_load_bytes(tga_load, "o.tga", fixture_tga(w, h, bits, pixels, options));
        EXPECT_TRUE(reader_same(pm.get(), w, h, as_quads(pixels), -1))
            << bits << " bits, origin " << origin << ", " << w << "x" << h;
      }
    }
  }
}

// 16-bit pixels: five bits a channel, unscaled; bit 15 ignored; byte 3 keeps
// the cleared value 255.
TEST(Tga, SixteenBitChannelsStayFiveBits) {
  testkit_tempdir dir(true);
  const int w = 5, h = 3;
  std::vector<uint32_t> words;
  for (int i = 0; i < w * h; i++)
    words.push_back(uint32_t((i * 2731 + 17) & 0xFFFF));
  words[0] = 0x7FFF;
  words[1] = 0x8000 | (1 << 10) | (2 << 5) | 3;
  for (int origin = 0; origin < 4; origin++) {
    fixture_tga_options options;
    options.origin = origin;
    pixmap_ptr pm = reader_load_bytes(tga_load, "s.tga", fixture_tga(w, h, 16, words, options));
    fixture_bytes expected;
    for (uint32_t v : words)
      expected.insert(expected.end(), {uint8_t(v >> 10 & 31), uint8_t(v >> 5 & 31), uint8_t(v & 31), 255});
    EXPECT_TRUE(reader_same(pm.get(), w, h, expected, -1)) << "origin " << origin;
    if (origin == 2) {
      ASSERT_TRUE(pm);
      EXPECT_EQ(pm->pixels[0], pixmap_rgba(31, 31, 31, 255));
      EXPECT_EQ(pm->pixels[1], pixmap_rgba(1, 2, 3, 255));
    }
  }
}

TEST(Tga, IdFieldAndDeclaredColourMapAreSkipped) {
  testkit_tempdir dir(true);
  const std::vector<uint32_t> pixels = upright_pixels(4, 4, 9, false);
  fixture_tga_options options;
  options.origin = 0;
  options.id = "picture made by the test";
  options.colour_map = 7;
  pixmap_ptr pm = reader_load_bytes(tga_load, "m.tga", fixture_tga(4, 4, 24, pixels, options));
  EXPECT_TRUE(reader_same(pm.get(), 4, 4, as_quads(pixels), -1));
}

TEST(Tga, RefusedFiles) {
  testkit_tempdir dir(true);
  const std::vector<uint32_t> pixels = upright_pixels(6, 4, 2, false);
  const fixture_bytes good = fixture_tga(6, 4, 24, pixels);
  ASSERT_TRUE(reader_load_bytes(tga_load, "g.tga", good));
  for (int type : {0, 1, 3, 9, 10, 11}) {
    fixture_bytes bad = good;
    bad[2] = uint8_t(type);
    EXPECT_FALSE(reader_load_bytes(tga_load, "t.tga", bad)) << "image type " << type;
  }
  for (int bits : {0, 8, 15, 23, 31, 64}) {
    fixture_bytes bad = good;
    bad[16] = uint8_t(bits);
    EXPECT_FALSE(reader_load_bytes(tga_load, "b.tga", bad)) << bits << " bits";
  }
  // Pixel data cut short, sizes of nothing and sizes far beyond the file.
  EXPECT_FALSE(reader_load_bytes(tga_load, "c.tga", fixture_bytes(good.begin(), good.end() - 1)));
  fixture_bytes bad = good;
  bad[12] = bad[13] = 0;
  EXPECT_FALSE(reader_load_bytes(tga_load, "z.tga", bad));
  bad = good;
  bad[12] = bad[13] = bad[14] = bad[15] = 0xFF;
  EXPECT_FALSE(reader_load_bytes(tga_load, "h.tga", bad));
  EXPECT_FALSE(reader_load_bytes(tga_load, "e.tga", fixture_bytes(good.begin(), good.begin() + 17)));
  EXPECT_FALSE(reader_load(tga_load, "missing.tga"));
}

// ImageMagick writes few-colour pictures colour-mapped unless told otherwise:
// such files are refused.
TEST(Tga, ColourMappedFromImageMagickIsRefused) {
  READER_REQUIRE_TOOL("convert");
  testkit_tempdir dir(true);
  testkit_write_file("in.ppm", fixture_ppm(8, 8, fixture_rgb(8, 8, 1)));
  ASSERT_TRUE(reader_run("convert in.ppm -colors 4 -compress none m.tga"));
  ASSERT_EQ(testkit_read_file("m.tga").at(2), 1) << "ImageMagick did not write a colour-mapped file";
  EXPECT_FALSE(reader_load(tga_load, "m.tga"));
}

} // namespace
