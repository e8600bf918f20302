// The music player, its clock and timer, and the virtual clock.
#include "music.h"
#include "music_songs.h"
#include "pfs_writer.h"
#include "sound.h"
#include "testkit.h"
#include "timer.h"
#include "vfs.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

using test_clock = std::chrono::steady_clock;

double seconds_since(test_clock::time_point start) {
  return std::chrono::duration<double>(test_clock::now() - start).count();
}

// Every test starts from the state at program start, with files read from
// the disk, and leaves the same behind.
struct music_test : ::testing::Test {
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    music_reset();
    vfs_device_enable(&stdio_device, 0);
  }
  void TearDown() override {
    music_reset();
    pfs_device_reset();
    vfs_device_enable(&stdio_device, 0);
  }
};

struct trace_entry {
  int32_t tick;
  uint32_t order;
  uint32_t row;
  bool operator==(const trace_entry& o) const { return tick == o.tick && order == o.order && row == o.row; }
};

std::ostream& operator<<(std::ostream& out, const trace_entry& e) {
  return out << e.tick << " " << int32_t(e.order) << " " << int32_t(e.row);
}

void record_tick(void* user, const music_clock* clock) {
  static_cast<std::vector<trace_entry>*>(user)->push_back(
      {clock->tick_count.load(), clock->order.load(), clock->row.load()});
}

struct clock_values {
  float frame_delta, ticks;
  int32_t frame_tick_delta, tick_count;
  uint32_t order, pattern, row;
  int32_t sync_info;
  uint32_t loop_count;
  bool operator==(const clock_values& o) const { return std::memcmp(this, &o, sizeof(*this)) == 0; }
};

clock_values clock_read() {
  const music_clock* c = music_clock_get();
  return {c->frame_delta.load(), c->ticks.load(), c->frame_tick_delta.load(), c->tick_count.load(), c->order.load(),
          c->pattern.load(),     c->row.load(),   c->sync_info.load(),        c->loop_count.load()};
}

// The songs of the virtual-clock tests: speed and tempo change on the way, so
// rows are not all equally long and song ticks are not whole samples.
xm_song trace_song() {
  xm_song song = music_test_song({8, 6, 10, 5}, 3, 125);
  xm_pattern_cell(song.patterns[1], song.channels, 2, 3) = {0, 0, 0, 0x0F, 5};    // speed 5
  xm_pattern_cell(song.patterns[2], song.channels, 0, 3) = {0, 0, 0, 0x0F, 140};  // tempo 140
  xm_pattern_cell(song.patterns[3], song.channels, 1, 3) = {0, 0, 0, 0x0F, 0x04}; // speed 4
  return song;
}

std::string write_song(const testkit_tempdir& dir, const std::string& name, const xm_song& song) {
  std::string error;
  const std::string path = dir.file(name);
  EXPECT_TRUE(xm_writer_write(path.c_str(), song, &error)) << error;
  return path;
}

uint64_t pass_samples(const std::string& path) {
  sound_song* s = sound_song_load_file(path.c_str());
  EXPECT_NE(s, nullptr);
  const double seconds = sound_song_duration(s);
  sound_song_free(s);
  return uint64_t(std::llround(seconds * MUSIC_SAMPLE_RATE));
}

// Plays the song on the virtual clock as the show does (init, load, play,
// timer start, then one clock update per frame) at fps, for at least
// `samples`, and returns every tick's order and row.
std::vector<trace_entry> virtual_trace(const std::string& path, uint32_t fps, uint64_t samples,
                                       std::vector<int16_t>* audio = nullptr) {
  std::vector<trace_entry> trace;
  music_reset();
  EXPECT_TRUE(music_virtual_enable(1));
  EXPECT_TRUE(music_init(nullptr, MUSIC_INIT_MEMORY, 0));
  EXPECT_TRUE(music_load(path.c_str()));
  EXPECT_TRUE(music_play(0));
  EXPECT_TRUE(music_timer_start(0.1f));
  struct sink {
    std::vector<trace_entry>* trace;
    std::vector<int16_t>* audio;
  } both{&trace, audio};
  music_virtual_output output{
      .samples =
          [](void* user, const int16_t* data, uint32_t frames) {
            std::vector<int16_t>* audio = static_cast<sink*>(user)->audio;
            if (audio)
              audio->insert(audio->end(), data, data + size_t(frames) * 2);
          },
      .tick = [](void* user, const music_clock* clock) { record_tick(static_cast<sink*>(user)->trace, clock); },
      .user = &both};
  for (uint64_t frame = 0; music_virtual_now() < samples; frame++) {
    music_virtual_advance_frame(frame, fps, &output);
    music_clock_update();
  }
  music_reset();
  return trace;
}

} // namespace

// ---- errors and modes ----

TEST_F(music_test, error_texts) {
  const std::pair<int32_t, const char*> texts[] = {
      {0, "No error"},
      {MUSIC_ERROR_TIMER, "Timer error!"},
      {MUSIC_ERROR_IO_FETCH, "IO fetch!"},
      {MUSIC_ERROR_MIDAS_STARTUP, "Midas startup"},
      {MUSIC_ERROR_MIDAS_CONFIG, "Midas config"},
      {MUSIC_ERROR_MIDAS_INIT, "Midas init"},
      {MUSIC_ERROR_MIDAS_BACKGROUND, "Midas background player"},
      {MUSIC_ERROR_MIDAS_LOAD, "Midas load"},
      {MUSIC_ERROR_FMOD_INIT, "Fmod Init"},
      {MUSIC_ERROR_FMOD_LOAD, "Fmod load"},
      {MUSIC_ERROR_FMOD_MEMLOAD, "Fmod memload"},
      {0x20004, "No error"},
      {-1, "No error"},
  };
  for (const auto& [code, text] : texts) {
    music_error = code;
    EXPECT_STREQ(music_error_text(), text) << code;
    // Reading the text keeps the code.
    EXPECT_STREQ(music_error_text(), text) << code;
    EXPECT_EQ(music_error, code);
  }
}

TEST_F(music_test, load_needs_the_memory_mode) {
  EXPECT_EQ(music_mode.load(), uint32_t(MUSIC_USE_MIDAS));
  EXPECT_EQ(music_load("data/vorlane.xm"), 0);
  EXPECT_EQ(music_error, 0);
  EXPECT_EQ(music_load(nullptr), 0);
  EXPECT_EQ(music_error, 0);
  ASSERT_TRUE(music_init(nullptr, MUSIC_INIT_MEMORY, 0));
  EXPECT_EQ(music_mode.load(), uint32_t(MUSIC_FROM_MEMORY));
  EXPECT_EQ(music_load(nullptr), 0);
  EXPECT_EQ(music_error, 0);
  EXPECT_EQ(music_timer_running(), 0); // no timer without 0x100 or 0x001
}

TEST_F(music_test, load_failures_set_their_codes) {
  testkit_tempdir dir;
  const std::string good = write_song(dir, "good.xm", music_test_song({8}, 6, 125));
  std::vector<uint8_t> corrupt = testkit_read_file(good);
  corrupt[0] = 'e';
  testkit_write_file(dir.file("corrupt.xm"), corrupt);
  testkit_write_file(dir.file("empty.xm"), {});
  ASSERT_TRUE(music_init(nullptr, MUSIC_INIT_MEMORY, 0));

  EXPECT_EQ(music_load(dir.file("missing.xm").c_str()), 0);
  EXPECT_EQ(music_error, MUSIC_ERROR_IO_FETCH);
  EXPECT_EQ(music_load(dir.file("corrupt.xm").c_str()), 0);
  EXPECT_EQ(music_error, MUSIC_ERROR_FMOD_MEMLOAD);
  music_error = 0;
  EXPECT_EQ(music_load(dir.file("empty.xm").c_str()), 0);
  EXPECT_EQ(music_error, MUSIC_ERROR_FMOD_MEMLOAD);
  EXPECT_EQ(music_load_file(dir.file("corrupt.xm").c_str()), 0);
  EXPECT_EQ(music_error, MUSIC_ERROR_FMOD_LOAD);
  EXPECT_EQ(music_load(good.c_str()), 1);
  EXPECT_EQ(music_error, MUSIC_ERROR_FMOD_LOAD); // success leaves the code
  music_reset();

  // Second library: named at init.
  ASSERT_TRUE(music_virtual_enable(1));
  EXPECT_EQ(music_init(dir.file("corrupt.xm").c_str(), MUSIC_INIT_MIDAS | MUSIC_INIT_PLAY, 0), 0);
  EXPECT_EQ(music_error, MUSIC_ERROR_MIDAS_LOAD);
  EXPECT_EQ(music_timer_running(), 0);
  EXPECT_EQ(music_init(dir.file("missing.xm").c_str(), MUSIC_INIT_MEMORY | MUSIC_INIT_PLAY, 0), 0);
  EXPECT_EQ(music_error, MUSIC_ERROR_FMOD_LOAD);
}

TEST_F(music_test, songs_load_through_the_archive_device) {
  testkit_tempdir dir(true);
  std::string error;
  ASSERT_TRUE(pfs_writer_write("data.dat",
                               {{"vorlane.xm", music_test_song_bytes({8, 4, 6}, 3, 125)},
                                {"broken.xm", testkit_random_bytes(3000, 3)},
                                {"empty.xm", {}}},
                               &error))
      << error;
  pfs_device_reset();
  ASSERT_TRUE(vfs_device_enable(&pfs_device, 0));
  ASSERT_TRUE(vfs_device_init(&pfs_device, 0, 0));
  ASSERT_TRUE(music_virtual_enable(1));
  ASSERT_TRUE(music_init(nullptr, MUSIC_INIT_MEMORY, 0));
  EXPECT_EQ(music_load("data/nothing.xm"), 0);
  EXPECT_EQ(music_error, MUSIC_ERROR_IO_FETCH);
  EXPECT_EQ(music_load("data/broken.xm"), 0);
  EXPECT_EQ(music_error, MUSIC_ERROR_FMOD_MEMLOAD);
  EXPECT_EQ(music_load("data/empty.xm"), 0);
  EXPECT_EQ(music_error, MUSIC_ERROR_FMOD_MEMLOAD);
  ASSERT_EQ(music_load("data/vorlane.xm"), 1);
  ASSERT_TRUE(music_play(0));
  ASSERT_TRUE(music_timer_start(0.1f));
  // Order 1 starts at row 8: 8 rows of 60 ms = 0.48 s.
  music_virtual_advance(uint64_t(0.50 * MUSIC_SAMPLE_RATE), nullptr);
  EXPECT_EQ(music_clock_get()->order.load(), 1u);
  EXPECT_EQ(music_clock_get()->row.load(), 0u);
}

// ---- the per-frame update ----

TEST_F(music_test, update_does_nothing_while_the_timer_is_stopped) {
  ASSERT_TRUE(music_virtual_enable(1));
  ASSERT_TRUE(music_init(nullptr, MUSIC_INIT_MEMORY | MUSIC_INIT_TIMER, 0));
  music_virtual_advance(10 * 617 + 5, nullptr);
  music_clock_update();
  const uint32_t stopped = music_timer_id();
  ASSERT_TRUE(music_timer_stop());
  EXPECT_FALSE(music_timer_stop());
  EXPECT_EQ(music_timer_id(), 0u);
  const clock_values before = clock_read();
  EXPECT_EQ(before.tick_count, 10);
  music_virtual_advance(20 * 617, nullptr); // no timer: no ticks
  music_tick(stopped);                      // a late call of the stopped timer
  music_tick(0);
  music_clock_update();
  EXPECT_EQ(clock_read(), before);
  // Started again, the counters run on from where they stood.
  ASSERT_TRUE(music_timer_start(0.1f));
  music_virtual_advance(3 * 617 + 1, nullptr);
  music_clock_update();
  EXPECT_EQ(music_clock_get()->tick_count.load(), 13);
  EXPECT_EQ(music_clock_get()->frame_tick_delta.load(), 3);
  EXPECT_EQ(music_clock_get()->frame_delta.load(), 3.0f);
}

TEST_F(music_test, two_frames_inside_one_tick) {
  ASSERT_TRUE(music_virtual_enable(1));
  ASSERT_TRUE(music_init(nullptr, MUSIC_INIT_MEMORY | MUSIC_INIT_TIMER, 0));
  // 144 frames per second: a frame is 306 or 307 samples, a tick 617.4.
  // Frames end at 306, 612, 918, 1225, 1531 and 1837; ticks fall at 617,
  // 1234 and 1852: every other frame passes no tick and keeps the count.
  const struct {
    float frame_delta;
    int32_t frame_tick_delta;
  } expected[] = {{0.0f, 0}, {0.0f, 0}, {1.0f, 1}, {0.0f, 1}, {1.0f, 1}, {0.0f, 1}};
  for (uint64_t frame = 0; frame < 6; frame++) {
    music_virtual_advance_frame(frame, 144, nullptr);
    music_clock_update();
    EXPECT_EQ(music_clock_get()->frame_delta.load(), expected[frame].frame_delta) << frame;
    EXPECT_EQ(music_clock_get()->frame_tick_delta.load(), expected[frame].frame_tick_delta) << frame;
  }
  // At 30 frames per second a frame holds two or three ticks.
  music_reset();
  ASSERT_TRUE(music_virtual_enable(1));
  ASSERT_TRUE(music_init(nullptr, MUSIC_INIT_MEMORY | MUSIC_INIT_TIMER, 0));
  int32_t total = 0;
  for (uint64_t frame = 0; frame < 30; frame++) {
    music_virtual_advance_frame(frame, 30, nullptr);
    music_clock_update();
    const int32_t d = music_clock_get()->frame_tick_delta.load();
    EXPECT_TRUE(d == 2 || d == 3) << frame << ": " << d;
    EXPECT_EQ(music_clock_get()->frame_delta.load(), float(d));
    total += d;
  }
  EXPECT_EQ(total, 71); // 1 s = 71.43 ticks
  EXPECT_EQ(music_clock_get()->tick_count.load(), 71);
}

// ---- the timer ----

TEST_F(music_test, a_second_start_replaces_the_timer) {
  ASSERT_TRUE(music_virtual_enable(1));
  ASSERT_TRUE(music_init(nullptr, MUSIC_INIT_MEMORY | MUSIC_INIT_TIMER, 0));
  const uint32_t first = music_timer_id();
  ASSERT_NE(first, 0u);
  music_virtual_advance(300, nullptr);
  ASSERT_TRUE(music_timer_start(0.1f));
  const uint32_t second = music_timer_id();
  EXPECT_NE(second, first);
  EXPECT_TRUE(music_timer_running());
  // The old timer's calls are ignored, the new one's count.
  music_tick(first);
  EXPECT_EQ(music_clock_get()->tick_count.load(), 0);
  music_tick(second);
  EXPECT_EQ(music_clock_get()->tick_count.load(), 1);
  EXPECT_EQ(music_clock_get()->ticks.load(), 1.0f);
  // Ticks count from the second start: the next falls 617 samples after it.
  EXPECT_EQ(music_virtual_advance(616, nullptr), 0);
  EXPECT_EQ(music_virtual_advance(1, nullptr), 1);
}

TEST_F(music_test, real_timer_started_twice_runs_once) {
  ASSERT_TRUE(music_init(nullptr, MUSIC_INIT_MEMORY | MUSIC_INIT_TIMER, 0));
  const uint32_t first = music_timer_id();
  ASSERT_TRUE(music_timer_start(0.1f));
  EXPECT_NE(music_timer_id(), first);
  EXPECT_EQ(timer_count(), 1);
  const int32_t start_count = music_clock_get()->tick_count.load();
  const test_clock::time_point start = test_clock::now();
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  const int32_t ticks = music_clock_get()->tick_count.load() - start_count;
  const double expected = seconds_since(start) / 0.014;
  EXPECT_GT(ticks, expected * 0.95 - 2);
  EXPECT_LT(ticks, expected * 1.02 + 2); // one timer, not two
  ASSERT_TRUE(music_shutdown());
  EXPECT_EQ(timer_count(), 0);
  EXPECT_FALSE(music_timer_running());
}

// ---- playing ----

TEST_F(music_test, set_order_jumps) {
  testkit_tempdir dir;
  const std::string path = write_song(dir, "song.xm", music_test_song({8, 4, 6, 6}, 3, 125));
  ASSERT_TRUE(music_virtual_enable(1));
  ASSERT_TRUE(music_init(path.c_str(), MUSIC_INIT_MEMORY | MUSIC_INIT_PLAY, 0));
  EXPECT_TRUE(music_timer_running());
  music_virtual_advance(20 * 617, nullptr);
  EXPECT_EQ(music_clock_get()->order.load(), 0u);
  EXPECT_EQ(music_set_order(3), 1);
  music_virtual_advance(617, nullptr); // one tick
  EXPECT_EQ(music_clock_get()->order.load(), 3u);
  EXPECT_EQ(music_clock_get()->row.load(), 0u);
  EXPECT_EQ(music_set_order(1), 1);
  music_virtual_advance(3 * 2646 + 700, nullptr);
  EXPECT_EQ(music_clock_get()->order.load(), 1u);
  EXPECT_EQ(music_clock_get()->row.load(), 3u);
  // Beyond the song the first library's call does nothing (the result is 1
  // as designed); the second library reports the failure.
  EXPECT_EQ(music_set_order(9), 1);
  music_virtual_advance(617, nullptr);
  EXPECT_EQ(music_clock_get()->order.load(), 1u);
}

TEST_F(music_test, play_shows_the_new_song_at_once) {
  testkit_tempdir dir;
  const std::string first = write_song(dir, "first.xm", music_test_song({4, 4, 4}, 3, 125));
  const std::string second = write_song(dir, "second.xm", music_test_song({8}, 6, 125));
  ASSERT_TRUE(music_virtual_enable(1));
  ASSERT_TRUE(music_init(nullptr, MUSIC_INIT_MEMORY, 0));
  ASSERT_TRUE(music_load(first.c_str()));
  ASSERT_TRUE(music_play(0));
  ASSERT_TRUE(music_timer_start(0.1f));
  music_virtual_advance(uint64_t(0.6 * MUSIC_SAMPLE_RATE), nullptr);
  ASSERT_EQ(music_clock_get()->order.load(), 2u);
  // The end part's switch: stop the timer, stop and free, load, play.
  ASSERT_TRUE(music_timer_stop());
  ASSERT_TRUE(music_stop(0));
  ASSERT_TRUE(music_load(second.c_str()));
  ASSERT_TRUE(music_play(0));
  EXPECT_EQ(music_clock_get()->order.load(), 0u);
  EXPECT_EQ(music_clock_get()->row.load(), 0u);
  ASSERT_TRUE(music_timer_start(0.1f));
}

// The end part's song may fail to load; it then runs without music and the
// clock says "no song" (all bits set) from the first frame on.
TEST_F(music_test, without_a_song_order_and_row_are_all_bits_set) {
  testkit_tempdir dir;
  const std::string path = write_song(dir, "song.xm", music_test_song({8, 8}, 3, 125));
  ASSERT_TRUE(music_virtual_enable(1));
  ASSERT_TRUE(music_init(nullptr, MUSIC_INIT_MEMORY, 0));
  ASSERT_TRUE(music_load(path.c_str()));
  ASSERT_TRUE(music_play(0));
  ASSERT_TRUE(music_timer_start(0.1f));
  music_virtual_advance(uint64_t(0.5 * MUSIC_SAMPLE_RATE), nullptr);
  ASSERT_TRUE(music_timer_stop());
  ASSERT_TRUE(music_stop(0));
  EXPECT_EQ(music_load(dir.file("endpart.xm").c_str()), 0);
  EXPECT_EQ(music_play(0), 1);
  EXPECT_EQ(music_clock_get()->order.load(), 0xFFFFFFFFu);
  EXPECT_EQ(music_clock_get()->row.load(), 0xFFFFFFFFu);
  ASSERT_TRUE(music_timer_start(0.1f));
  music_virtual_advance(5 * 617, nullptr);
  EXPECT_EQ(music_clock_get()->order.load(), 0xFFFFFFFFu);
  EXPECT_EQ(music_set_order(1), 1); // does nothing
  EXPECT_EQ(music_stop(0), 1);
  EXPECT_EQ(music_shutdown(), 1);
}

TEST_F(music_test, second_library_fills_the_play_status) {
  testkit_tempdir dir;
  xm_song song = music_test_song({8, 4, 6}, 3, 125);
  song.orders = {2, 0, 1};
  const std::string path = write_song(dir, "song.xm", song);
  ASSERT_TRUE(music_virtual_enable(1));
  ASSERT_TRUE(music_init(path.c_str(), MUSIC_INIT_MIDAS | MUSIC_INIT_PLAY, 0));
  EXPECT_EQ(music_mode.load(), uint32_t(MUSIC_USE_MIDAS));
  EXPECT_EQ(music_clock_get()->pattern.load(), 2u);
  // Two passes of 18 rows and a bit: 2 wraps. The clock shows the row of
  // the last tick, so go a tick past the row's start.
  music_virtual_advance(uint64_t(2 * 18 + 7) * 2646 + 700, nullptr);
  EXPECT_EQ(music_clock_get()->order.load(), 1u);
  EXPECT_EQ(music_clock_get()->pattern.load(), 0u);
  EXPECT_EQ(music_clock_get()->row.load(), 1u);
  EXPECT_EQ(music_clock_get()->sync_info.load(), 0);
  EXPECT_EQ(music_clock_get()->loop_count.load(), 2u);
  EXPECT_EQ(music_set_order(2), 1);
  EXPECT_EQ(music_set_order(3), 0); // outside the song
  EXPECT_EQ(music_set_order(-1), 0);
  EXPECT_TRUE(music_stop(0));
  EXPECT_EQ(music_set_order(1), 0); // nothing plays
  EXPECT_EQ(music_play(0), 0);      // the module is gone
  EXPECT_TRUE(music_shutdown());
  EXPECT_FALSE(sound_is_open());
}

// ---- the virtual clock ----

TEST_F(music_test, virtual_positions_are_exact) {
  EXPECT_EQ(music_virtual_tick_sample(0), 0u);
  EXPECT_EQ(music_virtual_tick_sample(1), 617u);
  EXPECT_EQ(music_virtual_tick_sample(2), 1234u);
  EXPECT_EQ(music_virtual_tick_sample(5), 3087u);
  EXPECT_EQ(music_virtual_tick_sample(5000000001ull), 3087000000617ull);
  EXPECT_EQ(music_virtual_frame_sample(1, 60), 735u);
  EXPECT_EQ(music_virtual_frame_sample(1, 144), 306u);
  EXPECT_EQ(music_virtual_frame_sample(144, 144), 44100u);
  EXPECT_EQ(music_virtual_frame_sample(7, 0), 0u);
  EXPECT_EQ(music_virtual_frame_sample(1ull << 40, 60), (1ull << 40) / 60 * 44100 + (1ull << 40) % 60 * 44100 / 60);
  // Not in virtual mode: nothing moves.
  EXPECT_EQ(music_virtual_advance(1000, nullptr), -1);
  EXPECT_EQ(music_virtual_now(), 0u);
  // Virtual mode only while the output is closed.
  ASSERT_TRUE(music_init(nullptr, MUSIC_INIT_MEMORY, 0));
  EXPECT_EQ(music_virtual_enable(1), 0);
}

TEST_F(music_test, virtual_time_passes_without_music) {
  ASSERT_TRUE(music_virtual_enable(1));
  uint64_t frames = 0;
  music_virtual_output out{.samples =
                               [](void* user, const int16_t* data, uint32_t n) {
                                 for (uint32_t i = 0; i < n * 2; i++)
                                   ASSERT_EQ(data[i], 0);
                                 *static_cast<uint64_t*>(user) += n;
                               },
                           .user = &frames};
  EXPECT_EQ(music_virtual_advance(10000, &out), 0); // no timer: no ticks
  EXPECT_EQ(frames, 10000u);
  ASSERT_TRUE(music_timer_start(0.1f));
  // A tick exactly at the end of the span belongs to it.
  EXPECT_EQ(music_virtual_advance(617, &out), 1);
  EXPECT_EQ(music_virtual_advance_to(10000 + 1234 - 1, &out), 0);
  EXPECT_EQ(music_virtual_advance_to(10000 + 1234, &out), 1);
  EXPECT_EQ(music_virtual_advance_to(5, &out), 0); // the past: nothing
  EXPECT_EQ(frames, 11234u);
  EXPECT_EQ(music_clock_get()->order.load(), 0xFFFFFFFFu); // no song
}

// The tick-by-tick order and row do not depend on the frame rate, equal what
// songinfo --trace prints, and follow libopenmpt's own row start times.
TEST_F(music_test, tick_trace_is_the_same_at_every_frame_rate) {
  testkit_tempdir dir;
  const std::string path = write_song(dir, "trace.xm", trace_song());
  const uint64_t pass = pass_samples(path);
  const std::vector<trace_entry> at60 = virtual_trace(path, 60, pass);
  const std::vector<trace_entry> at30 = virtual_trace(path, 30, pass);
  const std::vector<trace_entry> at144 = virtual_trace(path, 144, pass);
  // Every run goes at least to the pass's end; compare the ticks of the pass.
  size_t in_pass = 0;
  while (in_pass < at60.size() && music_virtual_tick_sample(in_pass + 1) <= pass)
    in_pass++;
  ASSERT_GT(in_pass, 100u);
  ASSERT_GE(at30.size(), in_pass);
  ASSERT_GE(at144.size(), in_pass);
  for (size_t i = 0; i < in_pass; i++) {
    ASSERT_EQ(at60[i].tick, int32_t(i + 1));
    ASSERT_EQ(at30[i], at60[i]) << i;
    ASSERT_EQ(at144[i], at60[i]) << i;
  }

  std::string printed;
  ASSERT_EQ(testkit_run(testkit_bin_dir() + "/songinfo --trace " + path, &printed), 0);
  std::istringstream lines(printed);
  std::vector<trace_entry> from_tool;
  int32_t tick, order, row;
  while (lines >> tick >> order >> row)
    from_tool.push_back({tick, uint32_t(order), uint32_t(row)});
  ASSERT_EQ(from_tool.size(), in_pass);
  for (size_t i = 0; i < in_pass; i++)
    ASSERT_EQ(from_tool[i], at60[i]) << i;

  // Against libopenmpt's row start times: the first tick that shows a row
  // comes at most one song tick plus one timer tick after the row starts.
  std::vector<uint8_t> bytes = testkit_read_file(path);
  int error = 0;
  openmpt_module* m = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent, nullptr,
                                                         openmpt_error_func_ignore, nullptr, &error, nullptr, nullptr);
  ASSERT_NE(m, nullptr);
  const double max_song_tick = 2.5 / 125;
  size_t rows_seen = 0;
  for (size_t i = 0; i < in_pass; i++) {
    if (i > 0 && at60[i].order == at60[i - 1].order && at60[i].row == at60[i - 1].row)
      continue;
    rows_seen++;
    const double at = double(music_virtual_tick_sample(i + 1)) / MUSIC_SAMPLE_RATE;
    const double start = openmpt_module_set_position_order_row(m, int32_t(at60[i].order), int32_t(at60[i].row));
    EXPECT_GE(at, start - 1e-6) << at60[i];
    EXPECT_LE(at, start + max_song_tick + 0.014 + 1e-6) << at60[i];
  }
  openmpt_module_destroy(m);
  EXPECT_EQ(rows_seen, 8u + 6 + 10 + 5); // every row of the pass shows
}

TEST_F(music_test, virtual_runs_repeat_bit_for_bit) {
  testkit_tempdir dir;
  const std::string path = write_song(dir, "song.xm", trace_song());
  std::vector<int16_t> first, second;
  const std::vector<trace_entry> a = virtual_trace(path, 60, 80000, &first);
  const std::vector<trace_entry> b = virtual_trace(path, 60, 80000, &second);
  EXPECT_EQ(a, b);
  ASSERT_EQ(first.size(), second.size());
  EXPECT_GE(first.size(), 2u * 80000);
  EXPECT_TRUE(first == second);
  size_t loud = 0;
  for (int16_t v : first)
    loud += v != 0;
  EXPECT_GT(loud, first.size() / 2);
}

// ---- real time ----

namespace {

// Plays the song from the archive with the real timer on the output in use,
// updating the clock like the frame loop; checks ticks and song progress.
void expect_real_time_clock() {
  testkit_tempdir dir(true);
  std::string error;
  const std::vector<uint16_t> rows = {16, 16, 16, 16};
  ASSERT_TRUE(pfs_writer_write("data.dat", {{"vorlane.xm", music_test_song_bytes(rows, 3, 125)}}, &error)) << error;
  pfs_device_reset();
  ASSERT_TRUE(vfs_device_enable(&pfs_device, 0));
  ASSERT_TRUE(vfs_device_init(&pfs_device, 0, 0));
  ASSERT_TRUE(music_init(nullptr, MUSIC_INIT_MEMORY, 0));
  EXPECT_STREQ(sound_driver(), "dummy");
  ASSERT_TRUE(music_load("data/vorlane.xm"));
  ASSERT_TRUE(music_play(0));
  ASSERT_TRUE(music_timer_start(0.1f));
  const test_clock::time_point start = test_clock::now();
  const music_clock* c = music_clock_get();
  int32_t summed = 0;
  while (seconds_since(start) < 1.5) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    music_clock_update();
    if (c->frame_delta.load() > 0.0f)
      summed += c->frame_tick_delta.load();
  }
  const double elapsed = seconds_since(start);
  const int32_t ticks = c->tick_count.load();
  // A loaded machine may delay the timer thread now and then; it never runs fast.
  EXPECT_GT(ticks, elapsed / 0.014 * 0.85 - 2);
  EXPECT_LT(ticks, elapsed / 0.014 * 1.02 + 2);
  EXPECT_LE(summed, ticks);
  EXPECT_GE(summed, ticks - 2);
  const uint32_t order = c->order.load(), row = c->row.load();
  ASSERT_LT(order, 4u);
  const double played = (order * 16 + row) * music_test_row_seconds(3, 125);
  EXPECT_GT(played, elapsed * 0.85 - 0.12) << order << ":" << row << " after " << elapsed;
  EXPECT_LT(played, elapsed * 1.05 + 0.1) << order << ":" << row << " after " << elapsed;
  ASSERT_TRUE(music_shutdown());
  EXPECT_EQ(timer_count(), 0);
  EXPECT_FALSE(sound_is_open());
}

} // namespace

TEST_F(music_test, real_time_clock_follows_the_song) { expect_real_time_clock(); }

TEST_F(music_test, real_time_clock_runs_without_a_sound_device) {
  setenv("SDL_AUDIODRIVER", "alsa", 1);
  setenv("AUDIODEV", "hw:99", 1);
  expect_real_time_clock();
  unsetenv("AUDIODEV");
  setenv("SDL_AUDIODRIVER", "dummy", 1);
}

// A fatal error ends the program with the song playing and the timer
// running: the timer thread is joined and the audio device closed at exit,
// so the process ends with its status instead of crashing or hanging.
TEST_F(music_test, exit_with_music_running_is_clean) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  testkit_tempdir dir;
  const std::string path = write_song(dir, "song.xm", music_test_song({16, 16}, 3, 125));
  EXPECT_EXIT(
      {
        if (!music_init(path.c_str(), MUSIC_INIT_MEMORY | MUSIC_INIT_PLAY, 0))
          std::_Exit(3);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        if (music_clock_get()->tick_count.load() < 5)
          std::_Exit(4);
        std::fprintf(stderr, "playing\n");
        std::exit(1);
      },
      ::testing::ExitedWithCode(1), "playing");
}

// ---- songinfo ----

TEST_F(music_test, songinfo_describes_a_song) {
  testkit_tempdir dir;
  xm_song song = music_test_song({8, 16, 4}, 6, 125);
  song.orders = {0, 2, 1, 2};
  const std::string path = write_song(dir, "info.xm", song);
  std::string out;
  ASSERT_EQ(testkit_run(testkit_bin_dir() + "/songinfo " + path, &out), 0);
  EXPECT_EQ(out, "orders: 4\n"
                 "order 0: pattern 0, 8 rows\n"
                 "order 1: pattern 2, 4 rows\n"
                 "order 2: pattern 1, 16 rows\n"
                 "order 3: pattern 2, 4 rows\n"
                 "duration: 3.840 seconds\n");
  testkit_write_file(dir.file("bad.xm"), testkit_random_bytes(500, 9));
  EXPECT_NE(testkit_run(testkit_bin_dir() + "/songinfo " + dir.file("bad.xm") + " 2>/dev/null", &out), 0);
  EXPECT_NE(testkit_run(testkit_bin_dir() + "/songinfo --trace " + dir.file("bad.xm") + " 2>/dev/null", &out), 0);
  EXPECT_NE(testkit_run(testkit_bin_dir() + "/songinfo --wav " + dir.file("bad.wav") + " " + dir.file("bad.xm") +
                            " 2>/dev/null",
                        &out),
            0);
  EXPECT_FALSE(std::ifstream(dir.file("bad.wav")).good());
}

TEST_F(music_test, songinfo_renders_one_pass_to_wav) {
  testkit_tempdir dir;
  const std::string path = write_song(dir, "song.xm", trace_song());
  // The pass as the virtual clock renders it, tick by tick, up to the
  // sound layer's first wrap of the song.
  ASSERT_TRUE(music_virtual_enable(1));
  ASSERT_TRUE(music_init(path.c_str(), MUSIC_INIT_MEMORY | MUSIC_INIT_PLAY, 0));
  sound_song* playing = music_current_song();
  ASSERT_NE(playing, nullptr);
  std::vector<int16_t> audio;
  music_virtual_output output{.samples =
                                  [](void* user, const int16_t* data, uint32_t frames) {
                                    auto* a = static_cast<std::vector<int16_t>*>(user);
                                    a->insert(a->end(), data, data + size_t(frames) * 2);
                                  },
                              .user = &audio};
  for (uint64_t k = 1; sound_song_loops(playing) == 0 && k < 100000; k++)
    music_virtual_advance_to(music_virtual_tick_sample(k), &output);
  const uint64_t pass = sound_song_wrap_frame(playing);
  music_reset();
  // It ends within one song tick of the library's estimate of the length.
  EXPECT_NEAR(double(pass), double(pass_samples(path)), 44100 * 2.5 / 125);
  ASSERT_LE(pass * 2, audio.size());

  std::string out;
  ASSERT_EQ(testkit_run(testkit_bin_dir() + "/songinfo --wav " + dir.file("out.wav") + " " + path, &out), 0);
  const std::vector<uint8_t> wav = testkit_read_file(dir.file("out.wav"));
  ASSERT_EQ(wav.size(), 44 + pass * 4);
  auto u32 = [&](size_t at) { return uint32_t(wav[at] | wav[at + 1] << 8 | wav[at + 2] << 16 | wav[at + 3] << 24); };
  auto u16 = [&](size_t at) { return uint32_t(wav[at] | wav[at + 1] << 8); };
  EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
  EXPECT_EQ(u32(4), 36 + pass * 4);
  EXPECT_EQ(std::string(wav.begin() + 8, wav.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(u16(20), 1u);
  EXPECT_EQ(u16(22), 2u);
  EXPECT_EQ(u32(24), 44100u);
  EXPECT_EQ(u16(34), 16u);
  EXPECT_EQ(u32(40), pass * 4);
  for (size_t i = 0; i < pass * 2; i++)
    ASSERT_EQ(int16_t(u16(44 + i * 2)), audio[i]) << i;
}

// A pattern loop (E6x) jumps back inside one pass: the trace and the WAV go
// on through the loop's repeats to the song's real end.
TEST_F(music_test, songinfo_plays_a_pattern_loop_whole) {
  testkit_tempdir dir;
  xm_song song = music_test_song({16, 16}, 3, 125);
  xm_pattern_cell(song.patterns[0], song.channels, 0, 3) = {0, 0, 0, 0x0E, 0x60}; // loop start
  xm_pattern_cell(song.patterns[0], song.channels, 7, 3) = {0, 0, 0, 0x0E, 0x62}; // back twice
  const std::string path = write_song(dir, "loop.xm", song);
  // Rows 0-7 three times, rows 8-15, then order 1: 48 rows of 60 ms.
  std::vector<std::pair<uint32_t, uint32_t>> expected;
  for (int pass = 0; pass < 3; pass++)
    for (uint32_t r = 0; r < 8; r++)
      expected.push_back({0, r});
  for (uint32_t r = 8; r < 16; r++)
    expected.push_back({0, r});
  for (uint32_t r = 0; r < 16; r++)
    expected.push_back({1, r});
  const double seconds = 48 * music_test_row_seconds(3, 125);

  std::string out;
  ASSERT_EQ(testkit_run(testkit_bin_dir() + "/songinfo " + path, &out), 0);
  char line[64];
  std::snprintf(line, sizeof(line), "duration: %.3f seconds\n", seconds);
  EXPECT_NE(out.find(line), std::string::npos) << out;

  std::string printed; // (the runner appends to what it is given)
  ASSERT_EQ(testkit_run(testkit_bin_dir() + "/songinfo --trace " + path, &printed), 0);
  std::istringstream lines(printed);
  std::vector<std::pair<uint32_t, uint32_t>> visits; // rows in the order they show
  int32_t tick, order, row, ticks = 0;
  while (lines >> tick >> order >> row) {
    ASSERT_EQ(tick, ++ticks);
    if (visits.empty() || visits.back() != std::pair{uint32_t(order), uint32_t(row)})
      visits.push_back({uint32_t(order), uint32_t(row)});
  }
  EXPECT_EQ(visits, expected);
  EXPECT_NEAR(ticks * 0.014, seconds, 0.014);

  ASSERT_EQ(testkit_run(testkit_bin_dir() + "/songinfo --wav " + dir.file("loop.wav") + " " + path, &out), 0);
  EXPECT_EQ(testkit_read_file(dir.file("loop.wav")).size(), 44 + size_t(std::llround(seconds * 44100)) * 4);
}

TEST_F(music_test, songinfo_trace_reaches_the_last_row_whatever_the_tempo) {
  // At tempos where a song tick is not a whole number of milliseconds the
  // library's length estimate can fall a row short of the real pass (175) or
  // run into the next one (97).
  testkit_tempdir dir;
  for (uint16_t tempo : {125, 175, 97}) {
    SCOPED_TRACE(tempo);
    const std::string path = write_song(dir, "tempo.xm", music_test_song(std::vector<uint16_t>(20, 64), 3, tempo));
    std::string out;
    ASSERT_EQ(testkit_run(testkit_bin_dir() + "/songinfo --trace " + path, &out), 0);
    ASSERT_FALSE(out.empty());
    const size_t last = out.rfind('\n', out.size() - 2);
    int tick = 0, order = -1, row = -1;
    ASSERT_EQ(std::sscanf(out.c_str() + (last == std::string::npos ? 0 : last + 1), "%d %d %d", &tick, &order, &row),
              3);
    EXPECT_EQ(order, 19);
    EXPECT_EQ(row, 63) << "one whole pass, and nothing of the next";
  }
}
