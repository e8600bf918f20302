// songinfo: facts of a song read through the sound layer, its tick-by-tick
// order and row on the virtual clock, or one pass rendered to a WAV file.
#include "music.h"
#include "sound.h"
#include "version.h"
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

// One pass through a song: ticks are printed (with --trace) and samples
// written (with --wav) until the song wraps. The wrap is the sound layer's
// own (its loop count), not the position going back: a pattern loop goes back
// inside one pass. The samples end exactly where the pass ended, and a tick
// that comes after the wrap belongs to the next pass.
struct songinfo_run {
  int print = 0;
  wav_file* wav = nullptr;
  sound_song* song = nullptr;
  uint64_t handed = 0; // frames rendered so far
  int wrapped = 0;
};

void songinfo_samples(void* user, const int16_t* data, uint32_t frames) {
  songinfo_run* run = static_cast<songinfo_run*>(user);
  if (run->wrapped)
    return;
  uint32_t keep = frames;
  if (sound_song_loops(run->song) > 0) {
    const uint64_t end = sound_song_wrap_frame(run->song);
    keep = end <= run->handed ? 0 : end - run->handed < frames ? uint32_t(end - run->handed) : frames;
    run->wrapped = 1;
  }
  if (run->wav && keep > 0)
    wav_file_write(run->wav, data, keep);
  run->handed += frames;
}

void songinfo_tick(void* user, const music_clock* clock) {
  songinfo_run* run = static_cast<songinfo_run*>(user);
  if (run->wrapped)
    return;
  if (run->print)
    std::printf("%d %d %d\n", clock->tick_count.load(), int32_t(clock->order.load()), int32_t(clock->row.load()));
}

// Plays the song on the virtual clock, through the music module as the show
// does, a tick at a time until it wraps. A song that never wraps stops a
// minute past the library's estimate of its length.
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
  run->song = music_current_song();
  const music_virtual_output output{.samples = songinfo_samples, .tick = songinfo_tick, .user = run};
  const uint64_t limit = uint64_t(pass) + 60 * uint64_t(MUSIC_SAMPLE_RATE);
  for (uint64_t k = 1; !run->wrapped && music_virtual_tick_sample(k) <= limit; k++)
    music_virtual_advance_to(music_virtual_tick_sample(k), &output);
  music_reset();
  return 1;
}

} // namespace

int main(int argc, char** argv) {
  CLI::App app{"Facts of a song, its tick-by-tick order and row, or one pass rendered to WAV"};
  app.set_version_flag("--version", std::string("songinfo ") + VORLANE_VERSION);
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
