#include "mem.h"
#include "pixmap.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <memory>
#include <vector>

namespace {
struct pixmap_deleter {
  void operator()(pixmap* pm) const { pixmap_free(pm); }
};
using pixmap_ptr = std::unique_ptr<pixmap, pixmap_deleter>;

pixmap_ptr make(int32_t w, int32_t h, uint32_t flags) { return pixmap_ptr(pixmap_create(w, h, flags)); }

// Fills every pixel with a value unique to its position.
void fill_pattern(pixmap* pm, uint32_t salt) {
  for (int32_t y = 0; y < pm->height; y++)
    for (int32_t x = 0; x < pm->width; x++)
      pm->pixels[y * pm->width + x] = salt ^ uint32_t(y << 12 | x);
}
} // namespace

TEST(Pixmap, CreateWithDepthAndClearGivesOpaqueBlackAndFarDepth) {
  auto pm = make(320, 240, PIXMAP_DEPTH | PIXMAP_CLEAR);
  ASSERT_TRUE(pm);
  EXPECT_EQ(pm->width, 320);
  EXPECT_EQ(pm->height, 240);
  EXPECT_EQ(pm->flags, 6u);
  ASSERT_NE(pm->depth, nullptr);
  for (int i = 0; i < 320 * 240; i++) {
    ASSERT_EQ(pm->pixels[i], 0xFF000000u) << i;
    ASSERT_EQ(pm->depth[i], PIXMAP_FAR_DEPTH) << i;
  }
  for (int y = 0; y < 240; y++)
    ASSERT_EQ(pm->rows[y], y * 320);
  EXPECT_EQ(pm->reserved, 0);
}

TEST(Pixmap, DepthWithoutClearIsZeroAndNoFlagsMeansNoDepth) {
  auto d = make(8, 4, PIXMAP_DEPTH);
  ASSERT_TRUE(d && d->depth);
  for (int i = 0; i < 32; i++) {
    EXPECT_EQ(d->depth[i], 0);
    EXPECT_EQ(d->pixels[i], 0u);
  }
  auto p = make(8, 4, 0);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->depth, nullptr);
}

TEST(Pixmap, BadSizesFailWithCodeOneAndTheTextResets) {
  pixmap_error = 0;
  EXPECT_EQ(pixmap_create(-1, 10, 0), nullptr);
  EXPECT_STREQ(pixmap_error_text(), "No memory available");
  EXPECT_STREQ(pixmap_error_text(), "No error, so far...");
  EXPECT_EQ(pixmap_create(10, -5, 0), nullptr);
  EXPECT_EQ(pixmap_error, 1);
  pixmap_error = 0;
  EXPECT_EQ(pixmap_create(INT32_MAX, INT32_MAX, 0), nullptr);
  EXPECT_EQ(pixmap_error, 1);
  pixmap_error = 0;
  EXPECT_EQ(pixmap_create(70000, 70000, 0), nullptr) << "product overflows 32 bits";
  EXPECT_EQ(pixmap_error, 1);
  pixmap_error = 0;
}

TEST(Pixmap, FailedCreateLeaksNothing) {
  const uint32_t blocks = mem_blocks;
  EXPECT_EQ(pixmap_create(-3, 3, PIXMAP_DEPTH), nullptr);
  EXPECT_EQ(mem_blocks, blocks);
  pixmap_error = 0;
}

TEST(Pixmap, ErrorTextsCoverTheTable) {
  const std::pair<int32_t, const char*> table[] = {{2, "Bad matching pixmaps"},
                                                   {3, "Ambiguous error..."},
                                                   {4, "No such file"},
                                                   {5, "Invalid PIXMAP file"},
                                                   {77, "Ambiguous error..."}};
  for (auto [code, text] : table) {
    pixmap_error = code;
    EXPECT_STREQ(pixmap_error_text(), text);
    EXPECT_EQ(pixmap_error, 0);
  }
}

TEST(Pixmap, EmptyPixmapClipsEverythingToNothing) {
  auto e = make(0, 5, PIXMAP_CLEAR);
  ASSERT_TRUE(e);
  auto f = make(4, 4, PIXMAP_CLEAR);
  pixmap_put_pixel(e.get(), 0, 0, 1);
  EXPECT_EQ(pixmap_get_pixel(e.get(), 0, 0), 0u);
  pixmap_fill_rect(e.get(), 0, 0, 10, 10, 5);
  pixmap_blit(e.get(), 0, 0, f.get(), 0, 0, 4, 4);
  pixmap_blit(f.get(), 0, 0, e.get(), 0, 0, 4, 4);
  pixmap_fade_blit(f.get(), 0, 0, e.get(), 0, 0, 0xFFFFFF, 0.5f, 4, 4);
  for (int i = 0; i < 16; i++)
    EXPECT_EQ(f->pixels[i], 0xFF000000u);
}

TEST(Pixmap, PutAndGetIgnoreOutsideCoordinates) {
  auto pm = make(4, 3, 0);
  pixmap_put_pixel(pm.get(), 3, 2, 0x12345678);
  EXPECT_EQ(pixmap_get_pixel(pm.get(), 3, 2), 0x12345678u);
  EXPECT_EQ(pm->pixels[2 * 4 + 3], 0x12345678u);
  for (auto [x, y] : {std::pair{-1, 0}, {4, 0}, {0, -1}, {0, 3}, {INT32_MIN, INT32_MAX}}) {
    pixmap_put_pixel(pm.get(), x, y, 0xFFFFFFFF);
    EXPECT_EQ(pixmap_get_pixel(pm.get(), x, y), 0u);
  }
  int set = 0;
  for (int i = 0; i < 12; i++)
    set += pm->pixels[i] != 0;
  EXPECT_EQ(set, 1);
}

TEST(Pixmap, FillRectClipsAndResetsDepthOnlyWithTheFlag) {
  auto pm = make(10, 8, PIXMAP_DEPTH);
  for (int i = 0; i < 80; i++)
    pm->depth[i] = 5;
  pixmap_fill_rect(pm.get(), -3, 6, 5, 10, 0xAA);
  for (int y = 0; y < 8; y++)
    for (int x = 0; x < 10; x++) {
      const bool inside = x < 2 && y >= 6;
      EXPECT_EQ(pm->pixels[y * 10 + x], inside ? 0xAAu : 0u) << x << "," << y;
      EXPECT_EQ(pm->depth[y * 10 + x], inside ? PIXMAP_FAR_DEPTH : 5) << x << "," << y;
    }
  pm->flags ^= PIXMAP_DEPTH; // toggled off: the buffer stays but is not touched
  pixmap_fill_rect(pm.get(), 0, 0, 10, 8, 0xBB);
  EXPECT_EQ(pm->depth[0], 5);
  EXPECT_EQ(pm->pixels[79], 0xBBu);
  // Degenerate and far-away rectangles change nothing, and sums cannot overflow.
  pixmap_fill_rect(pm.get(), 0, 0, 0, 8, 1);
  pixmap_fill_rect(pm.get(), 0, 0, 8, -1, 1);
  pixmap_fill_rect(pm.get(), INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, 1);
  pixmap_fill_rect(pm.get(), INT32_MIN, INT32_MIN, 5, 5, 1);
  for (int i = 0; i < 80; i++)
    EXPECT_EQ(pm->pixels[i], 0xBBu);
}

TEST(Pixmap, FreeReleasesDepthEvenWhenTheFlagWasCleared) {
  const uint32_t blocks = mem_blocks;
  pixmap* pm = pixmap_create(16, 16, PIXMAP_DEPTH | PIXMAP_CLEAR);
  pm->flags &= ~uint32_t(PIXMAP_DEPTH);
  pixmap_free(pm);
  EXPECT_EQ(mem_blocks, blocks);
}

TEST(Pixmap, DepthFlagWithoutBufferIsNeverWritten) {
  auto pm = make(4, 4, 0);
  pm->flags |= PIXMAP_DEPTH;
  pixmap_fill_rect(pm.get(), 0, 0, 4, 4, 7);
  EXPECT_EQ(pm->pixels[15], 7u);
}

TEST(Pixmap, BlitCopiesTheVisiblePartFromTheMatchingSourceOffset) {
  auto src = make(6, 5, 0);
  fill_pattern(src.get(), 0x01000000);
  auto dst = make(8, 8, PIXMAP_CLEAR);
  pixmap_blit(dst.get(), -2, -1, src.get(), 0, 0, 6, 5);
  for (int y = 0; y < 8; y++)
    for (int x = 0; x < 8; x++) {
      const bool inside = x < 4 && y < 4;
      const uint32_t want = inside ? src->pixels[(y + 1) * 6 + x + 2] : 0xFF000000u;
      EXPECT_EQ(dst->pixels[y * 8 + x], want) << x << "," << y;
    }
}

TEST(Pixmap, BlitClipsNegativeSourceAndBothFarEdges) {
  auto src = make(5, 5, 0);
  fill_pattern(src.get(), 0x02000000);
  auto dst = make(6, 6, PIXMAP_CLEAR);
  // Source starts at (-1,-2): the copy lands one right and two down.
  pixmap_blit(dst.get(), 3, 3, src.get(), -1, -2, 10, 10);
  for (int y = 0; y < 6; y++)
    for (int x = 0; x < 6; x++) {
      const bool inside = x >= 4 && y >= 5;
      const uint32_t want = inside ? src->pixels[(y - 5) * 5 + (x - 4)] : 0xFF000000u;
      EXPECT_EQ(dst->pixels[y * 6 + x], want) << x << "," << y;
    }
}

TEST(Pixmap, BlitsEntirelyOutsideChangeNothing) {
  auto src = make(4, 4, 0);
  fill_pattern(src.get(), 0x03000000);
  auto dst = make(4, 4, PIXMAP_CLEAR);
  const int32_t cases[][6] = {{4, 0, 0, 0, 4, 4},
                              {-4, 0, 0, 0, 4, 4},
                              {0, 4, 0, 0, 4, 4},
                              {0, 0, 4, 0, 4, 4},
                              {0, 0, 0, -4, 4, 4},
                              {0, 0, 0, 0, 0, 4},
                              {0, 0, 0, 0, 4, -1},
                              {INT32_MAX, 0, 0, 0, INT32_MAX, 4},
                              {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX}};
  for (const auto& c : cases) {
    pixmap_blit(dst.get(), c[0], c[1], src.get(), c[2], c[3], c[4], c[5]);
    pixmap_fade_blit(dst.get(), c[0], c[1], src.get(), c[2], c[3], 0xFFFFFF, 0.5f, c[4], c[5]);
  }
  for (int i = 0; i < 16; i++)
    EXPECT_EQ(dst->pixels[i], 0xFF000000u);
}

TEST(Pixmap, BlitOntoItselfIsOverlapSafe) {
  auto pm = make(8, 1, 0);
  fill_pattern(pm.get(), 0);
  pixmap_blit(pm.get(), 2, 0, pm.get(), 0, 0, 6, 1);
  for (int x = 2; x < 8; x++)
    EXPECT_EQ(pm->pixels[x], uint32_t(x - 2));
}

TEST(Pixmap, BlendingUsesSourceOpacityAndKeepsDestinationAlpha) {
  auto src = make(3, 1, PIXMAP_BLEND);
  src->pixels[0] = pixmap_rgba(200, 100, 50, 0);
  src->pixels[1] = pixmap_rgba(200, 100, 50, 255);
  src->pixels[2] = pixmap_rgba(200, 100, 50, 128);
  auto dst = make(3, 1, 0);
  for (int i = 0; i < 3; i++)
    dst->pixels[i] = pixmap_rgba(10, 20, 30, 77);
  pixmap_blit(dst.get(), 0, 0, src.get(), 0, 0, 3, 1);
  EXPECT_EQ(dst->pixels[0], pixmap_rgba(10, 20, 30, 77));
  EXPECT_EQ(dst->pixels[1], pixmap_rgba(200, 100, 50, 77));
  // ((255 - 128) * d + 128 * s) / 255, truncated.
  EXPECT_EQ(dst->pixels[2],
            pixmap_rgba((127 * 10 + 128 * 200) / 255, (127 * 20 + 128 * 100) / 255, (127 * 30 + 128 * 50) / 255, 77));
}

TEST(Pixmap, FadeFactorZeroCopiesAndOneGivesTheColour) {
  auto src = make(5, 3, 0);
  fill_pattern(src.get(), 0);
  for (int i = 0; i < 15; i++)
    src->pixels[i] = src->pixels[i] * 2654435761u;
  auto dst = make(5, 3, PIXMAP_CLEAR);
  pixmap_fade_blit(dst.get(), 0, 0, src.get(), 0, 0, 0x00123456, 0.0f, 5, 3);
  for (int i = 0; i < 15; i++)
    EXPECT_EQ(dst->pixels[i], (src->pixels[i] & 0xFFFFFF) | 0xFF000000u) << i;
  pixmap_fade_blit(dst.get(), 0, 0, src.get(), 0, 0, 0x00123456, 1.0f, 5, 3);
  for (int i = 0; i < 15; i++)
    EXPECT_EQ(dst->pixels[i], 0xFF123456u) << i;
}

TEST(Pixmap, FadeFactorsOutsideZeroToOneAreHeldAndNaNDrawsNothing) {
  auto src = make(5, 3, 0);
  fill_pattern(src.get(), 0x00A5C3E1u);
  const uint32_t colour = 0x00C0FFEE;
  auto faded = [&](float factor) {
    auto dst = make(5, 3, 0);
    for (int i = 0; i < 15; i++)
      dst->pixels[i] = 0x5A000000u | uint32_t(i);
    pixmap_fade_blit(dst.get(), 0, 0, src.get(), 0, 0, colour, factor, 5, 3);
    return std::vector<uint32_t>(dst->pixels, dst->pixels + 15);
  };
  const auto none = faded(0.0f), full = faded(1.0f);
  ASSERT_NE(none, full);
  // Values whose colour terms would overflow int32_t, or wrap in a byte.
  EXPECT_EQ(faded(1.5f), full);
  EXPECT_EQ(faded(1e30f), full);
  EXPECT_EQ(faded(std::numeric_limits<float>::infinity()), full);
  EXPECT_EQ(faded(-0.5f), none);
  EXPECT_EQ(faded(-1e30f), none);
  EXPECT_EQ(faded(-std::numeric_limits<float>::infinity()), none);
  std::vector<uint32_t> untouched(15);
  for (int i = 0; i < 15; i++)
    untouched[i] = 0x5A000000u | uint32_t(i);
  EXPECT_EQ(faded(std::numeric_limits<float>::quiet_NaN()), untouched);
  // The shared table is still right after the refused call.
  EXPECT_EQ(faded(0.0f), none);
}

TEST(Pixmap, FadeHalfwayFollowsTheTableRule) {
  auto src = make(1, 1, 0);
  auto dst = make(1, 1, 0);
  src->pixels[0] = pixmap_rgba(255, 100, 0, 9);
  pixmap_fade_blit(dst.get(), 0, 0, src.get(), 0, 0, pixmap_rgba(0, 255, 200, 0), 0.5f, 1, 1);
  // t[i] = trunc(i * (1/255) * 0.5 * 255 + 0.5); ck = trunc(c * 0.5).
  EXPECT_EQ(dst->pixels[0], pixmap_rgba(128 + 0, 50 + 127, 0 + 100, 0));
}

TEST(Pixmap, FadeClipsAgainstBothPixmaps) {
  auto src = make(4, 4, 0);
  fill_pattern(src.get(), 0);
  auto dst = make(3, 3, PIXMAP_CLEAR);
  pixmap_fade_blit(dst.get(), -1, 1, src.get(), 2, 0, 0, 0.0f, 4, 4);
  // Destination column 0 takes source column 3; columns beyond the source stay.
  for (int y = 0; y < 3; y++)
    for (int x = 0; x < 3; x++) {
      const bool inside = x == 0 && y >= 1;
      const uint32_t want = inside ? 0xFF000000u | src->pixels[(y - 1) * 4 + 3] : 0xFF000000u;
      EXPECT_EQ(dst->pixels[y * 3 + x], want) << x << "," << y;
    }
}
