// Costs of the music path: the virtual clock rendering a song, the tick
// routine, one audio buffer of the mixer, and writing an XM song.
#include "music.h"
#include "music_songs.h"
#include "sound.h"
#include "xm_writer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

xm_song bench_song() {
  std::vector<uint16_t> rows(16, 64);
  return music_test_song(rows, 3, 150);
}

// Writes the song to a temporary file and starts it on the virtual clock.
struct bench_player {
  std::string path;
  bench_player() {
    char name[] = "/tmp/bench_music_XXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0)
      close(fd);
    path = name;
    std::string error;
    xm_writer_write(path.c_str(), bench_song(), &error);
    music_reset();
    music_virtual_enable(1);
    music_init(path.c_str(), MUSIC_INIT_MEMORY | MUSIC_INIT_PLAY, 0);
  }
  ~bench_player() {
    music_reset();
    std::remove(path.c_str());
  }
};

void null_samples(void*, const int16_t* data, uint32_t frames) { benchmark::DoNotOptimize(data[frames - 1]); }

} // namespace

// One second of song on the virtual clock at 60 frames per second: 60 spans,
// about 71 ticks.
static void BM_virtual_clock_one_second(benchmark::State& state) {
  bench_player player;
  music_virtual_output output{.samples = null_samples};
  uint64_t frame = 0;
  for (auto _ : state) {
    for (int i = 0; i < 60; i++) {
      music_virtual_advance_frame(frame++, 60, &output);
      music_clock_update();
    }
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * MUSIC_SAMPLE_RATE);
  state.counters["x_real_time"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_virtual_clock_one_second)->Unit(benchmark::kMillisecond);

// The tick routine: counters plus the song's order and row under the lock.
static void BM_tick(benchmark::State& state) {
  bench_player player;
  const uint32_t id = music_timer_id();
  for (auto _ : state)
    music_tick(id);
  benchmark::DoNotOptimize(music_clock_get()->row.load());
}
BENCHMARK(BM_tick);

// One 1024-frame buffer of the mixer (what the audio callback does).
static void BM_mix_buffer(benchmark::State& state) {
  bench_player player;
  static int16_t out[2 * SOUND_BUFFER_FRAMES];
  for (auto _ : state) {
    sound_render(out, SOUND_BUFFER_FRAMES);
    benchmark::DoNotOptimize(out[0]);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * SOUND_BUFFER_FRAMES);
}
BENCHMARK(BM_mix_buffer)->Unit(benchmark::kMicrosecond);

// Encoding a song of 16 patterns of 64 rows and 4 channels.
static void BM_xm_encode(benchmark::State& state) {
  const xm_song song = bench_song();
  std::vector<uint8_t> bytes;
  std::string error;
  for (auto _ : state) {
    xm_writer_encode(song, &bytes, &error);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(BM_xm_encode)->Unit(benchmark::kMicrosecond);
