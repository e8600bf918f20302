// A video layer for tests: records what the drivers ask of it, fails where a
// test tells it to, and delivers the events a test queues.
#pragma once

#include "video.h"

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

struct fake_video {
  // What succeeds.
  int startup_ok = 1;
  int list_ok = 1;
  int window_ok = 1;
  int renderer_ok = 1;
  int full_screen_ok = 1;
  int set_mode_ok = 1;
  int surface_ok = 1;
  int bitmap_ok = 1;
  uint32_t format_result = VIDEO_OK;
  video_pixel_format format{16, 0xF800, 0x07E0, 0x001F};
  int32_t extra_pitch = 0; // bytes beyond each row of the surface
  int lose_surface = 0;    // the next lock finds the surface lost

  std::vector<video_mode> modes;

  // What happened.
  int startups = 0, shutdowns = 0, list_calls = 0;
  int windows_created = 0, windows_destroyed = 0, window_exists = 0;
  std::string title;
  int32_t window_w = 0, window_h = 0, full_screen = 0;
  video_handler handler = nullptr;
  void* context = nullptr;
  int renderers = 0, full_screens = 0;
  int32_t mode_w = 0, mode_h = 0, mode_bits = 0;
  std::vector<uint8_t> surface;
  int32_t pitch = 0;
  int locks = 0, unlocks = 0, restores = 0;
  std::vector<uint32_t> bitmap;
  int shows = 0;
  int pumps = 0, idles = 0;
  std::map<int32_t, int32_t> timers; // id -> period
  int32_t cursor_x = 0, cursor_y = 0;
  int cursor_moves = 0, cursor_hidden = 0;
  int shift_held = 0, caps_on = 0;

  std::deque<video_event> events;
};

// The fake in use (a fresh one for every test), installed as video_layer.
extern fake_video* fake;
void fake_video_install();
void fake_video_remove();

// The classic modes, as the real layer lists them.
std::vector<video_mode> fake_video_classic_modes();
// Queues an event for the next pump.
void fake_video_event(int32_t type, int32_t a = 0, int32_t b = 0);
