// The display driver record through which all output and keyboard and mouse
// input pass, and the behaviour every driver shares: the key queue, the held
// flags, key translation and the clipping of present.
#pragma once

#include "pixmap.h"

#include <cstdint>

// One display mode: width and height -1 mean any size.
struct display_mode {
  int32_t width;
  int32_t height;
  int32_t bits_per_pixel;
};

struct display_driver {
  const char* name;
  display_mode* (*list_modes)(int32_t* count);
  int32_t (*open)(int32_t width, int32_t height, const char* title, uint32_t flags);
  void (*close)();
  int32_t (*present)(int32_t dx, int32_t dy, const pixmap* pm, int32_t sx, int32_t sy, int32_t w, int32_t h);
  int32_t (*wait_retrace)();
  uint32_t (*capabilities)();
  int32_t (*key_down)(int32_t code);
  int32_t (*read_key)();
  int32_t (*mouse_x)();
  int32_t (*mouse_y)();
  int32_t (*mouse_total_dx)();
  int32_t (*mouse_total_dy)();
  uint32_t (*mouse_buttons)();
  int32_t (*axis_x)(int32_t device);
  int32_t (*axis_y)(int32_t device);
  int32_t (*fire_button)(int32_t device);
  const char* (*error_text)();
};

// Flags of open: the low four bits choose the screen depth of a full-screen
// mode (any other value than these three: 32 bits). The windowed driver
// ignores them.
enum : uint32_t {
  DISPLAY_OPEN_8_BITS = 1,
  DISPLAY_OPEN_16_BITS = 2,
  DISPLAY_OPEN_24_BITS = 4,
  DISPLAY_OPEN_DEPTH_MASK = 15,
};

// Capability bits after a successful open.
enum : uint32_t {
  DISPLAY_CAP_MOUSE = 0x40,
  DISPLAY_CAP_SECOND = 0x0A,
};

// Windows virtual-key codes the drivers and the shell use.
enum : int32_t {
  VK_BACK = 8,
  VK_TAB = 9,
  VK_RETURN = 13,
  VK_SHIFT = 16,
  VK_CONTROL = 17,
  VK_MENU = 18,
  VK_CAPITAL = 20,
  VK_ESCAPE = 27,
  VK_SPACE = 32,
  VK_LEFT = 37,
  VK_UP = 38,
  VK_RIGHT = 39,
  VK_DOWN = 40,
  VK_ADD = 107,
  VK_SUBTRACT = 109,
};

constexpr int DISPLAY_KEY_QUEUE = 256;
constexpr int DISPLAY_KEY_FLAGS = 512;

// The key state every driver keeps: a queue of raw virtual-key codes of key
// presses (auto-repeat included), held flags by translated code, and the
// Shift and Caps Lock state read when a key is taken from the queue.
struct display_keys {
  uint8_t queue[DISPLAY_KEY_QUEUE];
  int32_t head;
  int32_t count;
  uint8_t held[DISPLAY_KEY_FLAGS];
  int32_t shift_down;
  int32_t caps_lock_on;
};

// Translation of a raw virtual-key code (0 for codes without meaning).
int32_t display_translate_key(int32_t vk);
void display_keys_reset(display_keys* keys);
// A key went down: queued unless the queue is full; its held flag is set.
void display_keys_press(display_keys* keys, int32_t vk);
void display_keys_release(display_keys* keys, int32_t vk);
// The oldest key press, translated, upper case while Shift is held or Caps
// Lock is on; 0 when the queue is empty.
int32_t display_keys_read(display_keys* keys);
int32_t display_keys_held(const display_keys* keys, int32_t code);

// Clips a present of pixmap rectangle (sx, sy, w, h) to (dx, dy) on a screen
// of screen_w x screen_h. Returns 0 when nothing remains to draw.
int display_clip(int32_t screen_w, int32_t screen_h, int32_t dx, int32_t dy, const pixmap* pm, int32_t sx, int32_t sy,
                 int32_t w, int32_t h, pixmap_copy_rect* out);

// The rows of a present clipped as display_clip does it: row(x, y, src, n)
// for each, n pixels from src to column x of screen row y, top row first.
// Returns 0 when nothing remains to draw.
template <typename Row>
int display_clip_rows(int32_t screen_w, int32_t screen_h, int32_t dx, int32_t dy, const pixmap* pm, int32_t sx,
                      int32_t sy, int32_t w, int32_t h, const Row& row) {
  pixmap_copy_rect c;
  if (!display_clip(screen_w, screen_h, dx, dy, pm, sx, sy, w, h, &c))
    return 0;
  for (int32_t r = 0; r < c.h; r++)
    row(c.dx, c.dy + r, pm->pixels + pm->rows[c.sy + r] + c.sx, c.w);
  return 1;
}
