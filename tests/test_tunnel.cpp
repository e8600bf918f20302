// The tunnel flight: its pace and fades in isolation, its init on the build's
// data and on broken data, and its frame step flown along the whole flight.
#include "mem.h"
#include "opening_fixtures.h"
#include "polygondrawer.h"
#include "testkit.h"
#include "tunnel.h"
#include "tunnel_parts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {

// A state with a bare scene record (only its time is used) and a frame.
struct flight_rules {
  opening_pixmap frame = opening_noise(320, 240, 5);
  render_scene* scene = render_scene_create();
  tunnel_state t{};
  flight_rules() {
    t.frame = frame.get();
    t.scene = scene;
    t.pace = 1.0f;
    t.fade_in = 1.0f;
    scene->time = TUNNEL_FLIGHT_START_TIME;
  }
  ~flight_rules() { render_scene_free(scene); }
};

std::vector<uint32_t> pixels_of(const pixmap* p) {
  return std::vector<uint32_t>(p->pixels, p->pixels + size_t(p->width) * size_t(p->height));
}

} // namespace

TEST(TunnelRules, PaceGrowsHalfAUnitATickUpToSeventyFive) {
  flight_rules r;
  double time = TUNNEL_FLIGHT_START_TIME;
  float pace = 1.0f;
  for (int tick = 0; tick < 300; tick++) {
    tunnel_advance(&r.t, 1.0f);
    time += pace; // the time moves on at the pace before it grows
    pace = std::min(pace + 0.5f, 75.0f);
    ASSERT_NEAR(r.scene->time, time, 1e-3 * time) << "tick " << tick;
    ASSERT_FLOAT_EQ(r.t.pace, pace) << "tick " << tick;
  }
  // Full pace after 148 ticks, and no further.
  EXPECT_FLOAT_EQ(r.t.pace, 75.0f);
  flight_rules slow;
  for (int tick = 0; tick < 147; tick++)
    tunnel_advance(&slow.t, 1.0f);
  EXPECT_LT(slow.t.pace, 75.0f);
  // Larger steps move time by pace x ticks.
  flight_rules big;
  tunnel_advance(&big.t, 4.0f);
  EXPECT_FLOAT_EQ(big.scene->time, TUNNEL_FLIGHT_START_TIME + 4.0f);
  EXPECT_FLOAT_EQ(big.t.pace, 3.0f);
}

TEST(TunnelRules, TheTintStartsFullAndClearsInAHundredTicks) {
  flight_rules r;
  tunnel_fades(&r.t, 1.0f, 17, 0);
  for (uint32_t p : pixels_of(r.frame.get()))
    ASSERT_EQ(opening_rgb(p), TUNNEL_FLIGHT_TINT);
  EXPECT_FLOAT_EQ(r.t.fade_in, 0.99f);
  // Half way the picture shows through half the tint.
  flight_rules half;
  half.t.fade_in = 0.5f;
  const std::vector<uint32_t> before = pixels_of(half.frame.get());
  tunnel_fades(&half.t, 1.0f, 17, 0);
  for (size_t i = 0; i < before.size(); i += 97)
    for (int k = 0; k < 3; k++) {
      const int want = int(opening_channel(before[i], k)) / 2 + int(opening_channel(TUNNEL_FLIGHT_TINT, k)) / 2;
      ASSERT_NEAR(int(opening_channel(half.frame->pixels[i], k)), want, 2) << "pixel " << i << " byte " << k;
    }
  // After 100 ticks and one more the tint pass no longer runs.
  flight_rules gone;
  for (int tick = 0; tick < 101; tick++)
    tunnel_fades(&gone.t, 1.0f, 17, 0);
  EXPECT_LE(gone.t.fade_in, 0.0f);
  opening_pixmap fresh = opening_noise(320, 240, 9);
  mem_copy(gone.frame->pixels, fresh->pixels, 320 * 240 * 4);
  const float left = gone.t.fade_in;
  tunnel_fades(&gone.t, 1.0f, 17, 0);
  EXPECT_EQ(pixels_of(gone.frame.get()), pixels_of(fresh.get()));
  EXPECT_EQ(gone.t.fade_in, left) << "no pass, no change";
}

TEST(TunnelRules, TheWhiteWashStartsAfterRowHundredOfOrderTwentyOne) {
  struct when {
    uint32_t order, row;
    bool white;
  };
  for (const when& w : {when{20, 127, false}, when{21, 100, false}, when{21, 101, true}, when{22, 101, true},
                        when{5, 120, false}, when{21, 0, false}, when{30, 101, true}}) {
    SCOPED_TRACE(testing::Message() << "order " << w.order << " row " << w.row);
    flight_rules r;
    r.t.fade_in = 0;
    r.t.fade_out = 0.5f;
    const std::vector<uint32_t> before = pixels_of(r.frame.get());
    tunnel_fades(&r.t, 2.0f, w.order, w.row);
    if (!w.white) {
      EXPECT_EQ(pixels_of(r.frame.get()), before);
      EXPECT_FLOAT_EQ(r.t.fade_out, 0.5f);
      continue;
    }
    EXPECT_FLOAT_EQ(r.t.fade_out, 0.52f);
    for (size_t i = 0; i < before.size(); i += 101)
      for (int k = 0; k < 3; k++)
        ASSERT_NEAR(int(opening_channel(r.frame->pixels[i], k)), int(opening_channel(before[i], k)) / 2 + 127, 2);
  }
  // At 0 the pass runs and changes nothing; the wash ends at full white.
  flight_rules r;
  r.t.fade_in = 0;
  const std::vector<uint32_t> before = pixels_of(r.frame.get());
  tunnel_fades(&r.t, 1.0f, 21, 101);
  EXPECT_EQ(pixels_of(r.frame.get()), before);
  EXPECT_FLOAT_EQ(r.t.fade_out, 0.01f);
  r.t.fade_out = 0.995f;
  tunnel_fades(&r.t, 1.0f, 21, 120);
  EXPECT_EQ(r.t.fade_out, 1.0f);
  tunnel_fades(&r.t, 1.0f, 21, 121);
  for (uint32_t p : pixels_of(r.frame.get()))
    ASSERT_EQ(opening_rgb(p), 0xFFFFFFu);
}

namespace {
struct flight_fixture : ::testing::Test {
  testkit_tempdir dir{true};
  music_clock clock{};
  opening_pixmap frame{pixmap_create(320, 240, PIXMAP_DEPTH | PIXMAP_CLEAR)};

  void SetUp() override { frame->flags ^= PIXMAP_DEPTH; }
  void TearDown() override { opening_release_archive(); }

  int init_with(const opening_files& files) {
    std::string error;
    if (!opening_use_archive(dir.path, files, &error)) {
      ADD_FAILURE() << error;
      return 0;
    }
    testing::internal::CaptureStdout();
    show_context show{.clock = &clock, .frame = frame.get()};
    const int ok = tunnel_init(&show);
    testing::internal::GetCapturedStdout();
    return ok;
  }
};

uint64_t hash_of(const pixmap* p) {
  uint64_t h = 1469598103934665603ull;
  for (int64_t i = 0; i < int64_t(p->width) * p->height; i++)
    h = (h ^ (p->pixels[i] & 0xFFFFFF)) * 1099511628211ull;
  return h;
}
} // namespace

TEST_F(flight_fixture, InitBuildsTheSceneWithItsCameraContextAndLight) {
  ASSERT_EQ(init_with(opening_build_files()), 1);
  const tunnel_state* t = tunnel_get_state();
  ASSERT_NE(t->scene, nullptr);
  EXPECT_EQ(t->scene->camera_count, 1);
  EXPECT_GE(t->scene->object_count, 1);
  for (int32_t i = 0; i < t->scene->material_count; i++) {
    ASSERT_NE(t->scene->materials[i]->pixmap, nullptr);
    EXPECT_TRUE(t->scene->materials[i]->flags & SCENE_MATERIAL_PICTURE);
  }
  EXPECT_EQ(t->scene->time, TUNNEL_FLIGHT_START_TIME);
  ASSERT_NE(t->context, nullptr);
  EXPECT_EQ(t->context->tag, 0);
  EXPECT_EQ(t->context->target, frame.get());
  EXPECT_EQ(t->context->focal, 256.0f);
  EXPECT_EQ(t->context->view_width, 320.0f);
  ASSERT_EQ(t->context->light_count, 1);
  EXPECT_EQ(t->context->lights[0]->type, 4);
  EXPECT_EQ(t->context->lights[0]->intensity, 255.0f);
  EXPECT_EQ(t->pace, 1.0f);
  EXPECT_EQ(t->fade_in, 1.0f);
  EXPECT_EQ(t->fade_out, 0.0f);
  EXPECT_EQ(frame->flags & PIXMAP_DEPTH, 0u) << "init leaves the frame alone";
}

TEST_F(flight_fixture, TheFirstFrameTurnsDepthOnAndSelectsThePerspectiveSet) {
  ASSERT_EQ(init_with(opening_build_files()), 1);
  select_polygondrawer(32);
  const polygondrawer* perspective = current_polygondrawer();
  select_polygondrawer(POLYGONDRAWER_SAFE);
  ASSERT_NE(current_polygondrawer(), perspective);
  opening_clock_set(&clock, 1.2f, 17, 0);
  EXPECT_EQ(tunnel_frame(), 0) << "the sequencer ends the state, not the frame step";
  EXPECT_EQ(current_polygondrawer(), perspective);
  EXPECT_TRUE(frame->flags & PIXMAP_DEPTH);
  // The first frame is all tint; time and pace have moved on.
  for (int64_t i = 0; i < 320 * 240; i++)
    ASSERT_EQ(opening_rgb(frame->pixels[i]), TUNNEL_FLIGHT_TINT);
  const tunnel_state* t = tunnel_get_state();
  EXPECT_FLOAT_EQ(t->scene->time, TUNNEL_FLIGHT_START_TIME + 1.2f);
  EXPECT_FLOAT_EQ(t->pace, 1.6f);
  // Depth stays on, and a second frame does not toggle it; leaving the
  // state by the music switches it off again.
  tunnel_frame();
  EXPECT_TRUE(frame->flags & PIXMAP_DEPTH);
  tunnel_leave();
  EXPECT_EQ(frame->flags & PIXMAP_DEPTH, 0u);
}

TEST_F(flight_fixture, TheTunnelFillsTheViewAlongTheWholeFlight) {
  ASSERT_EQ(init_with(opening_build_files()), 1);
  tunnel_state* t = tunnel_get_state();
  opening_clock_set(&clock, 0, 17, 0);
  t->fade_in = 0;
  std::set<uint64_t> seen;
  int frames = 0;
  // Beyond the song's end as well: the camera holds its last view.
  for (float time = TUNNEL_FLIGHT_START_TIME; time < 140000; time += 1300, frames++) {
    SCOPED_TRACE(testing::Message() << "scene time " << time);
    // The colour plane is never cleared: a pixel the scene misses would keep
    // what was there, so mark every pixel first. The depth plane is left
    // nearest of all: the frame step must reset it itself.
    mem_fill_words(frame->pixels, 0xA5000000u, 320 * 240);
    mem_fill_words(frame->depth, 0x80000000u, 320 * 240);
    t->scene->time = time;
    tunnel_frame();
    int64_t missed = 0;
    for (int64_t i = 0; i < 320 * 240; i++)
      missed += (frame->pixels[i] >> 24) == 0xA5;
    ASSERT_EQ(missed, 0);
    seen.insert(hash_of(frame.get()));
  }
  // The camera moves all the way: nearly every sampled view differs (the last
  // ones hold at the light).
  EXPECT_GT(int(seen.size()), frames * 3 / 4);
}

TEST_F(flight_fixture, ABadOrMissingSceneFailsTheInitCleanly) {
  const opening_files& good = opening_build_files();
  ASSERT_TRUE(good.count("3dscene/finaljpg.ase"));
  const std::vector<uint8_t>& scene = good.at("3dscene/finaljpg.ase");
  struct variant {
    const char* what;
    opening_files files;
  };
  std::vector<variant> variants;
  variants.push_back({"no scene", good});
  variants.back().files.erase("3dscene/finaljpg.ase");
  variants.push_back({"no texture", good});
  variants.back().files.erase("3dscene/hall.jpg");
  variants.push_back({"cut short", good});
  variants.back().files["3dscene/finaljpg.ase"].resize(scene.size() / 2);
  // Without its camera the flight has nothing to see by.
  variants.push_back({"no camera", good});
  {
    std::string text(scene.begin(), scene.end());
    const size_t at = text.find("*CAMERAOBJECT");
    ASSERT_NE(at, std::string::npos);
    text.resize(at);
    variants.back().files["3dscene/finaljpg.ase"] = std::vector<uint8_t>(text.begin(), text.end());
  }
  for (const variant& v : variants) {
    SCOPED_TRACE(v.what);
    EXPECT_EQ(init_with(v.files), 0);
    // A frame step after the failed init draws nothing and ends.
    const std::vector<uint32_t> before = pixels_of(frame.get());
    opening_clock_set(&clock, 1, 17, 0);
    EXPECT_EQ(tunnel_frame(), 0);
    EXPECT_EQ(pixels_of(frame.get()), before);
    opening_release_archive();
  }
  // And the good data initialises again afterwards.
  EXPECT_EQ(init_with(good), 1);
}

TEST_F(flight_fixture, AClockWithoutAUsableDeltaHoldsTheFlight) {
  ASSERT_EQ(init_with(opening_build_files()), 1);
  const tunnel_state* t = tunnel_get_state();
  for (float fd : {std::nanf(""), -3.0f, INFINITY}) {
    opening_clock_set(&clock, fd, 17, 0);
    const float time = t->scene->time, pace = t->pace, fade = t->fade_in;
    tunnel_frame();
    EXPECT_EQ(t->scene->time, time);
    EXPECT_EQ(t->pace, pace);
    EXPECT_EQ(t->fade_in, fade);
  }
}
