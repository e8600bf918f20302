// demo_render: the show, headless and deterministic, on the virtual clock.
// Frames and audio go to files on request, with a timing report.
#include "headless.h"
#include "music.h"
#include "picture_png.h"
#include "random.h"
#include "render_keys.h"
#include "render_report.h"
#include "shell.h"
#include "version.h"
#include "wav_file.h"

#include <CLI/CLI.hpp>
#include <chrono>
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
  wav_file wav{};
  music_virtual_output output{};
  render_report report{};
  int png_failed = 0;
};
render_run run;

// Each wait_retrace ends one frame period of simulated time.
void render_retrace(void*) {
  const uint64_t frame = uint64_t(headless_retraces());
  music_virtual_advance_to(music_virtual_frame_sample(frame, uint32_t(run.fps)), &run.output);
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
  if (run.png_dir.empty() || n % run.png_every != 0 || run.png_failed)
    return;
  char name[32];
  std::snprintf(name, sizeof name, "/frame_%06lld.png", static_cast<long long>(n));
  std::string error;
  if (!picture_write_png(headless_screen(), run.png_dir + name, false, &error)) {
    std::fprintf(stderr, "demo_render: %s\n", error.c_str());
    run.png_failed = 1;
  }
}

int render_stop(void*) {
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
  if (!run.wav_path.empty()) {
    if (!wav_file_open(&run.wav, run.wav_path.c_str(), MUSIC_SAMPLE_RATE))
      return render_die("cannot write " + run.wav_path);
    run.output = wav_file_output(&run.wav);
  }

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
