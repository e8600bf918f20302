// The songs: composing and encoding each (target: well under 5 s for both on
// the build machine), the instrument synthesis alone, and the cue check.
#include "song_sounds.h"
#include "songs.h"

#include <benchmark/benchmark.h>

static void BM_MainSong(benchmark::State& state) {
  for (auto _ : state) {
    xm_song song;
    std::string error;
    std::vector<uint8_t> bytes;
    if (!song_main_build(&song, &error) || !xm_writer_encode(song, &bytes, &error))
      state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(bytes.data());
  }
}
BENCHMARK(BM_MainSong)->Unit(benchmark::kMillisecond);

static void BM_EndSong(benchmark::State& state) {
  for (auto _ : state) {
    xm_song song;
    std::string error;
    std::vector<uint8_t> bytes;
    if (!song_end_build(&song, &error) || !xm_writer_encode(song, &bytes, &error))
      state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(bytes.data());
  }
}
BENCHMARK(BM_EndSong)->Unit(benchmark::kMillisecond);

static void BM_MainInstruments(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<xm_instrument> instruments;
    song_sounds_main(&instruments, 0.01);
    benchmark::DoNotOptimize(instruments.data());
  }
}
BENCHMARK(BM_MainInstruments)->Unit(benchmark::kMillisecond);

static void BM_MainCueCheck(benchmark::State& state) {
  xm_song song;
  std::string error;
  song_main_build(&song, &error);
  for (auto _ : state)
    benchmark::DoNotOptimize(song_check(&song, song_main_cues, std::size(song_main_cues), &error));
}
BENCHMARK(BM_MainCueCheck)->Unit(benchmark::kMillisecond);
