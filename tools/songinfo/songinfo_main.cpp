// songinfo: facts of a song read through the sound layer, its tick-by-tick
// order and row on the virtual clock, or one pass rendered to a WAV file.
#include "music.h"
#include "sound.h"
#include "wav_file.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Samples of one pass through the song's orders, or -1 when it cannot be read.
int64_t songinfo_pass_samples(const std::string& path) {
  sound_song* song = sound_song_load_file(path.c_str());
  if (!song)
    return -1;
  const double seconds = sound_song_duration(song);
  sound_song_free(song);
  return std::llround(seconds * MUSIC_SAMPLE_RATE);
}

int songinfo_describe(const std::string& path) {
  sound_song* song = sound_song_load_file(path.c_str());
  if (!song) {
    std::fprintf(stderr, "songinfo: cannot read song %s\n", path.c_str());
    return 1;
  }
  const int32_t orders = sound_song_num_orders(song);
  std::printf("orders: %d\n", orders);
  for (int32_t o = 0; o < orders; o++) {
    const int32_t pattern = sound_song_order_pattern(song, o);
    std::printf("order %d: pattern %d, %d rows\n", o, pattern, sound_song_pattern_rows(song, pattern));
  }
  std::printf("duration: %.3f seconds\n", sound_song_duration(song));
  sound_song_free(song);
  return 0;
}

// One pass through a song: ticks are printed (with --trace) and samples
// written (with --wav) until the song wraps, that is until a tick's order
// and row come before the previous tick's.
// Past the estimated end, samples wait for the next tick: they belong to the
// pass only when that tick shows no wrap.
struct songinfo_run {
  int print = 0;
  wav_file* wav = nullptr;
  int32_t last_order = -1, last_row = -1;
  int wrapped = 0;
  int holding = 0;
  std::vector<int16_t> held;
};

void songinfo_samples(void* user, const int16_t* data, uint32_t frames) {
  songinfo_run* run = static_cast<songinfo_run*>(user);
  if (!run->wav || run->wrapped)
    return;
  if (run->holding)
    run->held.insert(run->held.end(), data, data + size_t(frames) * 2);
  else
    wav_file_write(run->wav, data, frames);
}

void songinfo_tick(void* user, const music_clock* clock) {
  songinfo_run* run = static_cast<songinfo_run*>(user);
  const int32_t order = int32_t(clock->order.load()), row = int32_t(clock->row.load());
  if (run->wrapped || order < run->last_order || (order == run->last_order && row < run->last_row)) {
    run->wrapped = 1;
    return;
  }
  run->last_order = order;
  run->last_row = row;
  if (run->wav && !run->held.empty()) {
    wav_file_write(run->wav, run->held.data(), uint32_t(run->held.size() / 2));
    run->held.clear();
  }
  if (run->print)
    std::printf("%d %d %d\n", clock->tick_count.load(), order, row);
}

// Plays the song on the virtual clock, through the music module as the show
// does, for one pass: up to the library's estimate of its length, then a tick
// at a time until the wrap shows (the estimate can fall short by a few rows).
int songinfo_play(const std::string& path, songinfo_run* run) {
  const int64_t pass = songinfo_pass_samples(path);
  if (pass < 0) {
    std::fprintf(stderr, "songinfo: cannot read song %s\n", path.c_str());
    return 0;
  }
  music_virtual_enable(1);
  if (!music_init(path.c_str(), MUSIC_INIT_MEMORY | MUSIC_INIT_PLAY, 0)) {
    std::fprintf(stderr, "songinfo: %s: %s\n", path.c_str(), music_error_text());
    music_reset();
    return 0;
  }
  const music_virtual_output output{songinfo_samples, songinfo_tick, run};
  music_virtual_advance_to(uint64_t(pass), &output);
  const uint64_t tick = music_virtual_tick_sample(1);
  run->holding = 1;
  for (uint64_t extra = 0; !run->wrapped && extra < 60 * uint64_t(MUSIC_SAMPLE_RATE); extra += tick)
    music_virtual_advance(tick, &output);
  music_reset();
  return 1;
}

} // namespace

int main(int argc, char** argv) {
  CLI::App app{"Facts of a song, its tick-by-tick order and row, or one pass rendered to WAV"};
  std::string song;
  std::string wav_path;
  bool trace = false;
  app.add_flag("--trace", trace, "print tick, order and row for every 14 ms tick of one pass");
  app.add_option("--wav", wav_path, "render one pass into this 16-bit stereo WAV file");
  app.add_option("song", song, "XM song (any format libopenmpt reads)")->required();
  CLI11_PARSE(app, argc, argv);

  if (trace && !wav_path.empty()) {
    std::fprintf(stderr, "songinfo: --trace and --wav exclude each other\n");
    return 1;
  }
  if (trace) {
    songinfo_run run;
    run.print = 1;
    return songinfo_play(song, &run) ? 0 : 1;
  }
  if (!wav_path.empty()) {
    wav_file wav;
    if (!wav_file_open(&wav, wav_path.c_str(), MUSIC_SAMPLE_RATE)) {
      std::fprintf(stderr, "songinfo: cannot create %s\n", wav_path.c_str());
      return 1;
    }
    songinfo_run run;
    run.wav = &wav;
    const int played = songinfo_play(song, &run);
    const int written = wav_file_close(&wav);
    if (played && !written)
      std::fprintf(stderr, "songinfo: cannot write %s\n", wav_path.c_str());
    if (!played || !written) {
      std::remove(wav_path.c_str());
      return 1;
    }
    return 0;
  }
  return songinfo_describe(song);
}
