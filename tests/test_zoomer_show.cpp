// The sequence zoomer and the image cube end to end: reached by Space from
// the start of the show, each runs for as long as it should, ends on its cue
// and shows moving pictures of its own, on the build's data.dat.
#include "show_run.h"

#include <nlohmann/json.hpp>

namespace {
constexpr int32_t ZOOMER_STATE = 3;
constexpr int32_t ICUBE_STATE = 4;

// Space through the galaxy and the intro's three sections; the run stops a
// few frames into the state after the cube.
struct zoomer_show : show_walk {
  void run() {
    skip_to = ZOOMER_STATE;
    last = ICUBE_STATE;
    frames_after = 3;
    seconds = 200;
    walk();
  }
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
    const show_frame& f = frames[size_t(p.at)];
    EXPECT_GT(f.lit, p.lit) << "not black";
    EXPECT_NE(f.hash, frames[size_t(zoom - 1)].hash) << "not the intro's last frame";
    EXPECT_NE(f.hash, frames[size_t(p.at + 20)].hash) << "moving";
  }
  EXPECT_NE(frames[size_t(cube)].hash, frames[size_t(cube - 1)].hash) << "the cube's first frame is its own";
}

TEST_F(zoomer_show, DemoRenderReportsBothScenes) {
  ASSERT_TRUE(copy_build_archive());
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
