// The show on the real data.dat: demo_render plays every effect on the
// composed songs, the galaxy, the credits, the mirror hall and the tunnel
// flight waiting for their orders, through to the end part.
#include "testkit.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>

namespace {
nlohmann::json read_json(const std::string& path) {
  const auto bytes = testkit_read_file(path);
  return nlohmann::json::parse(std::string(bytes.begin(), bytes.end()));
}
} // namespace

TEST(SoundtrackShow, TheShowRunsOnTheRealSongsThroughToTheEndPart) {
  testkit_tempdir dir(true);
  std::filesystem::create_symlink(std::filesystem::path(testkit_bin_dir()) / "data.dat", "data.dat");
  std::string err;
  ASSERT_EQ(testkit_run(testkit_bin_dir() + "/demo_render --report report.json 2>&1 >/dev/null", &err), 0) << err;
  const nlohmann::json j = read_json("report.json");
  EXPECT_EQ(j["exit_path"], "end");
  EXPECT_EQ(j["final_state"], 14);
  EXPECT_EQ(j["end_part_ran"], true);
  const auto& states = j["states"];
  ASSERT_EQ(states.size(), 17u);
  for (int32_t s = -1; s <= 14; s++)
    EXPECT_EQ(states[size_t(s + 1)]["state"], s);
  EXPECT_EQ(states[16]["state"], "end_part");
  // The galaxy holds until order 4 of the main song, the credits until order
  // 13, the mirror hall until order 17 and the tunnel flight until order 22.
  EXPECT_EQ(states[1]["begin"]["order"], 4);
  EXPECT_EQ(states[6]["end"]["order"], 13);
  EXPECT_EQ(states[8]["begin"]["order"], 17);
  EXPECT_EQ(states[9]["begin"]["order"], 22);
  const double galaxy = states[0]["end_seconds"].get<double>() - states[0]["begin_seconds"].get<double>();
  EXPECT_GT(galaxy, 20.0);
  EXPECT_LT(galaxy, 40.0);
  const double hall = states[7]["end_seconds"].get<double>() - states[7]["begin_seconds"].get<double>();
  EXPECT_GT(hall, 20.0) << "orders 13 to 16 play in the mirror hall";
  const double tunnel = states[8]["end_seconds"].get<double>() - states[8]["begin_seconds"].get<double>();
  EXPECT_GT(tunnel, 15.0) << "orders 17 to 21 play in the tunnel flight";
  // The end part starts its own song from the top.
  EXPECT_EQ(states[16]["begin"]["order"], 0);
  EXPECT_EQ(states[16]["begin"]["row"], 0);
}

TEST(SoundtrackShow, SpaceInTheGalaxyJumpsToTheIntrosSection) {
  testkit_tempdir dir(true);
  std::filesystem::create_symlink(std::filesystem::path(testkit_bin_dir()) / "data.dat", "data.dat");
  ASSERT_EQ(
      testkit_run(testkit_bin_dir() + "/demo_render --key 2.0:space --key 3.0:escape --report r.json 2>/dev/null"), 0);
  const nlohmann::json j = read_json("r.json");
  EXPECT_EQ(j["exit_path"], "escape");
  const auto& states = j["states"];
  ASSERT_GE(states.size(), 2u);
  EXPECT_NEAR(states[0]["end_seconds"].get<double>(), 2.0, 0.05);
  // The intro's burn-in runs for 384 frames, so the show stops in state 0 at
  // the escape, with the music playing on from order 4.
  EXPECT_EQ(states.back()["state"], 0);
  EXPECT_EQ(states.back()["end"]["order"], 4);
}
