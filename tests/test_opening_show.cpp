// The opening of the show end to end: the galaxy and the intro's three
// sections in the sequencer, in time with the song, on the generated data.dat.
#include "show_run.h"

#include "headless.h"

#include <nlohmann/json.hpp>

namespace {
constexpr int32_t ZOOMER_STATE = 3;

// The opening without keys (a test may script its own first); the run stops
// five frames into the sequence zoomer.
struct opening_fixture : show_walk {
  void run() {
    last = ZOOMER_STATE - 1;
    frames_after = 5;
    walk();
  }
};
} // namespace

TEST_F(opening_fixture, EachPartEndsOnItsCue) {
  run();
  const std::vector<int32_t> seen = states();
  ASSERT_GE(seen.size(), 5u);
  EXPECT_EQ(std::vector<int32_t>(seen.begin(), seen.begin() + 5), (std::vector<int32_t>{-1, 0, 1, 2, 3}));

  // The galaxy: left after the first step that saw order 4.
  const int galaxy_end = last_of(-1);
  EXPECT_GE(order_seen(galaxy_end), 4u);
  EXPECT_LT(order_seen(galaxy_end - 1), 4u);

  // The burn-in: 384 frames, then the picture until a step sees order 6.
  const int burn = first_of(0), burn_end = last_of(0);
  EXPECT_GE(burn_end - burn + 1, 385);
  EXPECT_GT(order_seen(burn_end), 5u);
  if (burn_end - burn + 1 > 385) {
    EXPECT_LE(order_seen(burn_end - 1), 5u);
  }

  // The tile wall: 512 ticks of frame deltas, the first frame's not
  // counted and the last one's counted a frame late.
  const int wall = first_of(1), wall_end = last_of(1);
  const int32_t ticks = frames[size_t(wall_end - 1)].ticks - frames[size_t(wall - 1)].ticks;
  EXPECT_GE(ticks, 512);
  EXPECT_LT(frames[size_t(wall_end - 2)].ticks - frames[size_t(wall - 1)].ticks, 512);

  // The title: at least 128 + 128 + 205 ticks, and over once a step saw an
  // order past 7.
  const int title = first_of(2), title_end = last_of(2);
  EXPECT_GE(frames[size_t(title_end)].ticks - frames[size_t(title - 1)].ticks, 128 + 128 + 204);
  EXPECT_GT(order_seen(title_end), 7u);
}

TEST_F(opening_fixture, FramesShowSomethingNewInEveryPart) {
  run();
  ASSERT_GT(first_of(3), 0);
  struct pick {
    int32_t state;
    int offset; // frames into the state
  };
  // The galaxy once its stars are in, the burn-in in its last phase, the
  // wall and the title a second in.
  for (const pick p : {pick{-1, 5 * FPS}, pick{0, 300}, pick{1, FPS}, pick{2, FPS}}) {
    SCOPED_TRACE(testing::Message() << "state " << p.state);
    const int at = first_of(p.state) + p.offset;
    ASSERT_LE(at, last_of(p.state));
    const show_frame& f = frames[size_t(at)];
    EXPECT_GT(f.lit, 0.9) << "not black";
    if (p.state >= 0) {
      const show_frame& before = frames[size_t(first_of(p.state) - 1)];
      EXPECT_NE(f.hash, before.hash) << "not the previous part's last frame";
    }
    // Each part moves (the burn-in in its first phases).
    const int early = first_of(p.state) + p.offset / 3;
    EXPECT_NE(frames[size_t(early)].hash, frames[size_t(early + 20)].hash);
  }
}

TEST_F(opening_fixture, SpaceSkipsEachOpeningPart) {
  const double keys[] = {3.0, 5.0, 7.0, 9.0};
  for (double k : keys)
    headless_add_key(k, VK_SPACE);
  run();
  const uint32_t orders[] = {4, 6, 7, 8};
  for (int32_t s = 0; s <= 3; s++) {
    SCOPED_TRACE(testing::Message() << "state " << s);
    const int first = first_of(s);
    ASSERT_GT(first, 0);
    EXPECT_NEAR(double(first) / FPS, keys[s], 0.05) << "the next part starts the frame after the key";
    EXPECT_EQ(frames[size_t(first)].info.order, orders[s]);
  }
  // A skipped-into section starts from its beginning: the wall and the title
  // draw over their background at once.
  EXPECT_GT(frames[size_t(first_of(1))].lit, 0.9);
  EXPECT_GT(frames[size_t(first_of(2))].lit, 0.9);
  EXPECT_NE(frames[size_t(first_of(2))].hash, frames[size_t(first_of(2) - 1)].hash);
}

TEST_F(opening_fixture, DemoRenderReportsTheOpening) {
  ASSERT_TRUE(copy_build_archive());
  const std::string cmd = testkit_bin_dir() + "/demo_render --key 40:escape --report r.json >/dev/null 2>&1";
  ASSERT_EQ(testkit_run(cmd), 0);
  const auto bytes = testkit_read_file("r.json");
  const nlohmann::json j = nlohmann::json::parse(std::string(bytes.begin(), bytes.end()));
  ASSERT_GE(j["states"].size(), 3u);
  EXPECT_EQ(j["states"][0]["state"], -1);
  EXPECT_EQ(j["states"][1]["state"], 0);
  EXPECT_EQ(j["states"][1]["begin"]["order"], 4);
  for (const auto& s : j["states"]) {
    EXPECT_GT(s["frames"].get<int>(), 0);
    EXPECT_GE(s["step_us"]["p95"].get<double>(), s["step_us"]["median"].get<double>());
  }
}
