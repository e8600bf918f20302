// The sound layer (libopenmpt songs, SDL audio with its silent fallback) and
// the periodic timer.
#include "music_songs.h"
#include "sound.h"
#include "sound_fmod.h"
#include "sound_midas.h"
#include "testkit.h"
#include "timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

using test_clock = std::chrono::steady_clock;

double seconds_since(test_clock::time_point start) {
  return std::chrono::duration<double>(test_clock::now() - start).count();
}

// Every test starts and ends with the output closed and no songs left.
struct sound_test : ::testing::Test {
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    sound_close();
    sound_set_virtual(0);
  }
  void TearDown() override {
    for (sound_song* s : songs)
      sound_song_free(s);
    sound_close();
    sound_set_virtual(0);
  }
  sound_song* load(const std::vector<uint8_t>& bytes) {
    sound_song* s = sound_song_load_memory(bytes.data(), bytes.size());
    if (s)
      songs.push_back(s);
    return s;
  }
  std::vector<sound_song*> songs;
};

std::vector<int16_t> render(uint32_t frames) {
  std::vector<int16_t> out(size_t(frames) * 2);
  EXPECT_EQ(sound_render(out.data(), frames), frames);
  return out;
}

} // namespace

// ---- loading ----

TEST_F(sound_test, bad_songs_do_not_load) {
  std::vector<uint8_t> good = music_test_song_bytes({8}, 6, 125);
  std::vector<uint8_t> corrupt = good;
  corrupt[3] = 'X'; // "Extended Module: " broken
  EXPECT_EQ(load(corrupt), nullptr);
  std::vector<uint8_t> header_cut(good.begin(), good.begin() + 50);
  EXPECT_EQ(load(header_cut), nullptr);
  EXPECT_EQ(sound_song_load_memory(good.data(), 0), nullptr);
  EXPECT_EQ(sound_song_load_memory(nullptr, 100), nullptr);
  EXPECT_EQ(fmusic_load_song_memory(good.data(), -5), nullptr);
  EXPECT_EQ(load(testkit_random_bytes(4000, 7)), nullptr);
  EXPECT_EQ(sound_song_load_file("no-such-song.xm"), nullptr);
  EXPECT_EQ(sound_song_load_file(nullptr), nullptr);
  testkit_tempdir dir;
  testkit_write_file(dir.file("empty.xm"), {});
  EXPECT_EQ(fmusic_load_song(dir.file("empty.xm").c_str()), nullptr);
  EXPECT_EQ(midas_load_module(dir.file("empty.xm").c_str()), nullptr);
  testkit_write_file(dir.file("good.xm"), good);
  sound_song* from_file = fmusic_load_song(dir.file("good.xm").c_str());
  ASSERT_NE(from_file, nullptr);
  songs.push_back(from_file);
  EXPECT_EQ(sound_song_num_orders(from_file), 1);
}

// libopenmpt reads a truncated song leniently; whatever it makes of it must
// play without harm.
TEST_F(sound_test, truncated_songs_play_safely) {
  ASSERT_TRUE(sound_set_virtual(1));
  ASSERT_TRUE(sound_open(SOUND_RATE));
  const std::vector<uint8_t> good = music_test_song_bytes({8, 8}, 2, 200);
  for (size_t cut : {size_t(400), size_t(700), good.size() / 2, good.size() - 3}) {
    std::vector<uint8_t> part(good.begin(), good.begin() + long(cut));
    sound_song* s = load(part);
    if (!s)
      continue;
    EXPECT_TRUE(sound_song_play(s));
    render(20000);
    EXPECT_GE(sound_song_order(s), 0);
    sound_song_free(s);
    songs.pop_back();
  }
}

TEST_F(sound_test, facts_of_a_song) {
  const std::vector<uint16_t> rows = {8, 16, 4};
  xm_song x = music_test_song(rows, 6, 125);
  x.orders = {2, 0, 1, 2};
  std::vector<uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(xm_writer_encode(x, &bytes, &error));
  sound_song* s = load(bytes);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(sound_song_num_orders(s), 4);
  EXPECT_EQ(sound_song_order_pattern(s, 0), 2);
  EXPECT_EQ(sound_song_order_pattern(s, 3), 2);
  EXPECT_EQ(sound_song_order_pattern(s, 4), -1);
  EXPECT_EQ(sound_song_pattern_rows(s, 1), 16);
  EXPECT_EQ(sound_song_pattern_rows(s, 7), 0);
  EXPECT_NEAR(sound_song_duration(s), (4 + 8 + 16 + 4) * music_test_row_seconds(6, 125), 1e-6);
}

// ---- handles ----

TEST_F(sound_test, no_song_and_freed_songs_answer_minus_one) {
  EXPECT_EQ(fmusic_get_order(nullptr), -1);
  EXPECT_EQ(fmusic_get_row(nullptr), -1);
  EXPECT_EQ(fmusic_play_song(nullptr), 0);
  EXPECT_EQ(fmusic_stop_song(nullptr), 0);
  EXPECT_EQ(fmusic_set_order(nullptr, 0), 0);
  EXPECT_EQ(fmusic_free_song(nullptr), 0);
  midas_play_status status{};
  EXPECT_EQ(midas_get_play_status(nullptr, &status), 0);
  EXPECT_EQ(status.position, 0xFFFFFFFFu);
  EXPECT_EQ(status.row, 0xFFFFFFFFu);
  EXPECT_EQ(status.sync_info, 0);
  EXPECT_EQ(status.loop_count, 0u);

  const std::vector<uint8_t> bytes = music_test_song_bytes({8}, 6, 125);
  sound_song* s = sound_song_load_memory(bytes.data(), bytes.size());
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(fmusic_get_order(s), 0);
  EXPECT_EQ(fmusic_get_row(s), 0);
  EXPECT_EQ(fmusic_free_song(s), 1);
  // The stale handle is recognised, never dereferenced.
  EXPECT_EQ(fmusic_get_order(s), -1);
  EXPECT_EQ(fmusic_play_song(s), 0);
  EXPECT_EQ(fmusic_free_song(s), 0);
}

// ---- playback on rendered output ----

TEST_F(sound_test, order_and_row_follow_the_rendered_audio) {
  ASSERT_TRUE(sound_set_virtual(1));
  ASSERT_TRUE(fsound_init(44100, 32));
  EXPECT_STREQ(sound_driver(), "virtual");
  const std::vector<uint16_t> rows = {8, 4, 6};
  // 125 BPM: a song tick is 882 samples, a row at speed 3 is 2646.
  sound_song* s = load(music_test_song_bytes(rows, 3, 125));
  ASSERT_NE(s, nullptr);
  render(5000); // nothing plays yet: silence, position unchanged
  EXPECT_EQ(fmusic_get_row(s), 0);
  ASSERT_TRUE(fmusic_play_song(s));
  EXPECT_TRUE(sound_song_is_playing(s));
  render(2646 * 5 + 1);
  EXPECT_EQ(fmusic_get_order(s), 0);
  EXPECT_EQ(fmusic_get_row(s), 5);
  render(2646 * 4);
  EXPECT_EQ(fmusic_get_order(s), 1);
  EXPECT_EQ(fmusic_get_row(s), 1);
  ASSERT_TRUE(fmusic_set_order(s, 2));
  render(2646 * 2 + 1);
  EXPECT_EQ(fmusic_get_order(s), 2);
  EXPECT_EQ(fmusic_get_row(s), 2);
  EXPECT_EQ(fmusic_set_order(s, 3), 0); // outside the song: no jump
  EXPECT_EQ(fmusic_set_order(s, -1), 0);
  EXPECT_EQ(fmusic_get_order(s), 2);
  // Stop rewinds.
  ASSERT_TRUE(fmusic_stop_song(s));
  EXPECT_FALSE(sound_song_is_playing(s));
  EXPECT_EQ(fmusic_get_order(s), 0);
  EXPECT_EQ(fmusic_get_row(s), 0);
  std::vector<int16_t> quiet = render(3000);
  EXPECT_EQ(quiet, std::vector<int16_t>(6000, 0));
}

TEST_F(sound_test, wraps_are_counted_and_the_song_goes_on_at_its_restart) {
  ASSERT_TRUE(sound_set_virtual(1));
  ASSERT_TRUE(midas_init());
  ASSERT_TRUE(midas_start_background_play(0));
  xm_song x = music_test_song({8, 4, 6}, 3, 125);
  x.restart = 1;
  std::vector<uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(xm_writer_encode(x, &bytes, &error));
  sound_song* module = load(bytes);
  ASSERT_NE(module, nullptr);
  sound_song* play = midas_play_module(module, 1);
  ASSERT_EQ(play, module);
  const uint32_t row = 2646;
  const uint32_t first_pass = 18 * row, later_pass = 10 * row;
  render(first_pass - 1);
  midas_play_status st{};
  ASSERT_TRUE(midas_get_play_status(play, &st));
  EXPECT_EQ(st.loop_count, 0u);
  EXPECT_EQ(sound_song_wrap_frame(module), 0u);
  EXPECT_EQ(st.position, 2u);
  EXPECT_EQ(st.row, 5u);
  EXPECT_EQ(st.pattern, 2u);
  render(2 + row);
  ASSERT_TRUE(midas_get_play_status(play, &st));
  EXPECT_EQ(st.loop_count, 1u);
  EXPECT_EQ(sound_song_wrap_frame(module), first_pass); // where the pass ended in the output
  EXPECT_EQ(st.position, 1u);                           // the restart order
  EXPECT_EQ(st.row, 1u);
  EXPECT_EQ(st.sync_info, 0);
  render(later_pass * 3);
  ASSERT_TRUE(midas_get_play_status(play, &st));
  EXPECT_EQ(st.loop_count, 4u);
  EXPECT_EQ(sound_song_wrap_frame(module), uint64_t(first_pass) + 3 * later_pass);
  EXPECT_EQ(st.position, 1u);
  // Stopping starts the count again.
  ASSERT_TRUE(midas_stop_module(play));
  EXPECT_EQ(sound_song_loops(module), 0u);
  EXPECT_EQ(sound_song_wrap_frame(module), 0u);
}

TEST_F(sound_test, virtual_renders_repeat_bit_for_bit) {
  ASSERT_TRUE(sound_set_virtual(1));
  ASSERT_TRUE(sound_open(SOUND_RATE));
  const std::vector<uint8_t> bytes = music_test_song_bytes({8, 4}, 3, 140);
  std::vector<int16_t> takes[2];
  for (std::vector<int16_t>& take : takes) {
    sound_song* s = load(bytes);
    ASSERT_NE(s, nullptr);
    sound_song_play(s);
    for (uint32_t chunk : {617u, 1u, 4000u, 617u, 20000u}) {
      std::vector<int16_t> part = render(chunk);
      take.insert(take.end(), part.begin(), part.end());
    }
    sound_song_free(s);
    songs.pop_back();
  }
  EXPECT_EQ(takes[0], takes[1]);
  size_t loud = 0;
  for (int16_t v : takes[0])
    loud += v != 0;
  EXPECT_GT(loud, takes[0].size() / 2);
}

TEST_F(sound_test, playing_songs_are_mixed_with_saturation) {
  ASSERT_TRUE(sound_set_virtual(1));
  ASSERT_TRUE(sound_open(SOUND_RATE));
  const std::vector<uint8_t> bytes = music_test_song_bytes({8}, 3, 125);
  // The mixer works in blocks of one buffer; libopenmpt's last bit depends
  // on the block sizes, so the single song is rendered in the same blocks.
  sound_song* single = load(bytes);
  ASSERT_NE(single, nullptr);
  sound_song_play(single);
  std::vector<int16_t> alone;
  for (int i = 0; i < 6; i++) {
    const std::vector<int16_t> block = render(SOUND_BUFFER_FRAMES);
    alone.insert(alone.end(), block.begin(), block.end());
  }
  sound_song_stop(single);
  // Eight copies at once: loud passages saturate.
  for (int i = 0; i < 8; i++) {
    sound_song* copy = load(bytes);
    ASSERT_NE(copy, nullptr);
    sound_song_play(copy);
  }
  const std::vector<int16_t> all = render(6 * SOUND_BUFFER_FRAMES);
  size_t clipped = 0;
  for (size_t i = 0; i < alone.size(); i++) {
    const int32_t sum = 8 * int32_t(alone[i]);
    clipped += sum > 32767 || sum < -32768;
    ASSERT_EQ(all[i], sum > 32767 ? 32767 : sum < -32768 ? -32768 : sum) << i;
  }
  EXPECT_GT(clipped, 0u);
}

// Real-time playback is exercised through the music clock (test_music).
TEST_F(sound_test, real_output_is_pulled_by_the_device) {
  int16_t out[64];
  EXPECT_EQ(sound_render(out, 32), 0u); // closed
  ASSERT_TRUE(fsound_init(44100, 32));
  EXPECT_STREQ(sound_driver(), "dummy");
  EXPECT_EQ(sound_render(out, 32), 0u); // real output: the device pulls
  EXPECT_EQ(sound_set_virtual(1), 0);   // not while open
  // Closing from inside the lock is refused (it would wait for the callback
  // that waits for the lock).
  sound_lock();
  sound_close();
  EXPECT_TRUE(sound_is_open());
  sound_unlock();
  fsound_close();
  EXPECT_EQ(sound_is_open(), 0);
  EXPECT_STREQ(sound_driver(), "");
}

// ---- timer ----

namespace {

struct tick_counter {
  std::atomic<int32_t> count{0};
  std::atomic<uint32_t> last_id{0};
};

void count_tick(uint32_t id, void* user) {
  tick_counter* c = static_cast<tick_counter*>(user);
  c->last_id.store(id);
  c->count.fetch_add(1);
}

} // namespace

TEST(timer, ticks_at_its_period_without_drift) {
  timer_time time{};
  timer_caps caps{};
  EXPECT_TRUE(timer_get_system_time(&time, sizeof(time)));
  EXPECT_EQ(time.type, 1u);
  EXPECT_FALSE(timer_get_system_time(&time, 4));
  EXPECT_TRUE(timer_get_dev_caps(&caps, sizeof(caps)));
  EXPECT_LE(caps.period_min, 14u);
  EXPECT_FALSE(timer_get_dev_caps(nullptr, sizeof(caps)));

  tick_counter counter;
  const test_clock::time_point start = test_clock::now();
  const uint32_t id = timer_set_event(14, 7, count_tick, &counter, TIMER_PERIODIC);
  ASSERT_NE(id, 0u);
  std::this_thread::sleep_for(std::chrono::milliseconds(1400));
  const int32_t seen = counter.count.load();
  const double elapsed = seconds_since(start);
  EXPECT_TRUE(timer_kill_event(id));
  EXPECT_EQ(counter.last_id.load(), id);
  const double expected = elapsed / 0.014;
  EXPECT_GT(seen, expected * 0.95 - 2) << "after " << elapsed << " s";
  EXPECT_LT(seen, expected * 1.02 + 2) << "after " << elapsed << " s";
  // Killed means joined: nothing ticks any more.
  const int32_t after = counter.count.load();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(counter.count.load(), after);
  EXPECT_EQ(timer_count(), 0);
}

TEST(timer, kill_is_prompt_and_identifiers_are_unique) {
  tick_counter slow;
  const uint32_t a = timer_set_event(60000, 0, count_tick, &slow, TIMER_PERIODIC);
  const uint32_t b = timer_set_event(60000, 0, count_tick, &slow, TIMER_PERIODIC);
  ASSERT_NE(a, 0u);
  ASSERT_NE(b, 0u);
  EXPECT_NE(a, b);
  EXPECT_EQ(timer_count(), 2);
  const test_clock::time_point start = test_clock::now();
  EXPECT_TRUE(timer_kill_event(a));
  EXPECT_LT(seconds_since(start), 2.0); // not a minute
  EXPECT_FALSE(timer_kill_event(a));
  EXPECT_FALSE(timer_kill_event(0));
  EXPECT_FALSE(timer_kill_event(b + 1000));
  timer_kill_all();
  EXPECT_EQ(timer_count(), 0);
  EXPECT_EQ(slow.count.load(), 0);
}

TEST(timer, refuses_bad_requests_and_runs_out_of_slots_cleanly) {
  tick_counter c;
  EXPECT_EQ(timer_set_event(0, 0, count_tick, &c, TIMER_PERIODIC), 0u);
  EXPECT_EQ(timer_set_event(14, 0, nullptr, &c, TIMER_PERIODIC), 0u);
  EXPECT_EQ(timer_set_event(14, 0, count_tick, &c, 0), 0u);
  std::vector<uint32_t> ids;
  for (int i = 0; i < 40; i++) {
    const uint32_t id = timer_set_event(60000, 0, count_tick, &c, TIMER_PERIODIC);
    if (!id)
      break;
    ids.push_back(id);
  }
  EXPECT_GE(ids.size(), 2u);
  EXPECT_LT(ids.size(), 40u);
  EXPECT_EQ(timer_count(), int32_t(ids.size()));
  timer_kill_all();
  EXPECT_EQ(timer_count(), 0);
  // Slots come back.
  const uint32_t again = timer_set_event(60000, 0, count_tick, &c, TIMER_PERIODIC);
  EXPECT_NE(again, 0u);
  EXPECT_TRUE(timer_kill_event(again));
}
