// The show end to end on a small archive: start-up, the sequencer and its keys, the
// end part and shut-down, in-process on the headless driver and through
// demo_render.
#include "headless.h"
#include "music.h"
#include "render_report.h"
#include "shell.h"
#include "show_archive.h"
#include "testkit.h"
#include "vfs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

namespace {
constexpr int32_t FPS = 60;

void advance_clock(void*) {
  music_virtual_advance_to(music_virtual_frame_sample(uint64_t(headless_retraces()), FPS), nullptr);
}

struct message_record {
  std::string text, caption;
};
message_record last_box;
void record_box(const char* text, const char* caption) { last_box = {text, caption}; }

struct show_fixture : ::testing::Test {
  testkit_tempdir dir{true};
  std::vector<shell_frame_info> frames;
  shell_result result{};

  void SetUp() override {
    music_reset();
    headless_reset();
    pfs_device_reset();
    vfs_device_enable(&stdio_device, 0);
    last_box = {};
  }
  void TearDown() override {
    music_reset();
    headless_reset();
    pfs_device_reset();
  }

  // Whether any presented frame had its pixel (319, 239), or one beyond the
  // 320 x 240 corner, lit (the end part ends on black).
  bool corner_lit = false, beyond_lit = false;

  static void observe(void* self, const shell_frame_info* info) {
    show_fixture* f = static_cast<show_fixture*>(self);
    f->frames.push_back(*info);
    const pixmap* screen = headless_screen();
    if (screen && screen->width >= 640 && screen->height >= 480) {
      f->corner_lit = f->corner_lit || (screen->pixels[239 * screen->width + 319] & 0xFFFFFF);
      f->beyond_lit = f->beyond_lit || (screen->pixels[300 * screen->width + 400] & 0xFFFFFF);
    }
  }
  static int stop(void*) { return headless_retraces() > 60 * 120; }

  int run(const show_archive_options& options = {}) {
    std::string error;
    if (!show_archive_write(dir.path, options, &error))
      ADD_FAILURE() << error;
    music_virtual_enable(1);
    headless_configure(FPS, advance_clock, nullptr);
    shell_config config{.driver = &headless_driver,
                        .message_box = record_box,
                        .frame_observer = observe,
                        .stop_requested = stop,
                        .context = this,
                        .result = &result};
    return shell_run(&config);
  }

  // The sequence zoomer runs seven seconds whatever the song does, by which
  // time the test song is past the tunnel's order. A first run finds where
  // the zoomer starts; returns the time of a Space that skips it (the later
  // runs press it there), or a negative time when it never ran.
  double zoomer_skip_key() {
    if (run() != 0)
      return -1;
    const int zoomer = first_frame_of(3);
    SetUp();
    frames.clear();
    return zoomer < 0 ? -1 : double(zoomer + 5) / FPS;
  }

  // The states in the order they ran, consecutive repeats folded.
  std::vector<int32_t> state_sequence() const {
    std::vector<int32_t> out;
    for (const shell_frame_info& f : frames)
      if (out.empty() || out.back() != f.part_state)
        out.push_back(f.part_state);
    return out;
  }
  // Index of the first frame that ran the state, or -1.
  int first_frame_of(int32_t state) const {
    for (size_t i = 0; i < frames.size(); i++)
      if (frames[i].part_state == state)
        return int(i);
    return -1;
  }
};

std::string run_captured(show_fixture* f, int* status, const show_archive_options& options = {}) {
  testing::internal::CaptureStderr();
  *status = f->run(options);
  return testing::internal::GetCapturedStderr();
}
} // namespace

TEST_F(show_fixture, RunsEveryStateThenTheEndPartAndEndsWithStatusZero) {
  ASSERT_EQ(run(), 0);
  EXPECT_EQ(state_sequence(),
            (std::vector<int32_t>{-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, SHELL_END_PART}));
  EXPECT_EQ(result.final_state, 14);
  EXPECT_EQ(result.end_part_ran, 1);
  EXPECT_STREQ(result.exit_path, "end");
  // The galaxy ends on order 4 and the tunnel on order 22.
  const int intro = first_frame_of(0), magnet = first_frame_of(8);
  ASSERT_GT(intro, 0);
  EXPECT_LT(frames[size_t(intro - 1)].order, 4u + 1);
  EXPECT_GE(frames[size_t(intro - 1)].order, 4u);
  ASSERT_GT(magnet, 0);
  EXPECT_GE(frames[size_t(magnet - 1)].order, 22u);
  EXPECT_EQ(headless_presents(), int64_t(13 + frames.size())) << "thirteen progress steps, then one per frame";
  EXPECT_FALSE(headless_is_open()) << "the driver is closed at the end";
}

TEST_F(show_fixture, TheFrameFlagWordFollowsTheTunnelAndTheHypervoxel) {
  const double skip = zoomer_skip_key();
  ASSERT_GT(skip, 0);
  headless_add_key(skip, VK_SPACE);
  ASSERT_EQ(run(), 0);
  // The tunnel's first frame sets depth; leaving the tunnel on its order
  // toggles it off again in the state's last frame.
  // The hypervoxel sets the word to depth only and toggles depth off in its
  // last frame.
  const int tunnel = first_frame_of(7), magnet = first_frame_of(8), after_hypervoxel = first_frame_of(12);
  ASSERT_GT(magnet, tunnel + 1);
  ASSERT_GT(after_hypervoxel, first_frame_of(11) + 1);
  for (int i = 0; i < int(frames.size()); i++) {
    const shell_frame_info& f = frames[size_t(i)];
    uint32_t want = PIXMAP_CLEAR;
    if (f.part_state == 7 && i < magnet - 1)
      want = PIXMAP_CLEAR | PIXMAP_DEPTH;
    if (f.part_state >= 11)
      want = i < after_hypervoxel - 1 ? uint32_t(PIXMAP_DEPTH) : 0u;
    ASSERT_EQ(f.frame_flags, want) << "state " << f.part_state << ", frame " << i;
  }
}

TEST_F(show_fixture, SpaceInTheTunnelSkipsWithoutTheDepthToggle) {
  // A first run finds when the tunnel starts; the second presses Space in it.
  const double skip = zoomer_skip_key();
  ASSERT_GT(skip, 0);
  headless_add_key(skip, VK_SPACE);
  ASSERT_EQ(run(), 0);
  const int tunnel = first_frame_of(7);
  ASSERT_GT(tunnel, 0);
  const double key = double(tunnel + 10) / FPS;
  SetUp();
  frames.clear();
  headless_add_key(skip, VK_SPACE);
  headless_add_key(key, VK_SPACE);
  ASSERT_EQ(run(), 0);
  const int magnet = first_frame_of(8);
  ASSERT_GT(magnet, 0);
  EXPECT_LT(double(magnet) / FPS, key + 0.2) << "left the tunnel on the key, not on the music";
  EXPECT_EQ(frames[size_t(magnet)].order, 22u);
  // From the hypervoxel on the flags are those of a show without the skip.
  const int after_hypervoxel = first_frame_of(12);
  ASSERT_GT(after_hypervoxel, first_frame_of(11) + 1);
  for (int i = 0; i < int(frames.size()); i++) {
    const shell_frame_info& f = frames[size_t(i)];
    if (f.part_state >= 8 && f.part_state <= 10) {
      ASSERT_EQ(f.frame_flags, uint32_t(PIXMAP_CLEAR | PIXMAP_DEPTH)) << "state " << f.part_state;
    }
    if (f.part_state >= 11) {
      ASSERT_EQ(f.frame_flags, i < after_hypervoxel - 1 ? uint32_t(PIXMAP_DEPTH) : 0u) << "state " << f.part_state;
    }
  }
}

TEST_F(show_fixture, SpaceInTheGalaxySetsOrderFourAndStartsTheIntro) {
  headless_add_key(0.5, VK_SPACE);
  ASSERT_EQ(run(), 0);
  const int intro = first_frame_of(0);
  ASSERT_GT(intro, 0);
  EXPECT_LE(intro, 31) << "the intro starts the frame after the key";
  EXPECT_EQ(frames[size_t(intro)].order, 4u);
}

TEST_F(show_fixture, PauseFreezesTheGalaxyWhileTheMusicPlaysOn) {
  headless_add_key(0.3, 'P');
  headless_add_key(2.0, 'P');
  ASSERT_EQ(run(), 0);
  const int intro = first_frame_of(0);
  ASSERT_GT(intro, 0);
  EXPECT_GE(double(intro) / FPS, 2.0) << "the galaxy's order check runs only inside its step";
  EXPECT_GT(frames[size_t(intro)].order, 4u);
  int frozen = 0;
  for (const shell_frame_info& f : frames)
    frozen += !f.stepped;
  EXPECT_NEAR(frozen, 1.7 * FPS, 2);
}

TEST_F(show_fixture, PauseHoldsTheTunnelPastOrderTwentyTwo) {
  // A first run finds the tunnel and where the music ends it; the second
  // pauses inside it until a second after that. Both skip the zoomer.
  const double skip = zoomer_skip_key();
  ASSERT_GT(skip, 0);
  headless_add_key(skip, VK_SPACE);
  ASSERT_EQ(run(), 0);
  const int tunnel = first_frame_of(7), magnet = first_frame_of(8);
  ASSERT_GT(tunnel, 0);
  ASSERT_GT(magnet, tunnel + 20);
  const double pause = double(tunnel + 10) / FPS, resume = double(magnet) / FPS + 1.0;
  SetUp();
  frames.clear();
  headless_add_key(skip, VK_SPACE);
  headless_add_key(pause, 'P');
  headless_add_key(resume, 'P');
  ASSERT_EQ(run(), 0);
  const int left = first_frame_of(8);
  ASSERT_GT(left, 0);
  EXPECT_GE(double(left) / FPS, resume) << "the tunnel's order check runs only inside its step";
  EXPECT_GE(frames[size_t(left)].order, 22u);
}

TEST_F(show_fixture, SpaceInEveryStateSetsItsSkipOrder) {
  // Paused, no step runs: each Space moves one state on and sets its order.
  const uint32_t skip_orders[15] = {4, 6, 7, 8, 9, 11, 13, 17, 22, 25, 28, 30, 34, 36, 24};
  headless_add_key(0.05, 'P');
  for (int i = 0; i < 16; i++)
    headless_add_key(0.2 + 0.1 * i, VK_SPACE); // the sixteenth, in state 14, is ignored
  headless_add_key(2.0, 'P');
  ASSERT_EQ(run(), 0);
  for (int32_t s = 0; s <= 14; s++) {
    const int first = first_frame_of(s);
    ASSERT_GT(first, 0) << s;
    // The order set by the Space that left state s - 1 is in place once a
    // tick has passed.
    EXPECT_EQ(frames[size_t(first + 1)].order, skip_orders[s]) << "state " << s;
  }
  EXPECT_EQ(result.final_state, 14);
  EXPECT_EQ(result.end_part_ran, 1);
}

TEST_F(show_fixture, EscapeEndsTheShowWithoutTheEndPart) {
  headless_add_key(2.0, VK_ESCAPE);
  ASSERT_EQ(run(), 0);
  EXPECT_EQ(result.end_part_ran, 0);
  EXPECT_STREQ(result.exit_path, "escape");
  EXPECT_EQ(first_frame_of(SHELL_END_PART), -1);
  EXPECT_NEAR(double(frames.size()) / FPS, 2.0, 0.05);
}

TEST_F(show_fixture, ASecondDisplaySizeIsTriedWhenTheFirstFails) {
  headless_refuse_size(320, 240);
  ASSERT_EQ(run(), 0);
  ASSERT_NE(headless_screen(), nullptr);
  EXPECT_EQ(headless_screen()->width, 640);
  EXPECT_TRUE(corner_lit) << "the frame is presented at (0, 0)";
  EXPECT_FALSE(beyond_lit) << "only the 320x240 corner is drawn";
}

TEST_F(show_fixture, BothDisplaySizesFailing) {
  headless_refuse_size(320, 240);
  headless_refuse_size(640, 480);
  int status = 0;
  const std::string err = run_captured(this, &status);
  EXPECT_EQ(status, 1);
  EXPECT_NE(err.find("Unable to open graphics mode!"), std::string::npos) << err;
  EXPECT_EQ(last_box.caption, "Error");
}

TEST_F(show_fixture, StartUpFailuresEndWithTheirMessages) {
  struct failure {
    const char* what;
    show_archive_options options;
    const char* message;
  };
  const failure cases[] = {
      {"missing song", {true, true, false, true}, "IO fetch!"},
      {"missing loading picture", {false, true, true, true}, "Unable to load startpic!\n"},
  };
  for (const failure& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    int status = 0;
    const std::string err = run_captured(this, &status, c.options);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(last_box.text, c.message);
    EXPECT_EQ(last_box.caption, "Error");
    EXPECT_NE(err.find(c.message), std::string::npos) << err;
    EXPECT_NE(err.find("0,stdio_device\n1,pfs_device\n"), std::string::npos) << err;
    EXPECT_STREQ(result.exit_path, "fatal");
  }
}

TEST_F(show_fixture, MissingArchiveAndMissingDeviceAreFatal) {
  music_virtual_enable(1);
  headless_configure(FPS, advance_clock, nullptr);
  shell_config config{.driver = &headless_driver, .message_box = record_box, .result = &result};
  testing::internal::CaptureStderr();
  EXPECT_EQ(shell_run(&config), 1);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(last_box.text, "Unable to init virtual filesystem\n");

  SetUp();
  const char* saved = pfs_device.name;
  pfs_device.name = "elsewhere_device";
  testing::internal::CaptureStderr();
  EXPECT_EQ(shell_run(&config), 1);
  const std::string err = testing::internal::GetCapturedStderr();
  pfs_device.name = saved;
  EXPECT_EQ(last_box.text, "Unable to locate virtual filesystem device!\n");
  EXPECT_FALSE(headless_is_open()) << "nothing was opened";
}

TEST_F(show_fixture, HiddenModeBouncesTheSpriteOverEveryFrame) {
  testkit_write_text("readme.txt", "brickmoon\n");
  ASSERT_EQ(run(), 0);
  // The sprite's opaque colour shows somewhere in the last presented frame.
  const pixmap* screen = headless_screen();
  ASSERT_NE(screen, nullptr);
  int found = 0;
  for (int i = 0; i < screen->width * screen->height; i++)
    found += (screen->pixels[i] & 0xFFFFFF) == 0x40C0F0;
  EXPECT_GT(found, 100);
}

TEST_F(show_fixture, WithoutTheReadmeThereIsNoSprite) {
  ASSERT_EQ(run(), 0);
  const pixmap* screen = headless_screen();
  int found = 0;
  for (int i = 0; i < screen->width * screen->height; i++)
    found += (screen->pixels[i] & 0xFFFFFF) == 0x40C0F0;
  EXPECT_EQ(found, 0);
}

// ---- demo_render ----

namespace {
int demo_render(const std::string& args, std::string* err = nullptr) {
  const std::string cmd = testkit_bin_dir() + "/demo_render " + args + (err ? " 2>&1 >/dev/null" : " 2>/dev/null");
  return testkit_run(cmd, err);
}

nlohmann::json read_json(const std::string& path) {
  const auto bytes = testkit_read_file(path);
  return nlohmann::json::parse(std::string(bytes.begin(), bytes.end()));
}

// The report without its wall-clock fields.
nlohmann::json without_timing(nlohmann::json j) {
  j.erase("wall_seconds");
  j.erase("startup_seconds");
  j.erase("loop_overhead_us");
  j.erase("audio_us");
  for (auto& s : j["states"])
    s.erase("step_us");
  return j;
}

struct render_fixture : ::testing::Test {
  testkit_tempdir dir{true};
  void SetUp() override {
    std::string error;
    ASSERT_EQ(show_archive_write(dir.path, {}, &error), 1) << error;
  }
};
} // namespace

TEST_F(render_fixture, PlaysTheShowToTheEndPartAndReports) {
  ASSERT_EQ(demo_render("--report report.json --wav show.wav"), 0);
  const auto j = read_json("report.json");
  EXPECT_EQ(j["end_part_ran"], true);
  EXPECT_EQ(j["final_state"], 14);
  EXPECT_EQ(j["exit_path"], "end");
  EXPECT_EQ(j["exit_status"], 0);
  ASSERT_GE(j["states"].size(), 17u);
  EXPECT_EQ(j["states"][0]["state"], -1);
  EXPECT_GE(j["states"][1]["begin"]["order"].get<int>(), 4);
  EXPECT_EQ(j["states"].back()["state"], "end_part");
  // The start-up is part of the run, and takes more than its first frame.
  EXPECT_GT(j["startup_seconds"].get<double>(), j["states"][0]["step_us"]["max"].get<double>() / 1e6);
  EXPECT_LT(j["startup_seconds"].get<double>(), j["wall_seconds"].get<double>());
  for (const auto& s : j["states"]) {
    EXPECT_GE(s["step_us"]["p95"].get<double>(), s["step_us"]["median"].get<double>());
    EXPECT_GE(s["step_us"]["max"].get<double>(), s["step_us"]["p95"].get<double>());
  }
  // The audio covers the simulated time: 44,100 stereo frames a second.
  const double seconds = j["simulated_seconds"].get<double>();
  const auto wav = std::filesystem::file_size("show.wav");
  EXPECT_NEAR(double(wav - 44) / 4.0 / 44100.0, seconds, 0.05);
}

TEST_F(render_fixture, TwoRunsWithTheSameSeedAreIdentical) {
  ASSERT_EQ(demo_render("--report a.json --png-dir a --png-every 17 --seed 5"), 0);
  ASSERT_EQ(demo_render("--report b.json --png-dir b --png-every 17 --seed 5"), 0);
  EXPECT_EQ(without_timing(read_json("a.json")), without_timing(read_json("b.json")));
  int compared = 0;
  for (const auto& e : std::filesystem::directory_iterator("a")) {
    const auto other = std::filesystem::path("b") / e.path().filename();
    ASSERT_TRUE(std::filesystem::exists(other)) << other;
    EXPECT_EQ(testkit_read_file(e.path()), testkit_read_file(other)) << e.path();
    compared++;
  }
  EXPECT_GT(compared, 10);
}

TEST_F(render_fixture, FrameAndTimeLimitsAreANormalEnd) {
  ASSERT_EQ(demo_render("--frames 30 --report f.json"), 0);
  auto j = read_json("f.json");
  EXPECT_EQ(j["frames"], 30);
  EXPECT_EQ(j["exit_path"], "limit");
  EXPECT_EQ(j["end_part_ran"], false);
  ASSERT_EQ(demo_render("--seconds 1.5 --fps 30 --report s.json"), 0);
  j = read_json("s.json");
  EXPECT_EQ(j["frames"], 45);
}

TEST_F(render_fixture, ScriptedEscapeAndBadArguments) {
  ASSERT_EQ(demo_render("--key 1.0:escape --report e.json"), 0);
  EXPECT_EQ(read_json("e.json")["exit_path"], "escape");
  for (const char* bad : {"--key nonsense", "--key 1:f1", "--key -1:space", "--fps 0", "--frobnicate"}) {
    std::string err;
    EXPECT_NE(demo_render(bad, &err), 0) << bad;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << bad << ": " << err;
  }
}

TEST_F(render_fixture, NoArchiveIsAFatalErrorWithStatusOne) {
  std::filesystem::remove("data.dat");
  std::string err;
  EXPECT_EQ(demo_render("", &err), 1);
  EXPECT_NE(err.find("Unable to init virtual filesystem"), std::string::npos) << err;
}

// A state begins where the frame before it left the clock, not one frame
// later; the end part begins at the top of its own song.
TEST(RenderReport, StatesBeginWhereThePreviousFrameLeftTheClock) {
  render_report report;
  render_report_begin(&report, 60);
  const shell_frame_info frames[] = {
      {-1, 1, 10.0, 3, 60, 0}, {-1, 1, 10.0, 4, 0, 0}, {0, 1, 20.0, 4, 2, 0},
      {0, 1, 20.0, 4, 5, 0},   {1, 0, 0.0, 4, 5, 0},   {SHELL_END_PART, 1, 5.0, 0, 1, 0},
  };
  for (const shell_frame_info& f : frames)
    render_report_frame(&report, &f);
  ASSERT_EQ(report.spans.size(), 4u);
  EXPECT_EQ(report.spans[0].begin_order, 0u);
  EXPECT_EQ(report.spans[0].begin_row, 0u);
  EXPECT_EQ(report.spans[1].begin_order, 4u);
  EXPECT_EQ(report.spans[1].begin_row, 0u); // not row 2, where its first frame ended
  EXPECT_EQ(report.spans[1].end_row, 5u);
  EXPECT_EQ(report.spans[2].begin_row, 5u);
  EXPECT_TRUE(report.spans[2].step_us.empty()); // paused: no step ran
  EXPECT_EQ(report.spans[3].begin_order, 0u);
  EXPECT_EQ(report.spans[3].begin_row, 0u);
  EXPECT_EQ(report.spans[3].end_row, 1u);
}
