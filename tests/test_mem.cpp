#include "mem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "random.h"

namespace {
struct mem_counters {
  uint32_t total = mem_total, blocks = mem_blocks;
};
} // namespace

TEST(Mem, AllocReturnsZeroFilledBlockAndCountsIt) {
  const mem_counters before;
  auto* p = static_cast<uint8_t*>(mem_alloc(4096));
  ASSERT_NE(p, nullptr);
  for (int i = 0; i < 4096; i++)
    ASSERT_EQ(p[i], 0) << i;
  EXPECT_EQ(mem_total - before.total, 4096u);
  EXPECT_EQ(mem_blocks - before.blocks, 1u);
  EXPECT_EQ(mem_free(p), 1);
  EXPECT_EQ(mem_blocks, before.blocks);
  EXPECT_EQ(mem_total - before.total, 4096u) << "releases never reduce the total";
}

TEST(Mem, ZeroSizeIsAValidBlock) {
  const mem_counters before;
  void* p = mem_alloc(0);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(mem_blocks - before.blocks, 1u);
  EXPECT_EQ(mem_free(p), 1);
}

TEST(Mem, StatisticsFollowTheDocumentedExample) {
  const mem_counters before;
  void* a = mem_alloc(100);
  void* b = mem_alloc(200);
  mem_free(a);
  EXPECT_EQ(mem_total - before.total, 300u);
  EXPECT_EQ(mem_blocks - before.blocks, 1u);
  EXPECT_GE(mem_total_peak, mem_total);
  EXPECT_GE(mem_blocks_peak, before.blocks + 2);
  mem_free(b);
}

TEST(Mem, NullArgumentsSetErrorTwoAndChangeNothing) {
  const mem_counters before;
  mem_error = 0;
  EXPECT_EQ(mem_free(nullptr), 0);
  EXPECT_EQ(mem_error, 2);
  mem_error = 0;
  char buf[4] = {};
  EXPECT_EQ(mem_copy(nullptr, buf, 4), 0);
  EXPECT_EQ(mem_error, 2);
  mem_error = 0;
  EXPECT_EQ(mem_copy(buf, nullptr, 4), 0);
  EXPECT_EQ(mem_error, 2);
  mem_error = 0;
  EXPECT_EQ(mem_fill(nullptr, 1, 4), 0);
  EXPECT_EQ(mem_error, 2);
  EXPECT_EQ(mem_total, before.total);
  EXPECT_EQ(mem_blocks, before.blocks);
}

TEST(Mem, FailedAllocationSetsErrorOne) {
  mem_error = 0;
  EXPECT_EQ(mem_alloc_array<uint64_t>(SIZE_MAX / 4), nullptr);
  EXPECT_EQ(mem_error, 1);
}

TEST(Mem, CopyIsOverlapSafeInBothDirections) {
  uint8_t buf[16];
  for (int i = 0; i < 16; i++)
    buf[i] = uint8_t(i);
  ASSERT_EQ(mem_copy(buf + 2, buf, 10), 1);
  for (int i = 0; i < 10; i++)
    EXPECT_EQ(buf[i + 2], i);
  for (int i = 0; i < 16; i++)
    buf[i] = uint8_t(i);
  ASSERT_EQ(mem_copy(buf, buf + 3, 10), 1);
  for (int i = 0; i < 10; i++)
    EXPECT_EQ(buf[i], i + 3);

  uint32_t words[8] = {0, 1, 2, 3, 4, 5, 6, 7};
  ASSERT_EQ(mem_copy_words(words + 1, words, 6), 1);
  EXPECT_EQ(words[0], 0u);
  for (int i = 1; i < 7; i++)
    EXPECT_EQ(words[i], uint32_t(i - 1));
  EXPECT_EQ(words[7], 7u);
}

TEST(Mem, FillCoversWholeWordsAndTheRemainder) {
  uint8_t buf[11];
  std::memset(buf, 0, sizeof buf);
  ASSERT_EQ(mem_fill(buf, 0xAB, 10), 1);
  for (int i = 0; i < 10; i++)
    EXPECT_EQ(buf[i], 0xAB);
  EXPECT_EQ(buf[10], 0) << "nothing past the region";

  // Word counts around the four-word groups the fill writes at once.
  for (size_t count = 0; count < 10; count++) {
    uint32_t words[11] = {};
    ASSERT_EQ(mem_fill_words(words + 1, 0xDEADBEEF, count), 1);
    EXPECT_EQ(words[0], 0u);
    for (size_t i = 1; i <= count; i++)
      EXPECT_EQ(words[i], 0xDEADBEEFu) << count << ":" << i;
    EXPECT_EQ(words[count + 1], 0u) << "nothing past the region, count " << count;
  }
}

TEST(Mem, TotalWrapsAsUnsignedWithoutUndefinedBehaviour) {
  const uint32_t saved = mem_total;
  mem_total = 0xFFFFFF00u;
  void* p = mem_alloc(0x200);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(mem_total, 0x100u);
  mem_free(p);
  mem_total = saved;
}

TEST(DemoRand, StaysInRangeAndRepeatsForASeed) {
  demo_srand(1);
  std::vector<int32_t> first;
  int32_t lo = 32767, hi = 0;
  for (int i = 0; i < 100000; i++) {
    const int32_t v = demo_rand();
    lo = std::min(lo, v);
    hi = std::max(hi, v);
    if (i < 10)
      first.push_back(v);
  }
  EXPECT_GE(lo, 0);
  EXPECT_LE(hi, DEMO_RAND_MAX);
  EXPECT_GT(hi, 32000) << "the whole range is used";
  EXPECT_LT(lo, 700);
  demo_srand(1);
  for (int32_t v : first)
    EXPECT_EQ(demo_rand(), v);
  demo_srand(2);
  EXPECT_NE(demo_rand(), first[0]);
}

TEST(DemoRand, AFixedSeedOverridesTheClock) {
  demo_rand_fix_seed(42);
  const int32_t a = demo_rand();
  demo_srand_clock();
  EXPECT_EQ(demo_rand(), a);
}
