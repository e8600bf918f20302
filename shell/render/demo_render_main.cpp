// demo_render: the show, headless and deterministic, on the virtual clock.
// Frames and audio go to files on request, or together into a video file
// through ffmpeg, with a timing report.
#include "headless.h"
#include "music.h"
#include "pixmap_png.h"
#include "random.h"
#include "render_estimate.h"
#include "render_keys.h"
#include "render_progress.h"
#include "render_report.h"
#include "render_video.h"
#include "shell.h"
#include "version.h"
#include "wav_file.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <zlib.h>

namespace {
struct render_run {
  int32_t fps = 60;
  double seconds = -1.0;
  int64_t frames = -1;
  double time_limit = 1200.0;
  std::string png_dir;
  int64_t png_every = 1;
  std::string wav_path;
  std::string report_path;
  std::string hashes_path;
  std::FILE* hashes = nullptr;
  uint32_t seed = 1;
  std::string video_path;
  std::string video_size;
  int32_t video_scale = 0;
  bool quiet = false;
  wav_file wav{};
  music_virtual_output output{};
  render_report report{};
  int png_failed = 0;
  int video_on = 0;
  render_video video{};
  render_progress progress{};
  int64_t limit_frames = 0; // where the limits stop the show
  int in_end_part = 0;
};
render_run run;

// The show's frame, which the video scales.
constexpr int32_t frame_width = 320;
constexpr int32_t frame_height = 240;

// Ctrl-C or SIGTERM during a capture: the show stops, and the capture's
// temporaries go with it.
volatile std::sig_atomic_t interrupted = 0;
void render_interrupt(int) { interrupted = 1; }

// The audio goes to the WAV file and into the video, as asked.
void render_samples(void*, const int16_t* data, uint32_t frames) {
  if (!run.wav_path.empty())
    wav_file_write(&run.wav, data, frames);
  if (run.video_on)
    render_video_samples(&run.video, data, frames);
}

// The frames the progress expects: the limits, or what the songs suggest
// when the show should end before them.
void render_expect(int64_t estimate) {
  if (estimate > 0 && estimate < run.limit_frames)
    render_progress_total(&run.progress, estimate, 1);
  else
    render_progress_total(&run.progress, run.limit_frames, 0);
}

void render_capture(const shell_frame_info* info) {
  const int64_t n = run.video.frames;
  if (n == 0)
    render_expect(int64_t(std::ceil(render_estimate_show_seconds() * run.fps)));
  if (info->part_state == SHELL_END_PART && !run.in_end_part) {
    run.in_end_part = 1;
    render_expect(n + int64_t(std::ceil(render_estimate_end_part_seconds() * run.fps)));
  }
  render_video_frame(&run.video, headless_screen());
  if (!run.quiet)
    render_progress_frame(&run.progress, run.video.frames);
}

// Each wait_retrace ends one frame period of simulated time; the time the
// audio takes is reported apart from the rest of the loop.
void render_retrace(void*) {
  const uint64_t frame = uint64_t(headless_retraces());
  const auto t0 = std::chrono::steady_clock::now();
  music_virtual_advance_to(music_virtual_frame_sample(frame, uint32_t(run.fps)), &run.output);
  run.report.audio_us += std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
}

// One line per presented frame: its number and the CRC-32 of the screen's
// pixels, so two runs can be compared frame by frame.
void render_hash_frame(int64_t n) {
  const pixmap* screen = headless_screen();
  uLong crc = crc32(0L, Z_NULL, 0);
  if (screen)
    crc = crc32(crc, reinterpret_cast<const Bytef*>(screen->pixels),
                uInt(size_t(screen->width) * size_t(screen->height) * sizeof(uint32_t)));
  std::fprintf(run.hashes, "%lld %08lx\n", static_cast<long long>(n), static_cast<unsigned long>(crc));
}

void render_observe(void*, const shell_frame_info* info) {
  const int64_t n = run.report.frames;
  render_report_frame(&run.report, info);
  if (run.hashes)
    render_hash_frame(n);
  if (run.video_on)
    render_capture(info);
  if (run.png_dir.empty() || n % run.png_every != 0 || run.png_failed)
    return;
  char name[32];
  std::snprintf(name, sizeof name, "/frame_%06lld.png", static_cast<long long>(n));
  std::string error;
  if (!pixmap_png_write(headless_screen(), run.png_dir + name, false, &error)) {
    std::fprintf(stderr, "demo_render: %s\n", error.c_str());
    run.png_failed = 1;
  }
}

int render_stop(void*) {
  if (interrupted || run.video.failed)
    return 1;
  const int64_t frames = headless_retraces();
  const double now = double(frames) / run.fps;
  if (run.frames >= 0 && frames >= run.frames)
    return 1;
  if (run.seconds >= 0 && now >= run.seconds)
    return 1;
  return now >= run.time_limit;
}

int render_die(const std::string& text) {
  std::fprintf(stderr, "demo_render: %s\n", text.c_str());
  return 2;
}

// Starts the capture before the show: 1, or 0 with the reason written.
int render_video_start() {
  std::signal(SIGPIPE, SIG_IGN); // a failing ffmpeg is seen where its pipe is written
  std::signal(SIGINT, render_interrupt);
  std::signal(SIGTERM, render_interrupt);
  std::string error;
  if (!render_video_open(&run.video, run.video_path, run.video_size, run.video_scale, run.fps, frame_width,
                         frame_height, &error)) {
    std::fprintf(stderr, "demo_render: %s\n", error.c_str());
    return 0;
  }
  run.video_on = 1;
  run.limit_frames = int64_t(std::ceil(run.time_limit * run.fps));
  if (run.frames >= 0)
    run.limit_frames = std::min(run.limit_frames, run.frames);
  if (run.seconds >= 0)
    run.limit_frames = std::min(run.limit_frames, int64_t(std::ceil(run.seconds * run.fps)));
  render_progress_begin(&run.progress, run.fps);
  render_progress_total(&run.progress, run.limit_frames, 0);
  return 1;
}

// Ends the capture after the show (status: the show's); returns the status.
int render_video_end(int status) {
  std::string error;
  const int keep = status == 0 && !interrupted;
  if (!render_video_close(&run.video, keep, &error)) {
    if (interrupted)
      error = "interrupted; no video written";
    if (!error.empty())
      render_progress_end(&run.progress, "demo_render: " + error);
    return status ? status : 1;
  }
  const double wall = render_progress_elapsed(&run.progress);
  const double seconds = double(run.video.frames) / run.fps;
  run.report.video_path = run.video_path;
  run.report.video_frames = run.video.frames;
  run.report.video_wall_seconds = wall;
  if (!run.quiet) {
    char line[512];
    std::snprintf(line, sizeof line,
                  "demo_render: %s: %lld frames at %dx%d (frame x%d), %.1f s of show in %.1f s (%.2fx real time)",
                  run.video_path.c_str(), static_cast<long long>(run.video.frames), run.video.plan.width,
                  run.video.plan.height, run.video.plan.scale, seconds, wall, wall > 0 ? seconds / wall : 0.0);
    render_progress_end(&run.progress, line);
  }
  return status;
}
} // namespace

int main(int argc, char** argv) {
  CLI::App app{"demo_render: the show, headless, on the virtual clock"};
  app.set_version_flag("--version", std::string("demo_render ") + VORLANE_VERSION);
  std::vector<std::string> keys;
  app.add_option("--fps", run.fps, "frames per second of simulated time")->check(CLI::Range(1, 1000));
  app.add_option("--seconds", run.seconds, "stop after this much simulated time")->check(CLI::NonNegativeNumber);
  app.add_option("--frames", run.frames, "stop after this many frames")->check(CLI::NonNegativeNumber);
  app.add_option("--time-limit", run.time_limit, "stop at this simulated time whatever happens")
      ->check(CLI::PositiveNumber);
  app.add_option("--png-dir", run.png_dir, "write presented frames as PNG files here");
  app.add_option("--png-every", run.png_every, "write every K-th frame")->check(CLI::PositiveNumber);
  app.add_option("--wav", run.wav_path, "write the show's audio to this WAV file");
  app.add_option("--key", keys, "scripted key press SECONDS:KEY (space, p, escape or a character)");
  app.add_option("--report", run.report_path, "write a JSON timing report");
  app.add_option("--seed", run.seed, "seed of the pseudo-random generator");
  app.add_option("--frame-hashes", run.hashes_path, "write the CRC-32 of every presented frame to this file");
  CLI::Option* video =
      app.add_option("--video", run.video_path, "capture the show with its audio into a video file (.mp4 or .mkv)");
  app.add_option("--size", run.video_size, "the video's size: WxH (default 1920x1080) or native (the scaled frame)")
      ->needs(video);
  app.add_option("--scale", run.video_scale, "scale the frame by N (default: the largest that fits)")
      ->check(CLI::Range(1, 64))
      ->needs(video);
  app.add_flag("--quiet", run.quiet, "no progress line while capturing");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0)
      return app.exit(e);
    return render_die(e.what());
  }

  for (const std::string& k : keys) {
    render_key key;
    std::string error;
    if (!render_key_parse(k, &key, &error))
      return render_die(error);
    headless_add_key(key.seconds, key.vk);
  }
  if (!run.png_dir.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(run.png_dir, ec);
    if (ec)
      return render_die(run.png_dir + ": " + ec.message());
  }
  if (!run.hashes_path.empty()) {
    run.hashes = std::fopen(run.hashes_path.c_str(), "w");
    if (!run.hashes)
      return render_die("cannot write " + run.hashes_path);
  }
  if (!run.wav_path.empty() && !wav_file_open(&run.wav, run.wav_path.c_str(), MUSIC_SAMPLE_RATE))
    return render_die("cannot write " + run.wav_path);
  if (!run.video_path.empty() && !render_video_start()) {
    if (!run.wav_path.empty()) {
      wav_file_close(&run.wav);
      std::remove(run.wav_path.c_str());
    }
    return 1;
  }
  if (!run.wav_path.empty() || run.video_on)
    run.output = music_virtual_output{.samples = render_samples};

  demo_rand_fix_seed(run.seed);
  music_virtual_enable(1);
  headless_configure(run.fps, render_retrace, nullptr);
  render_report_begin(&run.report, run.fps);

  shell_result result{};
  shell_config config{};
  config.driver = &headless_driver;
  config.frame_observer = render_observe;
  config.stop_requested = render_stop;
  config.result = &result;

  const auto t0 = std::chrono::steady_clock::now();
  int status = shell_run(&config);
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();

  if (!run.wav_path.empty() && !wav_file_close(&run.wav)) {
    std::fprintf(stderr, "demo_render: cannot write %s\n", run.wav_path.c_str());
    status = status ? status : 1;
  }
  if (run.png_failed)
    status = status ? status : 1;
  if (run.hashes && std::fclose(run.hashes) != 0) {
    std::fprintf(stderr, "demo_render: cannot write %s\n", run.hashes_path.c_str());
    status = status ? status : 1;
  }
  if (run.video_on)
    status = render_video_end(status);
  if (!run.report_path.empty()) {
    std::ofstream out(run.report_path);
    out << render_report_json(&run.report, wall, &result, status);
    if (!out) {
      std::fprintf(stderr, "demo_render: cannot write %s\n", run.report_path.c_str());
      status = status ? status : 1;
    }
  }
  return status;
}
