// songinfo: facts of a song read through the sound layer, its tick-by-tick
// order and row on the virtual clock, or one pass rendered to a WAV file.
#include "music.h"
#include "sound.h"
#include "wav_file.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <string>

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

void songinfo_print_tick(void*, const music_clock* clock) {
  std::printf("%d %d %d\n", clock->tick_count.load(), int32_t(clock->order.load()), int32_t(clock->row.load()));
}

// Plays the song on the virtual clock, through the music module as the show
// does, for one pass.
int songinfo_play(const std::string& path, const music_virtual_output& output) {
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
  music_virtual_advance_to(uint64_t(pass), &output);
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
    music_virtual_output output{nullptr, songinfo_print_tick, nullptr};
    return songinfo_play(song, output) ? 0 : 1;
  }
  if (!wav_path.empty()) {
    wav_file wav;
    if (!wav_file_open(&wav, wav_path.c_str(), MUSIC_SAMPLE_RATE)) {
      std::fprintf(stderr, "songinfo: cannot create %s\n", wav_path.c_str());
      return 1;
    }
    const int played = songinfo_play(song, wav_file_output(&wav));
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
