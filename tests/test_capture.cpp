// demo_render --video: where the scaled frame goes in the video, the progress
// line, short captures into both containers checked with ffprobe and against
// the frames and audio demo_render writes itself, and every way a capture
// fails, none of which may leave a file behind.
#include "render_progress.h"
#include "render_video_plan.h"
#include "show_archive.h"
#include "testkit.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <set>

namespace fs = std::filesystem;

namespace {
render_video_plan plan_for(const std::string& path, const std::string& size, int32_t scale) {
  render_video_plan p{};
  std::string error;
  EXPECT_EQ(render_video_plan_make(path, size, scale, 60, 320, 240, &p, &error), 1)
      << path << " " << size << ": " << error;
  return p;
}

void expect_place(const render_video_plan& p, int32_t scale, int32_t w, int32_t h, int32_t x, int32_t y) {
  EXPECT_EQ(p.scale, scale);
  EXPECT_EQ(p.width, w);
  EXPECT_EQ(p.height, h);
  EXPECT_EQ(p.x, x);
  EXPECT_EQ(p.y, y);
}
} // namespace

TEST(RenderVideoPlan, TheLargestWholeScaleThatFitsCentredOnBlack) {
  expect_place(plan_for("show.mp4", "", 0), 4, 1920, 1080, 320, 60);
  EXPECT_EQ(plan_for("show.mp4", "", 0).container, RENDER_VIDEO_MP4);
  EXPECT_EQ(plan_for("a/b.c/SHOW.MKV", "", 0).container, RENDER_VIDEO_MKV);
  expect_place(plan_for("show.mp4", "1280x1024", 0), 4, 1280, 1024, 0, 32);
  expect_place(plan_for("show.mp4", "", 2), 2, 1920, 1080, 640, 300);
  expect_place(plan_for("show.mp4", "native", 0), 4, 1280, 960, 0, 0);
  expect_place(plan_for("show.mkv", "native", 1), 1, 320, 240, 0, 0);
  expect_place(plan_for("show.mkv", "native", 3), 3, 960, 720, 0, 0);
  // H.264's chroma comes in 2x2 blocks: the frame starts on one. FFV1 keeps
  // every pixel and centres exactly.
  expect_place(plan_for("show.mp4", "1002x700", 0), 2, 1002, 700, 180, 110);
  expect_place(plan_for("show.mkv", "1002x701", 0), 2, 1002, 701, 181, 110);
}

TEST(RenderVideoPlan, RefusesWhatCannotBeMadeWithOneLine) {
  const struct {
    const char* path;
    const char* size;
    int32_t scale;
    const char* says;
  } bad[] = {
      {"show.avi", "", 0, "unknown kind"},
      {"show", "", 0, "unknown kind"},
      {"show.mp4/file", "", 0, "unknown kind"},
      {"show.mp4", "1920", 0, "--size"},
      {"show.mp4", "0x100", 0, "--size"},
      {"show.mp4", "9000x1000", 0, "--size"},
      {"show.mp4", "1920x-2", 0, "--size"},
      {"show.mp4", "200x100", 0, "smaller than the 320x240 frame"},
      {"show.mp4", "", 5, "1600x1200, larger than the video's 1920x1080"},
      {"show.mp4", "1001x700", 0, "even"},
      {"show.mkv", "native", 30, "larger than 8192"},
  };
  for (const auto& b : bad) {
    render_video_plan p{};
    std::string error;
    EXPECT_EQ(render_video_plan_make(b.path, b.size, b.scale, 60, 320, 240, &p, &error), 0) << b.path << " " << b.size;
    EXPECT_NE(error.find(b.says), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
}

TEST(RenderProgress, BarFramesSecondsSpeedAndTimeLeft) {
  // Half of 300 frames at 60 fps in 1.25 s: 2.5 s of show, twice real time,
  // and the other 2.5 s of show take 1.25 s more.
  EXPECT_EQ(render_progress_line(150, 300, 0, 60, 1.25),
            "[############------------] 150/300 frames  2.5 s  2.00x real time  0:01 left");
  EXPECT_EQ(render_progress_line(60, 360000, 1, 60, 4.0),
            "[------------------------] 60/~360000 frames  1.0 s  0.25x real time  6:39:56 left");
  // No total, or an estimate already passed: no bar and no time left.
  EXPECT_EQ(render_progress_line(90, 0, 0, 30, 1.5), "90 frames  3.0 s  2.00x real time");
  EXPECT_EQ(render_progress_line(400, 300, 1, 60, 1.0), "400 frames  6.7 s  6.67x real time");
}

// ---- demo_render --video ----

namespace {
struct run_result {
  int status;
  std::string err;
};

run_result demo_render(const std::string& args, const std::string& env = "") {
  run_result r;
  r.status = testkit_run(env + " " + testkit_bin_dir() + "/demo_render " + args + " 2>&1 >/dev/null", &r.err);
  return r;
}

nlohmann::json probe(const std::string& file, const std::string& entries) {
  std::string out;
  EXPECT_EQ(testkit_run("ffprobe -v error -count_frames -show_entries " + entries + " -of json " + file, &out), 0);
  return nlohmann::json::parse(out.empty() ? "{}" : out);
}

// A stream of the file decoded by ffmpeg to raw bytes (rgb24 pictures, or
// 16-bit stereo samples), e.g. "-map 0:a -f s16le".
std::vector<uint8_t> decode(const std::string& input, const std::string& output_args) {
  const std::string out = "decoded.raw";
  EXPECT_EQ(testkit_run("ffmpeg -v error -y " + input + " " + output_args + " " + out), 0) << input;
  std::vector<uint8_t> bytes = testkit_read_file(out);
  fs::remove(out);
  return bytes;
}

std::vector<uint8_t> picture(const std::string& png) { return decode("-i " + png, "-f rawvideo -pix_fmt rgb24"); }

std::vector<uint8_t> video_frame(const std::string& video, int n) {
  return decode("-i " + video, "-vf 'select=eq(n\\," + std::to_string(n) + ")' -frames:v 1 -f rawvideo -pix_fmt rgb24");
}

std::set<std::string> folder() {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator("."))
    names.insert(e.path().filename().string());
  return names;
}

// The last line a program wrote.
std::string last_line(const std::string& text) {
  const size_t end = text.find_last_not_of('\n');
  if (end == std::string::npos)
    return {};
  const size_t start = text.find_last_of('\n', end);
  return text.substr(start == std::string::npos ? 0 : start + 1,
                     end + 1 - (start == std::string::npos ? 0 : start + 1));
}

struct capture_fixture : ::testing::Test {
  testkit_tempdir dir{true};
  void SetUp() override {
    std::string error;
    ASSERT_EQ(show_archive_write(dir.path, {}, &error), 1) << error;
  }
};
} // namespace

TEST_F(capture_fixture, Mp4IsH264AndAacOfTheFramesAndTimeAsked) {
  const run_result r = demo_render("--seconds 5 --video show.mp4 --report report.json --png-dir frames "
                                   "--png-every 299 --quiet");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err.find("real time"), std::string::npos) << "quiet: " << r.err;
  EXPECT_EQ(folder(), (std::set<std::string>{"data.dat", "show.mp4", "report.json", "frames"}));

  const auto j = probe("show.mp4", "stream=codec_name,width,height,pix_fmt,r_frame_rate,nb_read_frames,"
                                   "sample_rate,channels,color_space");
  ASSERT_EQ(j["streams"].size(), 2u) << j;
  const auto& v = j["streams"][0];
  EXPECT_EQ(v["codec_name"], "h264");
  EXPECT_EQ(v["width"], 1920);
  EXPECT_EQ(v["height"], 1080);
  EXPECT_EQ(v["pix_fmt"], "yuv420p");
  EXPECT_EQ(v["color_space"], "bt709");
  EXPECT_EQ(v["r_frame_rate"], "60/1");
  EXPECT_EQ(v["nb_read_frames"], "300");
  const auto& a = j["streams"][1];
  EXPECT_EQ(a["codec_name"], "aac");
  EXPECT_EQ(a["sample_rate"], "44100");
  EXPECT_EQ(a["channels"], 2);
  // Five seconds of sound; AAC may pad by up to one block of 1,024 samples.
  const double samples = double(decode("-i show.mp4", "-map 0:a -f s16le -ac 2").size()) / 4;
  EXPECT_NEAR(samples, 5 * 44100, 1024);

  const auto report = nlohmann::json::parse(testkit_read_file("report.json"));
  EXPECT_EQ(report["video"]["frames"], 300);
  EXPECT_EQ(report["video"]["file"], "show.mp4");

  // The last frame, scaled by 4 at (320, 60) on black, within what H.264
  // and 4:2:0 chroma lose.
  const std::vector<uint8_t> want = picture("frames/frame_000299.png");
  const std::vector<uint8_t> got = video_frame("show.mp4", 299);
  ASSERT_EQ(want.size(), 320u * 240 * 3);
  ASSERT_EQ(got.size(), 1920u * 1080 * 3);
  // (Compression rings a little at the frame's edge: the border is looked
  // at from a block of 16 pixels away.)
  double inside = 0;
  int outside = 0;
  for (int y = 0; y < 1080; y++)
    for (int x = 0; x < 1920; x++)
      for (int c = 0; c < 3; c++) {
        const int g = got[(size_t(y) * 1920 + x) * 3 + c];
        if (x >= 320 && x < 1600 && y >= 60 && y < 1020)
          inside += std::abs(g - want[(size_t(y - 60) / 4 * 320 + (x - 320) / 4) * 3 + c]);
        else if (x < 304 || x >= 1616 || y < 44 || y >= 1036)
          outside = std::max(outside, g);
      }
  EXPECT_LE(outside, 2) << "the border is black";
  // (About 1.4 levels; with the wrong colour matrix 2.3.)
  EXPECT_LT(inside / (1280.0 * 960 * 3), 1.8) << "mean difference per channel";
}

TEST_F(capture_fixture, MkvIsLosslessAtTheFrameRateAsked) {
  const run_result r = demo_render("--fps 30 --seconds 5 --size 700x500 --scale 2 --video show.mkv --wav show.wav "
                                   "--png-dir frames --png-every 50 --key 1:space --seed 3");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(last_line(r.err).find("show.mkv: 150 frames at 700x500"), std::string::npos) << r.err;

  const auto j = probe("show.mkv", "stream=codec_name,width,height,r_frame_rate,nb_read_frames,sample_rate");
  ASSERT_EQ(j["streams"].size(), 2u) << j;
  const auto& v = j["streams"][0];
  EXPECT_EQ(v["codec_name"], "ffv1");
  EXPECT_EQ(v["width"], 700);
  EXPECT_EQ(v["height"], 500);
  EXPECT_EQ(v["r_frame_rate"], "30/1");
  EXPECT_EQ(v["nb_read_frames"], "150");
  EXPECT_EQ(j["streams"][1]["codec_name"], "flac");

  // The sound is the WAV file's, sample for sample.
  const std::vector<uint8_t> wav = testkit_read_file("show.wav");
  ASSERT_GT(wav.size(), 44u);
  EXPECT_EQ(wav.size() - 44, 5u * 44100 * 4);
  EXPECT_TRUE(decode("-i show.mkv", "-map 0:a -f s16le") == std::vector<uint8_t>(wav.begin() + 44, wav.end()));

  // Every pixel as the show drew it, twice as large at (30, 10), on black.
  for (int n : {0, 50, 100}) {
    char name[64];
    std::snprintf(name, sizeof name, "frames/frame_%06d.png", n);
    const std::vector<uint8_t> want = picture(name);
    const std::vector<uint8_t> got = video_frame("show.mkv", n);
    ASSERT_EQ(want.size(), 320u * 240 * 3);
    ASSERT_EQ(got.size(), 700u * 500 * 3);
    int wrong = 0;
    for (int y = 0; y < 500; y++)
      for (int x = 0; x < 700; x++)
        for (int c = 0; c < 3; c++) {
          const bool in = x >= 30 && x < 670 && y >= 10 && y < 490;
          const int w = in ? want[(size_t(y - 10) / 2 * 320 + (x - 30) / 2) * 3 + c] : 0;
          wrong += got[(size_t(y) * 700 + x) * 3 + c] != w;
        }
    EXPECT_EQ(wrong, 0) << "frame " << n;
  }
}

// Each failure: status 1, one line on standard error before the show
// starts, and no file at all left behind.
TEST_F(capture_fixture, FailuresAtOnceSayWhyInOneLine) {
  fs::create_directory("bin");
  testkit_write_text("bin/ffmpeg", "#!/bin/sh\necho ' V..... ffv1'; echo ' A..... flac'\n");
  fs::permissions("bin/ffmpeg", fs::perms::owner_all);
  fs::create_directory("folder.mp4");
  const std::set<std::string> before = folder();
  const struct {
    std::string args, env, says;
  } cases[] = {
      {"--video show.avi", "", "show.avi: unknown kind of video file (.mp4 or .mkv)"},
      {"--video show.mp4", "PATH=/nonexistent", "ffmpeg is not on PATH"},
      {"--video show.mp4", "PATH=" + dir.path + "/bin", "has no libx264 encoder"},
      {"--video nowhere/show.mp4", "", "cannot write nowhere/show.mp4: No such file or directory"},
      {"--video folder.mp4", "", "folder.mp4 is a folder"},
      {"--video show.mp4 --size 100x100", "", "smaller than the 320x240 frame"},
  };
  for (const auto& c : cases) {
    const run_result r = demo_render("--seconds 5 --wav show.wav " + c.args, c.env);
    EXPECT_EQ(r.status, 1) << c.args << ": " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << c.args << ": " << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << ": " << r.err;
    EXPECT_EQ(folder(), before) << c.args;
  }
  const run_result r = demo_render("--size 640x480");
  EXPECT_EQ(r.status, 2) << "--size without --video: " << r.err;
}

TEST_F(capture_fixture, FfmpegFailingMidwayIsReportedAndLeavesNothing) {
  // Takes some frames, then gives up with a word of its own.
  fs::create_directory("bin");
  testkit_write_text("bin/ffmpeg", "#!/bin/sh\n"
                                   "case \"$*\" in *-encoders*) echo ' ------'; echo ' V..... libx264'; "
                                   "echo ' A..... aac'; exit 0;; esac\n"
                                   "head -c 2000000 >/dev/null\n"
                                   "echo 'fake: out of tape' >&2\n"
                                   "exit 3\n");
  fs::permissions("bin/ffmpeg", fs::perms::owner_all);
  const std::set<std::string> before = folder();
  const run_result r = demo_render("--seconds 5 --video show.mp4 --quiet", "PATH=" + dir.path + "/bin:/usr/bin:/bin");
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(last_line(r.err).find("ffmpeg failed with status 3: fake: out of tape"), std::string::npos) << r.err;
  EXPECT_EQ(folder(), before);
}

// SIGTERM (or Ctrl-C) once the capture is underway: its temporaries are
// there, and they go.
TEST_F(capture_fixture, InterruptedCaptureLeavesNothing) {
  const std::set<std::string> before = folder();
  std::string out;
  std::string command = "(";
  command += testkit_bin_dir();
  const int status =
      testkit_run(command + "/demo_render --seconds 600 --size native --scale 1 --video show.mkv --quiet "
                            ">/dev/null 2>err.txt & pid=$!; "
                            "for i in $(seq 600); do ls -A | grep -q '^[.]show[.]mkv' && break; sleep 0.1; done; "
                            "sleep 1; kill -TERM $pid; wait $pid)",
                  &out);
  EXPECT_EQ(status, 1);
  const std::vector<uint8_t> err = testkit_read_file("err.txt");
  EXPECT_NE(std::string(err.begin(), err.end()).find("interrupted; no video written"), std::string::npos);
  fs::remove("err.txt");
  EXPECT_EQ(folder(), before);
}
