// Music player, music clock and frame timer. Songs are read through the file
// device into memory and played by the sound layer; a 14 ms timer copies the
// song's order and row into music_clock at every tick, and the shell turns
// the tick counters into per-frame deltas once per frame.
//
// In virtual mode (music_virtual_enable before music_init) no audio device
// and no timer thread are used: music_virtual_advance moves simulated time,
// rendering the song and running the tick routine at every 14 ms boundary.
#pragma once

#include <atomic>
#include <cmath>
#include <cstdint>

struct sound_song;

// Mode word bits.
enum : uint32_t {
  MUSIC_USE_MIDAS = 0x1000,   // calls go to the second library; clear: the first
  MUSIC_FROM_MEMORY = 0x2000, // songs may be loaded through the file device
};

// Flags of music_init.
enum : uint32_t {
  MUSIC_INIT_MEMORY = 0x2000, // mode word becomes MUSIC_FROM_MEMORY
  MUSIC_INIT_MIDAS = 0x1000,  // start the second library
  MUSIC_INIT_PLAY = 0x100,    // play the song named in the call (and start the timer)
  MUSIC_INIT_TIMER = 0x001,   // start the timer
};

// Error codes (music_error).
enum : int32_t {
  MUSIC_ERROR_TIMER = 0x100,
  MUSIC_ERROR_IO_FETCH = 0x101,
  MUSIC_ERROR_MIDAS_STARTUP = 0x1000,
  MUSIC_ERROR_MIDAS_CONFIG = 0x1001,
  MUSIC_ERROR_MIDAS_INIT = 0x1002,
  MUSIC_ERROR_MIDAS_BACKGROUND = 0x1003,
  MUSIC_ERROR_MIDAS_LOAD = 0x1004,
  MUSIC_ERROR_FMOD_INIT = 0x20001,
  MUSIC_ERROR_FMOD_LOAD = 0x20002,
  MUSIC_ERROR_FMOD_MEMLOAD = 0x20003,
};

// Milliseconds per timer tick.
constexpr uint32_t MUSIC_TICK_MS = 14;

// The clock every effect reads. The timer thread writes the tick counters and
// the song position, the main thread reads them: each field is one 32-bit
// atomic (relaxed order suffices: fields need not agree with each other).
struct music_clock {
  std::atomic<float> frame_delta;        // ticks between the two latest updates; 0 when none passed
  std::atomic<float> ticks;              // ticks counted, +1.0 per tick
  std::atomic<int32_t> frame_tick_delta; // tick_count difference of the latest update in which time advanced
  std::atomic<int32_t> tick_count;       // ticks counted, +1 per tick
  std::atomic<uint32_t> order;           // song order, refreshed at every tick (all bits set: no song)
  std::atomic<uint32_t> pattern;         // second library only
  std::atomic<uint32_t> row;             // row within the pattern
  std::atomic<int32_t> sync_info;        // second library only
  std::atomic<uint32_t> loop_count;      // second library only
  // Per-frame update only: the counters seen at the last update where time advanced.
  float last_ticks;
  int32_t last_tick_count;
};

// The ticks an effect moves on by in this frame: the frame delta, or 0 when
// the clock reports nonsense (not a number, or time running backwards).
inline float music_frame_delta(const music_clock* c) {
  const float fd = c->frame_delta;
  return std::isfinite(fd) && fd >= 0 ? fd : 0.0f;
}

extern std::atomic<uint32_t> music_mode; // 0x1000 at start; read by the timer thread too
extern int32_t music_error;              // last error code; reading its text keeps it

int music_init(const char* name, uint32_t flags, int32_t reserved);
int music_load_file(const char* name);
int music_load(const char* name);
int music_play(int32_t reserved);
int music_set_order(int32_t order);
int music_stop(int32_t reserved);
music_clock* music_clock_get();
void music_clock_update();
int music_timer_start(float reserved);
int music_timer_stop();
int music_shutdown();
const char* music_error_text();

// The tick routine (run by the timer, or by the virtual clock): ignored when
// id is not the running timer's identifier.
void music_tick(uint32_t id);
// Identifier of the running timer (0: none runs).
uint32_t music_timer_id();
int music_timer_running();
// The song the clock follows (the first library's song, or the second's play
// handle), for tools that ask the sound layer more about it; none when no
// song is loaded.
sound_song* music_current_song();

// Returns the whole module to its state at program start (songs stopped and
// freed, timer stopped, output closed, mode word 0x1000, error 0, clock
// zero, real-time mode). For tests and tools that run several shows in turn.
void music_reset();

// ---- Virtual clock ----

constexpr uint32_t MUSIC_SAMPLE_RATE = 44100;

// What a virtual advance hands out. Both operations are optional.
struct music_virtual_output {
  // Rendered audio: frames of interleaved stereo 16-bit samples, in order.
  void (*samples)(void* user, const int16_t* data, uint32_t frames);
  // Called right after each tick routine ran, with the clock it updated.
  void (*tick)(void* user, const music_clock* clock);
  void* user;
};

// Switches virtual mode on or off; only before music_init (or after
// music_shutdown/music_reset closed the output). 1 on success.
int music_virtual_enable(int on);
int music_virtual_active();

// Sample position of tick k after the timer started: floor(k * 3087 / 5),
// 14 ms at 44,100 Hz with no rounding drift.
uint64_t music_virtual_tick_sample(uint64_t k);
// Sample position of the start of frame n at fps frames per second:
// floor(n * 44100 / fps); 0 for fps 0.
uint64_t music_virtual_frame_sample(uint64_t frame, uint32_t fps);

// Current simulated time in samples since virtual mode was enabled.
uint64_t music_virtual_now();

// Advances simulated time by span samples: renders the playing song up to
// each tick boundary in turn, runs the tick routine there (a tick exactly at
// the span's end belongs to this span), and renders on to the end of the
// span. Returns the number of ticks run, or -1 when not in virtual mode.
int64_t music_virtual_advance(uint64_t span, const music_virtual_output* output);
// Advances to an absolute sample position (nothing when already there or past).
int64_t music_virtual_advance_to(uint64_t position, const music_virtual_output* output);
// Advances to the end of frame `frame` (that is, the start of frame + 1) at fps.
int64_t music_virtual_advance_frame(uint64_t frame, uint32_t fps, const music_virtual_output* output);
