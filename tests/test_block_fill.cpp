// The 8x8 block filler: interpolation, the wrap rule, the modes and clipping.
#include "block_fill.h"
#include "net_fixtures.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {
// Texels hold their coordinates, and 0x80 in their blue and top bytes.
opening_pixmap coordinate_texture() { return net_coordinate_texture(0x80800000u); }

uint32_t u_of(uint32_t p) { return p & 255; }
uint32_t v_of(uint32_t p) { return p >> 8 & 255; }

void fill(pixmap* dst, int32_t x, int32_t y, const pixmap* tex, int32_t mode, block_corner tl, block_corner tr,
          block_corner bl, block_corner br, const uint8_t* shade = nullptr) {
  block_fill(x, y, dst, tex, mode, &tl, &tr, &bl, &br, shade);
}

// The filler as the rule reads: 8.8 edges, steps from the integer parts,
// each difference folded into -127 .. 127 (+-128 stay on the far side).
int32_t fold(int32_t d) { return d > 127 ? d - 256 : d < -127 ? d + 256 : d; }
int32_t floor8(int32_t v) { return v >> 8; }
void reference_uv(block_corner tl, block_corner tr, block_corner bl, block_corner br, int32_t c, int32_t r, int32_t* u,
                  int32_t* v) {
  const int32_t lu = tl.u * 256 + r * fold(bl.u - tl.u) * 32, ru = tr.u * 256 + r * fold(br.u - tr.u) * 32;
  const int32_t lv = tl.v * 256 + r * fold(bl.v - tl.v) * 32, rv = tr.v * 256 + r * fold(br.v - tr.v) * 32;
  *u = floor8(lu + c * fold(floor8(ru) - floor8(lu)) * 32) & 255;
  *v = floor8(lv + c * fold(floor8(rv) - floor8(lv)) * 32) & 255;
}
} // namespace

TEST(BlockFill, InterpolatesTheCornersBilinearly) {
  opening_pixmap tex = coordinate_texture();
  opening_pixmap dst(pixmap_create(32, 16, 0));
  // A plain 8 x 8 square of the texture, one texel per pixel.
  fill(dst.get(), 8, 4, tex.get(), BLOCK_PLAIN, {10, 20, 0}, {18, 20, 0}, {10, 28, 0}, {18, 28, 0});
  for (int32_t r = 0; r < 8; r++)
    for (int32_t c = 0; c < 8; c++) {
      const uint32_t p = dst->pixels[(4 + r) * 32 + 8 + c];
      ASSERT_EQ(u_of(p), uint32_t(10 + c)) << c << "," << r;
      ASSERT_EQ(v_of(p), uint32_t(20 + r)) << c << "," << r;
      ASSERT_EQ(p >> 16, 0x8080u) << "the texel as it is";
    }
  EXPECT_EQ(dst->pixels[4 * 32 + 7], 0u) << "nothing left of the block";
  EXPECT_EQ(dst->pixels[12 * 32 + 8], 0u) << "nothing below it";

  // Skewed, stretched and mirrored corners against the rule.
  const block_corner sets[][4] = {{{0, 0, 0}, {40, 3, 0}, {-5, 17, 0}, {60, 30, 0}},
                                  {{100, 7, 0}, {93, 90, 0}, {130, -20, 0}, {70, 41, 0}},
                                  {{250, 250, 0}, {20, 255, 0}, {245, 10, 0}, {5, 30, 0}}};
  for (const auto& k : sets) {
    fill(dst.get(), 16, 0, tex.get(), BLOCK_PLAIN, k[0], k[1], k[2], k[3]);
    for (int32_t r = 0; r < 8; r++)
      for (int32_t c = 0; c < 8; c++) {
        int32_t u, v;
        reference_uv(k[0], k[1], k[2], k[3], c, r, &u, &v);
        const uint32_t p = dst->pixels[r * 32 + 16 + c];
        ASSERT_EQ(u_of(p), uint32_t(u)) << k[0].u << ": " << c << "," << r;
        ASSERT_EQ(v_of(p), uint32_t(v)) << k[0].u << ": " << c << "," << r;
      }
  }
}

TEST(BlockFill, DifferencesTakeTheShorterWayAcrossTheWrap) {
  opening_pixmap tex = coordinate_texture();
  opening_pixmap dst(pixmap_create(8, 8, 0));
  // u from 10 to 210: 200 is folded to -56, 7 columns to the left per pixel.
  fill(dst.get(), 0, 0, tex.get(), BLOCK_PLAIN, {10, 0, 0}, {210, 0, 0}, {10, 0, 0}, {210, 0, 0});
  for (int32_t c = 0; c < 8; c++)
    EXPECT_EQ(u_of(dst->pixels[c]), uint32_t((10 - 7 * c) & 255)) << c;
  // Down the left edge: v from 250 to 6 is +12, 1.5 rows per row.
  fill(dst.get(), 0, 0, tex.get(), BLOCK_PLAIN, {0, 250, 0}, {0, 250, 0}, {0, 6, 0}, {0, 6, 0});
  for (int32_t r = 0; r < 8; r++)
    EXPECT_EQ(v_of(dst->pixels[r * 8]), uint32_t((250 + 3 * r / 2) & 255)) << r;
  // 127 goes forwards and -127 backwards; 128 and -128 go round the other way.
  const std::pair<int32_t, uint32_t> edges[] = {{127, 15}, {128, 240}, {-127, 240}, {-128, 16}};
  for (const auto& [right, second] : edges) {
    fill(dst.get(), 0, 0, tex.get(), BLOCK_PLAIN, {0, 0, 0}, {right, 0, 0}, {0, 0, 0}, {right, 0, 0});
    EXPECT_EQ(u_of(dst->pixels[1]), second) << right;
  }
}

TEST(BlockFill, ShadedAndAdditiveModes) {
  opening_pixmap tex = coordinate_texture();
  // Row k of the table maps every channel value c to k + c / 4.
  std::vector<uint8_t> shade(64 * 256);
  for (int32_t k = 0; k < 64; k++)
    for (int32_t c = 0; c < 256; c++)
      shade[size_t(k * 256 + c)] = uint8_t(k + c / 4);
  opening_pixmap dst(pixmap_create(8, 8, 0));
  // Shade rows 61, 62, 63, then 0 (64 AND 63) to 4.
  fill(dst.get(), 0, 0, tex.get(), BLOCK_SHADED, {40, 80, 61}, {48, 80, 61}, {40, 88, 69}, {48, 88, 69}, shade.data());
  for (int32_t r = 0; r < 8; r++) {
    const uint32_t row = uint32_t(61 + r) & 63, p = dst->pixels[r * 8 + 3];
    EXPECT_EQ(p & 255, row + (40 + 3) / 4) << r;
    EXPECT_EQ(p >> 8 & 255, row + (80 + r) / 4) << r;
    EXPECT_EQ(p >> 16 & 255, row + 0x80 / 4) << r;
    EXPECT_EQ(p >> 24, 0x80u) << "the texel's top byte stays";
  }
  // Without a table, or with a mode of another count, nothing is drawn.
  opening_pixmap blank(pixmap_create(8, 8, 0));
  fill(blank.get(), 0, 0, tex.get(), BLOCK_SHADED, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1});
  fill(blank.get(), 0, 0, tex.get(), 4, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, shade.data());
  fill(blank.get(), 0, 0, tex.get(), 1 | BLOCK_ADD, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1});
  for (int32_t i = 0; i < 64; i++)
    ASSERT_EQ(blank->pixels[i], 0u);

  // Adding saturates each channel and keeps the destination's top byte.
  opening_pixmap add(pixmap_create(8, 8, 0));
  pixmap_fill_rect(add.get(), 0, 0, 8, 8, 0x11C06010u);
  fill(add.get(), 0, 0, tex.get(), BLOCK_PLAIN | BLOCK_ADD, {200, 100, 0}, {208, 100, 0}, {200, 108, 0}, {208, 108, 0});
  EXPECT_EQ(add->pixels[0], 0x11FFC4D8u) << "red 16+200, green 96+100, blue 192+128 capped";
  EXPECT_EQ(add->pixels[7 * 8 + 7], 0x11FFCBDFu);
  pixmap_fill_rect(add.get(), 0, 0, 8, 8, 0x22102030u);
  fill(add.get(), 0, 0, tex.get(), BLOCK_SHADED | BLOCK_ADD, {200, 100, 10}, {208, 100, 10}, {200, 108, 10},
       {208, 108, 10}, shade.data());
  EXPECT_EQ(add->pixels[0], 0x223A436Cu) << "48 + 10 + 200/4, 32 + 10 + 100/4, 16 + 10 + 128/4";
}

TEST(BlockFill, ClipsToTheDestinationAndNeverReadsOutsideTheTexture) {
  opening_pixmap tex = coordinate_texture();
  opening_pixmap dst(pixmap_create(12, 10, 0));
  // Half above and left of the picture: the visible pixels keep their texels.
  fill(dst.get(), -4, -5, tex.get(), BLOCK_PLAIN, {0, 0, 0}, {8, 0, 0}, {0, 8, 0}, {8, 8, 0});
  EXPECT_EQ(u_of(dst->pixels[0]), 4u);
  EXPECT_EQ(v_of(dst->pixels[0]), 5u);
  EXPECT_EQ(u_of(dst->pixels[2 * 12 + 3]), 7u);
  EXPECT_EQ(dst->pixels[3 * 12], 0u) << "the block ends at row 2";
  EXPECT_EQ(dst->pixels[4], 0u) << "and at column 3";
  // Over the bottom-right corner, and wholly outside.
  fill(dst.get(), 8, 6, tex.get(), BLOCK_PLAIN, {50, 60, 0}, {58, 60, 0}, {50, 68, 0}, {58, 68, 0});
  EXPECT_EQ(u_of(dst->pixels[9 * 12 + 11]), 53u);
  EXPECT_EQ(v_of(dst->pixels[9 * 12 + 11]), 63u);
  for (const int32_t at : {-8, 12, INT32_MIN, INT32_MAX})
    fill(dst.get(), at, at, tex.get(), BLOCK_PLAIN, {1, 1, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 0});
  // Coordinates at the ends of the integer range wrap inside the texture.
  fill(dst.get(), 0, 0, tex.get(), BLOCK_SHADED | BLOCK_ADD, {INT32_MIN, INT32_MAX, INT32_MIN},
       {INT32_MAX, INT32_MIN, INT32_MAX}, {INT32_MAX, INT32_MAX, INT32_MIN}, {INT32_MIN, INT32_MIN, INT32_MAX},
       std::vector<uint8_t>(64 * 256, 7).data());

  // Textures narrower or wider than 256, or too short, are not read.
  for (const auto& [w, h] : std::vector<std::pair<int32_t, int32_t>>{{255, 256}, {256, 255}, {320, 240}}) {
    opening_pixmap odd(pixmap_create(w, h, 0));
    pixmap_fill_rect(odd.get(), 0, 0, w, h, 0xFFFFFF);
    opening_pixmap blank(pixmap_create(8, 8, 0));
    fill(blank.get(), 0, 0, odd.get(), BLOCK_PLAIN, {0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0});
    EXPECT_EQ(blank->pixels[9], 0u) << w << "x" << h;
    EXPECT_FALSE(block_texture_fits(odd.get()));
  }
  opening_pixmap tall(pixmap_create(256, 300, 0));
  EXPECT_TRUE(block_texture_fits(tall.get()));
}
