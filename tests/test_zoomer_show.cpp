// The sequence zoomer and the image cube end to end: reached by Space from
// the start of the show, each runs for as long as it should, ends on its cue
// and shows moving pictures of its own, on the build's data.dat.
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

struct frame_record {
  shell_frame_info info;
  int32_t ticks; // the clock's tick count after the frame
  uint64_t hash; // of the presented picture
  double lit;    // share of pixels that are not black
};

struct zoomer_show : ::testing::Test {
  testkit_tempdir dir{true};
  std::vector<frame_record> frames;
  shell_result result{};

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
    static_cast<zoomer_show*>(self)->frames.push_back(
        {*info, music_clock_get()->tick_count, opening_picture_hash(screen), opening_lit_share(screen)});
  }
  // Stops a few frames into the state after the cube.
  static int stop(void* self) {
    const zoomer_show* f = static_cast<zoomer_show*>(self);
    if (headless_retraces() > int64_t(FPS) * 200)
      return 1;
    int32_t after = 0;
    for (auto it = f->frames.rbegin(); it != f->frames.rend() && it->info.part_state >= 5; ++it)
      after++;
    return after >= 3;
  }

  void run() {
    const std::vector<uint8_t> bytes = testkit_read_file(testkit_bin_dir() + "/data.dat");
    ASSERT_FALSE(bytes.empty()) << "no data.dat beside the programs";
    testkit_write_file(dir.path + "/data.dat", bytes);
    // Space through the galaxy and the intro's three sections.
    for (double t : {1.0, 1.5, 2.0, 2.5})
      headless_add_key(t, VK_SPACE);
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
  uint32_t order_seen(int frame) const { return frame > 0 ? frames[size_t(frame - 1)].info.order : 0; }
};
} // namespace

TEST_F(zoomer_show, TheZoomerLasts500TicksAndTheCubeEndsOnOrderEleven) {
  run();
  const int zoom = first_of(3), zoom_end = last_of(3), cube = first_of(4), cube_end = last_of(4);
  ASSERT_GT(zoom, 2);
  ASSERT_EQ(cube, zoom_end + 1);
  ASSERT_GT(cube_end, cube);
  ASSERT_EQ(first_of(5), cube_end + 1);
  EXPECT_EQ(frames[size_t(zoom)].info.order, 8u) << "Space set the zoomer's order";
  // Each step uses the delta of the update before it: the steps up to the
  // last one saw the ticks from two frames before the first to two before
  // the last.
  const int32_t ticks = frames[size_t(zoom_end - 2)].ticks - frames[size_t(zoom - 2)].ticks;
  EXPECT_GE(ticks, 500);
  EXPECT_LE(ticks, 502);
  EXPECT_GE(order_seen(cube_end), 11u);
  EXPECT_LT(order_seen(cube_end - 1), 11u);
}

TEST_F(zoomer_show, BothScenesShowMovingPicturesOfTheirOwn) {
  run();
  const int zoom = first_of(3), cube = first_of(4);
  ASSERT_GT(zoom, 0);
  ASSERT_GT(cube, zoom);
  struct pick {
    int at;
    double lit;
  };
  // The fly-in, the plunge, the cube a second in.
  for (const pick p : {pick{zoom + FPS, 0.9}, pick{zoom + 5 * FPS, 0.9}, pick{cube + FPS, 0.5}}) {
    SCOPED_TRACE(p.at);
    ASSERT_LT(p.at + 20, int(frames.size()));
    const frame_record& f = frames[size_t(p.at)];
    EXPECT_GT(f.lit, p.lit) << "not black";
    EXPECT_NE(f.hash, frames[size_t(zoom - 1)].hash) << "not the intro's last frame";
    EXPECT_NE(f.hash, frames[size_t(p.at + 20)].hash) << "moving";
  }
  EXPECT_NE(frames[size_t(cube)].hash, frames[size_t(cube - 1)].hash) << "the cube's first frame is its own";
}

TEST_F(zoomer_show, DemoRenderReportsBothScenes) {
  const std::vector<uint8_t> bytes = testkit_read_file(testkit_bin_dir() + "/data.dat");
  ASSERT_FALSE(bytes.empty());
  testkit_write_file("data.dat", bytes);
  const std::string cmd = testkit_bin_dir() +
                          "/demo_render --key 1:space --key 1.5:space --key 2:space --key 2.5:space --seconds 14 "
                          "--report r.json >/dev/null 2>&1";
  ASSERT_EQ(testkit_run(cmd), 0);
  const auto report = testkit_read_file("r.json");
  const nlohmann::json j = nlohmann::json::parse(std::string(report.begin(), report.end()));
  bool zoomer = false, cube = false;
  for (const auto& s : j["states"]) {
    zoomer |= s["state"] == 3 && s["frames"].get<int>() > 400;
    cube |= s["state"] == 4 && s["frames"].get<int>() > 0;
  }
  EXPECT_TRUE(zoomer);
  EXPECT_TRUE(cube);
}
