// The credits' init seeds the program's generator from the clock, so the
// hidden sprite's bounces differ from run to run in the windowed programs.
#include <gtest/gtest.h>

#include <ctime>
#include <vector>

#include "blurp.h"
#include "random.h"

namespace {

std::vector<int32_t> draws(int n) {
  std::vector<int32_t> v;
  for (int i = 0; i < n; i++)
    v.push_back(demo_rand());
  return v;
}

} // namespace

TEST(Credits, InitSeedsTheGeneratorFromTheClock) {
  for (int attempt = 0; attempt < 3; attempt++) {
    demo_srand(12345);
    const uint32_t before = uint32_t(std::time(nullptr));
    show_context show{};
    blurp_init(&show);
    const std::vector<int32_t> got = draws(8);
    const uint32_t after = uint32_t(std::time(nullptr));
    if (before != after)
      continue; // the second turned over: try again
    demo_srand(before);
    EXPECT_EQ(got, draws(8));
    demo_srand(12345);
    EXPECT_NE(got, draws(8));
    return;
  }
  FAIL() << "the clock kept turning over";
}
