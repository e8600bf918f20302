// The diffuse cube and the light object in the sequencer, in time with the
// song, on the generated data.dat: the parts before them are skipped with
// Space, then both run to their cues.
#include "display.h"
#include "headless.h"
#include "music.h"
#include "opening_fixtures.h"
#include "shell.h"
#include "testkit.h"
#include "vfs.h"

#include <gtest/gtest.h>

namespace {
constexpr int32_t FPS = 60;
constexpr int32_t DCUBE_STATE = 12;
constexpr int32_t LOBJ_STATE = 13;

void advance_clock(void*) {
  music_virtual_advance_to(music_virtual_frame_sample(uint64_t(headless_retraces()), FPS), nullptr);
}

struct frame_record {
  shell_frame_info info;
  uint64_t hash; // of the presented picture
  double lit;    // share of pixels that are not black
};

// One run of the show from the start to the end part. Every part before the
// diffuse cube that lasts more than a frame is skipped with Space.
struct diffuse_show : ::testing::Test {
  testkit_tempdir dir{true};
  std::vector<frame_record> frames;
  shell_result result{};
  int32_t skipped = -2; // the last state Space was pressed in

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
    diffuse_show* f = static_cast<diffuse_show*>(self);
    const pixmap* screen = headless_screen();
    const int32_t s = info->part_state;
    if (s < DCUBE_STATE && s != f->skipped && !f->frames.empty() && f->frames.back().info.part_state == s) {
      headless_add_key(double(headless_retraces()) / FPS, VK_SPACE);
      f->skipped = s;
    }
    f->frames.push_back({*info, opening_picture_hash(screen), opening_lit_share(screen)});
  }
  static int stop(void* self) {
    const diffuse_show* f = static_cast<diffuse_show*>(self);
    return headless_retraces() > int64_t(FPS) * 400 || f->frames.back().info.part_state > LOBJ_STATE;
  }

  void run() {
    const std::vector<uint8_t> bytes = testkit_read_file(testkit_bin_dir() + "/data.dat");
    ASSERT_FALSE(bytes.empty()) << "no data.dat beside the programs";
    testkit_write_file(dir.path + "/data.dat", bytes);
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
  // The music order a step saw: the one after the previous frame's update.
  uint32_t order_seen(int frame) const { return frame > 0 ? frames[size_t(frame - 1)].info.order : 0; }
};
} // namespace

// One run of the show (a long one): both parts are checked on it.
TEST_F(diffuse_show, BothPartsRunToTheirCues) {
  run();
  {
    const int first = first_of(DCUBE_STATE), last = last_of(DCUBE_STATE);
    ASSERT_GT(first, 0);
    ASSERT_GT(last, first + FPS) << "it runs for a while";
    for (int i = first; i <= last; i++)
      ASSERT_EQ(frames[size_t(i)].info.part_state, DCUBE_STATE) << "one stretch";
    // Left after the first step that saw order 37.
    EXPECT_GE(order_seen(last), 37u);
    EXPECT_LT(order_seen(last - 1), 37u);
    EXPECT_EQ(frames[size_t(last + 1)].info.part_state, LOBJ_STATE);

    // Frames over the background, moving, and not the previous part's.
    const frame_record& before = frames[size_t(first - 1)];
    for (int at : {first + FPS, (first + last) / 2, last - 5}) {
      SCOPED_TRACE(testing::Message() << "frame " << at);
      const frame_record& f = frames[size_t(at)];
      EXPECT_GT(f.lit, 0.9) << "not black";
      EXPECT_NE(f.hash, before.hash);
      EXPECT_NE(f.hash, frames[size_t(at - 10)].hash) << "moves";
    }
  }
  // The light object: from the diffuse cube's end to order 40.
  {
    const int first = first_of(LOBJ_STATE), last = last_of(LOBJ_STATE);
    ASSERT_GT(first, 0);
    ASSERT_GT(last, first + FPS);
    EXPECT_EQ(frames[size_t(first - 1)].info.part_state, DCUBE_STATE) << "right after the diffuse cube";
    EXPECT_GE(order_seen(last), 40u);
    EXPECT_LT(order_seen(last - 1), 40u);
    EXPECT_GT(frames[size_t(last + 1)].info.part_state, LOBJ_STATE);

    const frame_record& before = frames[size_t(first - 1)];
    for (int at : {first + FPS, first + 3 * FPS}) {
      SCOPED_TRACE(testing::Message() << "frame " << at);
      EXPECT_GT(frames[size_t(at)].lit, 0.9) << "not black";
      EXPECT_NE(frames[size_t(at)].hash, before.hash);
      EXPECT_NE(frames[size_t(at)].hash, frames[size_t(at - 10)].hash) << "moves";
    }
    // Order 39 lasts well over the 100 ticks of the fade: it ends black.
    EXPECT_LT(frames[size_t(last)].lit, 0.01);
  }
}
