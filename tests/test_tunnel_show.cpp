// The tunnel flight in the show, on the generated data.dat: Space skips the
// opening, the parts before the flight run (the mirror hall until order 17),
// and the flight then runs until the song reaches order 22. Its length comes
// from the song, so the checks follow the song's position, not the clock.
#include "show_run.h"

#include <nlohmann/json.hpp>

namespace {
constexpr int32_t ZOOMER_STATE = 3;
constexpr int32_t TUNNEL_STATE = 7;

// Space through the galaxy and the intro's sections; the parts from the
// zoomer on run to their cues, and the run stops at the first frame after
// the flight.
struct tunnel_show : show_walk {
  void run() {
    skip_to = ZOOMER_STATE;
    last = TUNNEL_STATE;
    seconds = 200;
    walk();
  }
};
} // namespace

TEST_F(tunnel_show, TheFlightRunsUntilOrderTwentyTwoAndEndsInWhite) {
  run();

  const int first = first_of(TUNNEL_STATE), after = first_of(TUNNEL_STATE + 1);
  ASSERT_GT(first, 0);
  ASSERT_GT(after, first + 100);
  // Entered after the opening, left on the music: the last step saw order 22
  // (the position after the frame before) for the first time.
  EXPECT_LT(frames[size_t(after - 3)].info.order, 22u);
  EXPECT_GE(frames[size_t(after - 2)].info.order, 22u);

  // The first frame is the purple tint, different from what came before.
  EXPECT_EQ(frames[size_t(first)].first, 0x941040u);
  EXPECT_NE(frames[size_t(first)].hash, frames[size_t(first - 1)].hash);
  // The flight starts where the mirror hall ends.
  EXPECT_GE(frames[size_t(first - 1)].info.order, 17u);
  EXPECT_LT(frames[size_t(first - 1)].info.order, 18u);
  // Once the tint has cleared: lit frames; until the wash they change every
  // frame (the pace never drops).
  int same = 0, counted = 0;
  for (int i = first + 130; i < after; i++) {
    const show_frame& f = frames[size_t(i)];
    ASSERT_GT(f.lit, 0.99) << "frame " << i;
    // The sequencer turns depth off again in the step that leaves the state.
    ASSERT_EQ(bool(f.info.frame_flags & PIXMAP_DEPTH), i < after - 1) << "frame " << i;
    if (frames[size_t(i - 1)].info.order < 21) {
      same += f.hash == frames[size_t(i - 1)].hash;
      counted++;
    }
  }
  EXPECT_LT(same, counted / 20);
  // From the step that sees row 101 of order 21 the picture washes out to
  // white; no step before it is washed.
  int wash = -1;
  for (int i = first + 1; i < after && wash < 0; i++)
    if (frames[size_t(i - 1)].info.order == 21 && frames[size_t(i - 1)].info.row > 100)
      wash = i;
  ASSERT_GT(wash, first + 130);
  for (int i = first + 130; i < wash; i++)
    ASSERT_LT(frames[size_t(i)].brightness, 200.0) << "no wash before row 101, frame " << i;
  EXPECT_NEAR(frames[size_t(wash)].brightness, frames[size_t(wash - 1)].brightness, 8.0) << "the wash starts at 0";
  EXPECT_GT(frames[size_t(wash + 30)].brightness, frames[size_t(wash)].brightness);
  // White by the time the song reaches order 22. (The step that sees order
  // 22 sees row 0 there, so it draws the scene without the wash.)
  EXPECT_GT(frames[size_t(after - 2)].brightness, 254.5);
}

TEST_F(tunnel_show, DemoRenderReportsTheFlight) {
  ASSERT_TRUE(copy_build_archive());
  const std::string cmd = testkit_bin_dir() + "/demo_render --key 1:space 2:space 3:space 4:space 5:space 6:space "
                                              "7:space 8:space --time-limit 15 --report r.json "
                                              ">/dev/null 2>&1";
  ASSERT_EQ(testkit_run(cmd), 0);
  const auto bytes = testkit_read_file("r.json");
  const nlohmann::json j = nlohmann::json::parse(std::string(bytes.begin(), bytes.end()));
  bool found = false;
  for (const auto& s : j["states"]) {
    if (s["state"] != TUNNEL_STATE)
      continue;
    found = true;
    EXPECT_GT(s["frames"].get<int>(), 300);
    EXPECT_GE(s["step_us"]["p95"].get<double>(), s["step_us"]["median"].get<double>());
    // The flight's first frame turns depth on; the run ends inside the flight.
    EXPECT_EQ(s["begin"]["frame_flags"].get<uint32_t>() & PIXMAP_DEPTH, 0u);
    EXPECT_EQ(s["end"]["frame_flags"].get<uint32_t>() & PIXMAP_DEPTH, uint32_t(PIXMAP_DEPTH));
  }
  EXPECT_TRUE(found);
}
