// Every writer's files read back through the system's own picture readers.
#include "gif.h"
#include "gif_writer.h"
#include "jpeg.h"
#include "jpeg_writer.h"
#include "pcx.h"
#include "pcx_writer.h"
#include "pixmap.h"
#include "scx.h"
#include "scx_writer.h"
#include "testkit.h"
#include "tga.h"
#include "tga_writer.h"
#include "vfs.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {
// Files are read through the plain-file device from a temporary folder.
struct reader_dir {
  testkit_tempdir dir{true};
  reader_dir() { vfs_device_enable(&stdio_device, 0); }
  std::string put(const std::string& name, const std::vector<uint8_t>& bytes) {
    testkit_write_file(name, bytes);
    return name;
  }
};

forge_picture sample(int32_t w, int32_t h, uint32_t seed) {
  forge_picture pic;
  picture_init(&pic, w, h, 0);
  const std::vector<uint8_t> noise = testkit_random_bytes(pic.pixels.size() * 4, seed);
  for (size_t i = 0; i < pic.pixels.size(); i++) {
    const int32_t x = int32_t(i % size_t(w)), y = int32_t(i / size_t(w));
    // Runs of high bytes on top, noise below.
    pic.pixels[i] = y < h / 2 ? picture_rgba(0xC0 + uint32_t(x / 9) % 64, 0xC0, uint32_t(y), noise[i * 4 + 3])
                              : picture_rgba(noise[i * 4], noise[i * 4 + 1], noise[i * 4 + 2], noise[i * 4 + 3]);
  }
  return pic;
}

std::vector<uint32_t> pixels_of(const pixmap* pm) {
  return std::vector<uint32_t>(pm->pixels, pm->pixels + size_t(pm->width) * size_t(pm->height));
}

std::vector<uint32_t> masked(const std::vector<uint32_t>& p, uint32_t mask) {
  std::vector<uint32_t> out(p.size());
  for (size_t i = 0; i < p.size(); i++)
    out[i] = p[i] & mask;
  return out;
}
} // namespace

TEST(ForgeReaders, PcxOfBothDepthsReadsBackExactly) {
  reader_dir d;
  for (int32_t w : {1, 2, 17, 64, 65, 320}) {
    const forge_picture pic = sample(w, 23, uint32_t(w));
    std::vector<uint8_t> bytes;
    ASSERT_EQ(write_pcx24(&pic, &bytes), 1);
    pixmap* pm = pcx_load(d.put("p24.pcx", bytes).c_str());
    ASSERT_NE(pm, nullptr) << w;
    EXPECT_EQ(pm->width, w);
    EXPECT_EQ(pm->height, 23);
    EXPECT_EQ(pixels_of(pm), masked(pic.pixels, 0xFFFFFF)) << "24-bit, width " << w;
    pixmap_free(pm);

    indexed_picture ip;
    indexed_init(&ip, w, 23, 256);
    const std::vector<uint8_t> noise = testkit_random_bytes(ip.indices.size() + 768, uint32_t(w) + 9);
    std::copy(noise.begin(), noise.begin() + 768, ip.palette.begin());
    for (size_t i = 0; i < ip.indices.size(); i++)
      ip.indices[i] = i < ip.indices.size() / 2 ? uint8_t(0xC0 + i / 5 % 64) : noise[768 + i];
    ASSERT_EQ(write_pcx8(&ip, &bytes), 1);
    pm = pcx_load(d.put("p8.pcx", bytes).c_str());
    ASSERT_NE(pm, nullptr) << w;
    forge_picture expect;
    indexed_expand(&ip, &expect);
    EXPECT_EQ(pixels_of(pm), expect.pixels) << "8-bit, width " << w;
    pixmap_free(pm);
  }
}

TEST(ForgeReaders, TgaOfEveryDepthAndOriginReadsBackUpright) {
  reader_dir d;
  const forge_picture pic = sample(19, 11, 4);
  for (int32_t bits : {16, 24, 32})
    for (int32_t origin = 0; origin < 4; origin++) {
      std::vector<uint8_t> bytes;
      ASSERT_EQ(write_tga(&pic, bits, origin, &bytes), 1);
      pixmap* pm = tga_load(d.put("t.tga", bytes).c_str());
      ASSERT_NE(pm, nullptr);
      std::vector<uint32_t> expect(pic.pixels.size());
      for (size_t i = 0; i < expect.size(); i++) {
        const uint32_t p = pic.pixels[i];
        // 16 bits: five bits a channel, read back as 0-31; 24 bits: no alpha.
        expect[i] = bits == 16   ? picture_rgba(picture_red(p) >> 3, picture_green(p) >> 3, picture_blue(p) >> 3, 0)
                    : bits == 24 ? (p & 0xFFFFFF)
                                 : p;
      }
      // The reader does not fill byte 3 of 16-bit pixels.
      const uint32_t mask = bits == 16 ? 0xFFFFFF : 0xFFFFFFFF;
      EXPECT_EQ(masked(pixels_of(pm), mask), expect) << bits << " bits, origin " << origin;
      pixmap_free(pm);
    }
}

TEST(ForgeReaders, GifReadsBackWithGlobalOrLocalPalette) {
  reader_dir d;
  for (int32_t colours : {2, 5, 64, 256})
    for (int32_t place : {GIF_PALETTE_GLOBAL, GIF_PALETTE_LOCAL}) {
      indexed_picture ip;
      indexed_init(&ip, 150, 77, colours);
      const std::vector<uint8_t> noise = testkit_random_bytes(ip.indices.size() + 768, uint32_t(colours + place));
      std::copy(noise.begin(), noise.begin() + 768, ip.palette.begin());
      for (size_t i = 0; i < ip.indices.size(); i++)
        ip.indices[i] = uint8_t((i < ip.indices.size() / 3 ? i / 11 : noise[768 + i]) % size_t(colours));
      std::vector<uint8_t> bytes;
      ASSERT_EQ(write_gif(&ip, place, &bytes), 1);
      pixmap* pm = gif_load(d.put("g.gif", bytes).c_str());
      ASSERT_NE(pm, nullptr);
      forge_picture expect;
      indexed_expand(&ip, &expect);
      // The reader marks colours of the global palette with byte 3 = 255.
      const uint32_t fourth = place == GIF_PALETTE_GLOBAL ? 0xFF000000u : 0;
      for (uint32_t& p : expect.pixels)
        p |= fourth;
      EXPECT_EQ(pixels_of(pm), expect.pixels) << colours << " colours, place " << place;
      pixmap_free(pm);
    }
  // Noise long enough to fill the 4096-code table many times over.
  indexed_picture big;
  indexed_init(&big, 400, 400, 256);
  big.indices = testkit_random_bytes(big.indices.size(), 31);
  std::vector<uint8_t> bytes;
  ASSERT_EQ(write_gif(&big, GIF_PALETTE_LOCAL, &bytes), 1);
  pixmap* pm = gif_load(d.put("big.gif", bytes).c_str());
  ASSERT_NE(pm, nullptr);
  forge_picture expect;
  indexed_expand(&big, &expect);
  EXPECT_EQ(pixels_of(pm), expect.pixels);
  pixmap_free(pm);
}

TEST(ForgeReaders, JpegReadsBackCloseToTheOriginal) {
  reader_dir d;
  forge_picture pic;
  picture_init(&pic, 256, 128, 0);
  for (int32_t y = 0; y < 128; y++)
    for (int32_t x = 0; x < 256; x++)
      pic.pixels[size_t(y) * 256 + size_t(x)] =
          picture_rgba(uint32_t(x), uint32_t(128 + 100 * std::sin(y * 0.1)), uint32_t((x + y) / 2), 0);
  for (bool progressive : {false, true}) {
    jpeg_options opt;
    opt.quality = 92;
    opt.progressive = progressive;
    std::vector<uint8_t> bytes;
    ASSERT_EQ(write_jpeg(&pic, &opt, &bytes), 1);
    pixmap* pm = jpeg_load(d.put("j.jpg", bytes).c_str());
    ASSERT_NE(pm, nullptr);
    ASSERT_EQ(pm->width, 256);
    ASSERT_EQ(pm->height, 128);
    double err = 0;
    for (size_t i = 0; i < pic.pixels.size(); i++) {
      EXPECT_EQ(pm->pixels[i] >> 24, 0u);
      for (int k = 0; k < 24; k += 8)
        err += std::abs(int(pm->pixels[i] >> k & 255) - int(pic.pixels[i] >> k & 255));
    }
    EXPECT_LT(err / double(pic.pixels.size() * 3), 2.5) << progressive;
    pixmap_free(pm);
  }
}

TEST(ForgeReaders, ScxReadsBackByteForByte) {
  reader_dir d;
  scx_map map;
  map.width = 128;
  map.height = 96;
  map.pixels = testkit_random_bytes(128 * 96, 12);
  std::vector<uint8_t> bytes;
  ASSERT_EQ(write_scx(&map, &bytes), 1);
  scx_bitmap* b = scx_load(d.put("m.scx", bytes).c_str());
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->width, 128);
  EXPECT_EQ(b->height, 96);
  EXPECT_TRUE(std::equal(map.pixels.begin(), map.pixels.end(), b->pixels));
  scx_free(b);
}
