// The diffuse cube and the light object in the sequencer, in time with the
// song, on the generated data.dat: the parts before them are skipped with
// Space, then both run to their cues.
#include "show_run.h"

namespace {
constexpr int32_t DCUBE_STATE = 12;
constexpr int32_t LOBJ_STATE = 13;

// One run of the show from the start to the end part. Every part before the
// diffuse cube that lasts more than a frame is skipped with Space.
struct diffuse_show : show_walk {
  void run() {
    skip_to = DCUBE_STATE;
    last = LOBJ_STATE;
    seconds = 400;
    walk();
  }
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
    const show_frame& before = frames[size_t(first - 1)];
    for (int at : {first + FPS, (first + last) / 2, last - 5}) {
      SCOPED_TRACE(testing::Message() << "frame " << at);
      const show_frame& f = frames[size_t(at)];
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

    const show_frame& before = frames[size_t(first - 1)];
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
