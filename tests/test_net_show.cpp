// The magnet, the qube, the net and the hypervoxel in the sequencer, in time
// with the song, on the generated data.dat. Every part before them is
// skipped with Space on its second frame, the tunnel flight included, so the
// frame's depth flag stays set from the flight until the hypervoxel's first
// frame.
#include "show_run.h"

#include "pixmap.h"

namespace {
constexpr int32_t TUNNEL_STATE = 7;
constexpr int32_t MAGNET_STATE = 8;
constexpr int32_t QUBE_STATE = 9;
constexpr int32_t NET_STATE = 10;
constexpr int32_t HVOXEL_STATE = 11;
constexpr double TICKS_PER_FRAME = 1000.0 / 14.0 / show_run::FPS;

// States from the magnet on run to their cues; the run stops in the state
// after the hypervoxel.
struct net_show : show_walk {
  void run() {
    skip_to = MAGNET_STATE;
    last = HVOXEL_STATE;
    walk();
  }
};
} // namespace

TEST_F(net_show, FourScenesRunToTheirCues) {
  run();
  // The flight was left by Space, not by its cue.
  const int tunnel_last = last_of(TUNNEL_STATE);
  ASSERT_GT(tunnel_last, 0);
  ASSERT_EQ(skipped, TUNNEL_STATE);
  EXPECT_LT(frames[size_t(tunnel_last)].info.order, 22u);

  // The magnet: its countdown runs out after 512 ticks, the beats grow the
  // field until the net takes over and the cube has flown off; 2048 ticks
  // at the most.
  const int magnet_first = first_of(MAGNET_STATE), magnet_last = last_of(MAGNET_STATE);
  ASSERT_EQ(magnet_first, tunnel_last + 1);
  EXPECT_GT((magnet_last - magnet_first) * TICKS_PER_FRAME, 700);
  EXPECT_LE((magnet_last - magnet_first) * TICKS_PER_FRAME, 2048);
  // The qube: right after, until its first step that sees order 28.
  const int qube_first = first_of(QUBE_STATE), qube_last = last_of(QUBE_STATE);
  ASSERT_EQ(qube_first, magnet_last + 1);
  EXPECT_GE(order_seen(qube_last), 28u);
  EXPECT_LT(order_seen(qube_last - 1), 28u);
  for (int i = magnet_first; i <= qube_last; i++) {
    const show_frame& f = frames[size_t(i)];
    ASSERT_TRUE(f.info.frame_flags & PIXMAP_DEPTH) << "frame " << i;
    ASSERT_NE(f.hash, frames[size_t(i - 1)].hash) << "frame " << i << " moves";
    // The field, until it grows dark before the net takes over.
    if (i > magnet_first + FPS && i < magnet_first + 8 * FPS) {
      ASSERT_GT(f.lit, 0.5) << "frame " << i;
    }
  }
  // The net: until 512 ticks after its first step at order 29 (7.2 seconds).
  const int net_first = first_of(NET_STATE), net_last = last_of(NET_STATE);
  ASSERT_EQ(net_first, qube_last + 1);
  int stage = -1;
  for (int i = net_first; i <= net_last && stage < 0; i++)
    if (order_seen(i) >= 29)
      stage = i;
  ASSERT_GT(stage, net_first + FPS);
  EXPECT_NEAR(net_last - stage, 512 * 0.014 * FPS, 3);
  for (int i = net_first; i <= net_last; i++) {
    const show_frame& f = frames[size_t(i)];
    ASSERT_EQ(f.info.part_state, NET_STATE) << "one stretch";
    // Space left the flight without its toggle: depth stays on.
    ASSERT_TRUE(f.info.frame_flags & PIXMAP_DEPTH) << "frame " << i;
  }
  // Revealed row by row over the flight's last picture, then moving.
  for (int at : {net_first + 5 * FPS, stage - FPS, stage + FPS}) {
    SCOPED_TRACE(testing::Message() << "frame " << at);
    EXPECT_GT(frames[size_t(at)].lit, 0.95);
    EXPECT_NE(frames[size_t(at)].hash, frames[size_t(at - 1)].hash) << "moves";
  }

  // The hypervoxel: right after, until its first step that sees order 34.
  const int hv_first = first_of(HVOXEL_STATE), hv_last = last_of(HVOXEL_STATE);
  ASSERT_EQ(hv_first, net_last + 1);
  ASSERT_GT(hv_last, hv_first + 10 * FPS);
  EXPECT_GE(order_seen(hv_last), 34u);
  EXPECT_LT(order_seen(hv_last - 1), 34u);
  EXPECT_GT(frames[size_t(hv_last + 1)].info.part_state, HVOXEL_STATE);
  // It starts on the backdrop the net's last stage showed.
  EXPECT_EQ(frames[size_t(hv_first)].corner, frames[size_t(net_last)].corner);
  // The flag word: depth only from its first frame, nothing after its last.
  for (int i = hv_first; i < hv_last; i++)
    ASSERT_EQ(frames[size_t(i)].info.frame_flags, uint32_t(PIXMAP_DEPTH)) << "frame " << i;
  EXPECT_EQ(frames[size_t(hv_last)].info.frame_flags, 0u);
  EXPECT_EQ(frames[size_t(hv_last + 1)].info.frame_flags, 0u);
  for (int at : {hv_first + 2 * FPS, (hv_first + hv_last) / 2, hv_last - 5}) {
    SCOPED_TRACE(testing::Message() << "frame " << at);
    EXPECT_GT(frames[size_t(at)].lit, 0.95);
    EXPECT_NE(frames[size_t(at)].hash, frames[size_t(at - 1)].hash) << "moves";
  }
}
