// The opening of the show end to end: the galaxy and the intro's three
// sections in the sequencer, in time with the song, on the generated data.dat.
#include "headless.h"
#include "music.h"
#include "opening_fixtures.h"
#include "shell.h"
#include "testkit.h"
#include "vfs.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace {
constexpr int32_t FPS = 60;

void advance_clock(void*) {
  music_virtual_advance_to(music_virtual_frame_sample(uint64_t(headless_retraces()), FPS), nullptr);
}

// The build's data.dat, songs and all.
int write_opening_archive(const std::string& dir, std::string* error) {
  const std::vector<uint8_t> bytes = testkit_read_file(testkit_bin_dir() + "/data.dat");
  if (bytes.empty()) {
    *error = "no data.dat beside the programs";
    return 0;
  }
  testkit_write_file(dir + "/data.dat", bytes);
  return 1;
}

struct frame_record {
  shell_frame_info info;
  int32_t ticks; // the clock's tick count after the frame
  uint64_t hash; // of the presented picture
  double lit;    // share of pixels that are not black
};

struct opening_fixture : ::testing::Test {
  testkit_tempdir dir{true};
  std::vector<frame_record> frames;
  shell_result result{};
  // The run stops this many frames into the sequence zoomer.
  int32_t after_intro = 5;

  void SetUp() override {
    music_reset();
    headless_reset();
    pfs_device_reset();
    vfs_device_enable(&stdio_device, 0);
  }
  void TearDown() override {
    music_reset();
    headless_reset();
    pfs_device_reset();
  }

  static void observe(void* self, const shell_frame_info* info) {
    const pixmap* screen = headless_screen();
    static_cast<opening_fixture*>(self)->frames.push_back(
        {*info, music_clock_get()->tick_count, opening_picture_hash(screen), opening_lit_share(screen)});
  }
  static int stop(void* self) {
    const opening_fixture* f = static_cast<opening_fixture*>(self);
    if (headless_retraces() > int64_t(FPS) * 300)
      return 1;
    int32_t zoomer = 0;
    for (auto it = f->frames.rbegin(); it != f->frames.rend() && it->info.part_state >= 3; ++it)
      zoomer++;
    return zoomer >= f->after_intro;
  }

  void run() {
    std::string error;
    ASSERT_EQ(write_opening_archive(dir.path, &error), 1) << error;
    music_virtual_enable(1);
    headless_configure(FPS, advance_clock, nullptr);
    shell_config config{.driver = &headless_driver,
                        .frame_observer = observe,
                        .stop_requested = stop,
                        .context = this,
                        .result = &result};
    testing::internal::CaptureStdout();
    const int status = shell_run(&config);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(status, 0);
  }

  std::vector<int32_t> states() const {
    std::vector<int32_t> out;
    for (const frame_record& f : frames)
      if (out.empty() || out.back() != f.info.part_state)
        out.push_back(f.info.part_state);
    return out;
  }
  int first_of(int32_t state) const {
    for (size_t i = 0; i < frames.size(); i++)
      if (frames[i].info.part_state == state)
        return int(i);
    return -1;
  }
  int last_of(int32_t state) const {
    for (size_t i = frames.size(); i-- > 0;)
      if (frames[i].info.part_state == state)
        return int(i);
    return -1;
  }
  // The music order a step saw: the one after the previous frame's update.
  uint32_t order_seen(int frame) const { return frame > 0 ? frames[size_t(frame - 1)].info.order : 0; }
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
    const frame_record& f = frames[size_t(at)];
    EXPECT_GT(f.lit, 0.9) << "not black";
    if (p.state >= 0) {
      const frame_record& before = frames[size_t(first_of(p.state) - 1)];
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
  std::string error;
  ASSERT_EQ(write_opening_archive(dir.path, &error), 1) << error;
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
