// The video platform layer: the window, its event pump, the full-screen modes
// with a lockable primary surface, the 32-bit window bitmap, the cursor and
// the message box. The display drivers reach the system only through the
// table of operations `video_layer`; the SDL2 implementation is the default
// and tests put a fake of their own in its place.
#pragma once

#include <cstdint>

// One event of the window, delivered to the window's handler by pump.
enum : int32_t {
  VIDEO_KEY_DOWN = 1,    // a: Windows virtual-key code (auto-repeat included)
  VIDEO_KEY_UP = 2,      // a: Windows virtual-key code
  VIDEO_ACTIVATE = 3,    // a: 1 when the program became the active one, 0 when it stopped being so
  VIDEO_MOUSE_MOVE = 4,  // a, b: position in the frame's (or mode's) coordinates
  VIDEO_BUTTON_DOWN = 5, // a: VIDEO_BUTTON_LEFT or VIDEO_BUTTON_RIGHT
  VIDEO_BUTTON_UP = 6,   // a: as above
  VIDEO_TIMER = 7,       // a: timer identifier
  VIDEO_CLOSE = 8,       // the window's close button (or the system asked the program to quit)
};

enum : int32_t {
  VIDEO_BUTTON_LEFT = 1,
  VIDEO_BUTTON_RIGHT = 2,
};

struct video_event {
  int32_t type;
  int32_t a;
  int32_t b;
};

using video_handler = void (*)(void* context, const video_event* event);

// A full-screen mode the layer offers.
struct video_mode {
  int32_t width;
  int32_t height;
  int32_t bits_per_pixel;
  int32_t rgb; // nonzero for a direct-colour (RGB) format
};

// The pixel format of the primary surface: its channel masks.
struct video_pixel_format {
  int32_t bits_per_pixel;
  uint32_t red_mask;
  uint32_t green_mask;
  uint32_t blue_mask;
};

// Results of surface_format and lock_surface; 0 is success.
enum : uint32_t {
  VIDEO_OK = 0,
  VIDEO_ERR_INVALID_PARAMS = 0x80070057u,
  VIDEO_ERR_INVALID_OBJECT = 0x88760082u,
  VIDEO_ERR_INVALID_SURFACE_TYPE = 0x88760250u,
  VIDEO_ERR_SURFACE_LOST = 0x887601C2u,
  VIDEO_ERR_GENERIC = 0x80004005u,
};

struct video_window_desc {
  const char* title;
  int32_t width; // the frame's (or mode's) size
  int32_t height;
  int32_t full_screen; // nonzero: a borderless window covering the desktop
  video_handler handler;
  void* context;
};

struct video_layer_ops {
  // Starts and stops the display system (counted: each startup needs its shutdown).
  int (*startup)();
  void (*shutdown)();
  // Writes up to capacity full-screen modes; returns how many exist, -1 on failure.
  int32_t (*list_modes)(video_mode* out, int32_t capacity);

  // The one window: created centred (windowed, scaled for comfort) or covering
  // the desktop; destroying it releases everything made for it.
  int (*create_window)(const video_window_desc* desc);
  void (*destroy_window)();
  // The presentation device for the window.
  int (*create_renderer)();
  // Takes the desktop full screen (full-screen windows only).
  int (*set_full_screen)();
  // Sets a full-screen mode: the picture of width x height is scaled to the screen.
  int (*set_mode)(int32_t width, int32_t height, int32_t bits_per_pixel);

  // The primary surface of the mode: a persistent buffer in the mode's pixel
  // format, shown (in step with the display's refresh) when unlocked.
  int (*create_surface)();
  uint32_t (*surface_format)(video_pixel_format* format);
  uint32_t (*lock_surface)(void** pixels, int32_t* pitch);
  uint32_t (*unlock_surface)();
  uint32_t (*restore_surface)();

  // A 32-bit bitmap (bytes blue, green, red, unused; bottom row first) of the
  // window's frame size; none on failure. show_bitmap hands it to the window
  // in step with the display's refresh.
  uint32_t* (*create_bitmap)(int32_t width, int32_t height);
  void (*show_bitmap)();

  // Delivers every pending event of the window to its handler, timers included.
  void (*pump)();
  // Sleeps about one refresh period (for a program that has nothing to show).
  void (*idle)();
  // A timer of period milliseconds that arrives as VIDEO_TIMER events from pump.
  int (*set_timer)(int32_t id, int32_t period_ms);
  void (*kill_timer)(int32_t id);
  // The pointer in the frame's (or mode's) coordinates, and moving it there.
  void (*cursor_position)(int32_t* x, int32_t* y);
  void (*set_cursor_position)(int32_t x, int32_t y);
  void (*hide_cursor)();
  // The state of a key by virtual-key code: 0x8000 while held, bit 0 while
  // toggled on (Caps Lock).
  int32_t (*key_state)(int32_t vk);
};

// The operations the drivers call; the SDL2 implementation unless a test
// put another in place.
extern const video_layer_ops* video_layer;
extern const video_layer_ops video_sdl_layer;

// How the SDL layer shows its window now (the viewing keys change it):
// full screen or not, smooth scaling or sharp.
void video_sdl_view(int32_t* full_screen, int32_t* smooth);

// Shows a fatal message with an OK button and waits for it. Skipped when the
// environment variable VORLANE_NO_MESSAGE_BOX is set to anything but "0" (the
// tests set it: under a virtual display the box would wait for ever) and
// where no display exists.
void video_message_box(const char* text, const char* caption);
