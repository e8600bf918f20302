#include "gdi.h"

#include "display_window.h"
#include "video.h"

#include <cstring>

namespace {
// The header of the window's bitmap: 32 bits per pixel, a positive height so
// that the rows are stored bottom-up.
struct gdi_bitmap_header {
  uint32_t size;
  int32_t width;
  int32_t height;
  uint16_t planes;
  uint16_t bit_count;
  uint32_t compression;
  uint32_t size_image;
  int32_t x_pels_per_meter;
  int32_t y_pels_per_meter;
  uint32_t colours_used;
  uint32_t colours_important;
};
static_assert(sizeof(gdi_bitmap_header) == 40);

struct gdi_state {
  display_mode modes[1];
  int32_t mode_count;
  gdi_bitmap_header header;
  uint32_t* bits; // the bitmap's pixels, bottom row first
  int32_t width, height;
  display_window win; // the window's flags, keys and pointer
  // Keys kept out of the queue and the held flags.
  int32_t shift, ctrl, alt, left, up, right, down, plus, minus;
  // The arrow flags the last axis_x and axis_y calls read.
  int32_t axis_left, axis_right, axis_up, axis_down;
  int32_t error;
};

gdi_state gdi;

enum : int32_t {
  err_window = 4,
  err_bitmap = 5,
  err_device_context = 6,
};

// The flag a diverted key sets, or none for a key that is queued.
int32_t* diverted_flag(int32_t vk) {
  switch (vk) {
  case VK_SHIFT:
    return &gdi.shift;
  case VK_CONTROL:
    return &gdi.ctrl;
  case VK_MENU:
    return &gdi.alt;
  case VK_LEFT:
    return &gdi.left;
  case VK_UP:
    return &gdi.up;
  case VK_RIGHT:
    return &gdi.right;
  case VK_DOWN:
    return &gdi.down;
  case VK_ADD:
    return &gdi.plus;
  case VK_SUBTRACT:
    return &gdi.minus;
  default:
    return nullptr;
  }
}

void on_event(void*, const video_event* e) {
  int32_t* flag = e->type == VIDEO_KEY_DOWN || e->type == VIDEO_KEY_UP ? diverted_flag(e->a) : nullptr;
  if (flag) {
    *flag = e->type == VIDEO_KEY_DOWN;
  } else if (e->type == VIDEO_MOUSE_MOVE) {
    gdi.win.mouse_x = e->a;
    gdi.win.mouse_y = e->b;
  } else {
    display_window_event(&gdi.win, e);
  }
}

display_mode* gdi_list_modes(int32_t* count) {
  if (gdi.mode_count == 0) {
    gdi.modes[0] = {-1, -1, 32};
    gdi.mode_count = 1;
  }
  if (count)
    *count = gdi.mode_count;
  return gdi.modes;
}

int32_t gdi_open(int32_t width, int32_t height, const char* title, uint32_t) {
  gdi_list_modes(nullptr);
  gdi.header = gdi_bitmap_header{};
  gdi.header.size = sizeof(gdi_bitmap_header);
  gdi.header.width = width;
  gdi.header.height = height;
  gdi.header.planes = 1;
  gdi.header.bit_count = 32;

  gdi.win.open = 0; // a second open replaces the first window and its bitmap
  gdi.bits = nullptr;
  const video_window_desc desc{title, width, height, 0, on_event, nullptr};
  if (!video_layer->create_window(&desc)) {
    gdi.error = err_window;
    return 0;
  }
  video_layer->hide_cursor();
  if (!video_layer->create_renderer()) {
    video_layer->destroy_window();
    gdi.error = err_device_context;
    return 0;
  }
  uint32_t* bits = video_layer->create_bitmap(gdi.header.width, gdi.header.height);
  if (!bits) {
    video_layer->destroy_window();
    gdi.error = err_bitmap;
    return 0;
  }
  gdi.bits = bits;
  gdi.width = width;
  gdi.height = height;
  gdi.win.mouse_x = width / 2;
  gdi.win.mouse_y = height / 2;
  gdi.win.buttons = 0;
  display_keys_reset(&gdi.win.keys);
  gdi.shift = gdi.ctrl = gdi.alt = gdi.left = gdi.up = gdi.right = gdi.down = gdi.plus = gdi.minus = 0;
  display_window_opened(&gdi.win);
  return 1;
}

void gdi_close() {
  video_layer->destroy_window(); // the window and its bitmap
  gdi.bits = nullptr;
  gdi.win.open = 0;
}

int32_t gdi_present(int32_t dx, int32_t dy, const pixmap* pm, int32_t sx, int32_t sy, int32_t w, int32_t h) {
  if (!display_window_ready(&gdi.win))
    return 0;
  if (w <= 0 || h <= 0)
    return 0;
  display_clip_rows(gdi.width, gdi.height, dx, dy, pm, sx, sy, w, h,
                    [](int32_t x, int32_t y, const uint32_t* src, int32_t n) {
                      // The bitmap's rows run bottom-up.
                      uint32_t* dst = gdi.bits + size_t(gdi.height - 1 - y) * size_t(gdi.width) + x;
                      for (int32_t i = 0; i < n; i++) {
                        // Bytes red, green, blue become blue, green, red; the fourth stays.
                        const uint32_t p = src[i];
                        dst[i] = (dst[i] & 0xFF000000u) | (p & 0xFFu) << 16 | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
                      }
                    });
  // The whole bitmap goes to the window, in step with the display's refresh:
  // this is the frame's one wait.
  video_layer->show_bitmap();
  return 1;
}

int32_t gdi_wait_retrace() {
  video_layer->pump();
  return 0;
}

uint32_t gdi_capabilities() { return display_window_capabilities(&gdi.win); }
int32_t gdi_key_down(int32_t code) { return display_window_key_down(&gdi.win, code); }

int32_t gdi_read_key() {
  video_layer->pump();
  return display_window_read_key(&gdi.win);
}

int32_t gdi_mouse_x() { return display_window_mouse_x(&gdi.win); }
int32_t gdi_mouse_y() { return display_window_mouse_y(&gdi.win); }
// The summed movement is the position itself.
int32_t gdi_mouse_total_dx() { return gdi.win.mouse_present ? gdi.win.mouse_x : 0; }
int32_t gdi_mouse_total_dy() { return gdi.win.mouse_present ? gdi.win.mouse_y : 0; }
uint32_t gdi_mouse_buttons() { return display_window_mouse_buttons(&gdi.win); }

int32_t gdi_axis_x(int32_t device) {
  if (device != 0)
    return 0;
  gdi.axis_left = gdi.left;
  gdi.axis_right = gdi.right;
  return 255 * gdi.axis_right - 255 * gdi.axis_left;
}

int32_t gdi_axis_y(int32_t device) {
  if (device != 0)
    return 0;
  gdi.axis_up = gdi.up;
  gdi.axis_down = gdi.down;
  return 255 * gdi.axis_up - 255 * gdi.axis_down;
}

int32_t gdi_fire_button(int32_t) { return 0; }

const char* gdi_error_text() {
  const int32_t code = gdi.error;
  gdi.error = 0;
  switch (code) {
  case 0:
    return "[Win32gdi] No error, so far...";
  case 1:
    return "[Win32gdi] Unable to allocate memory";
  case 2:
    return "[Win32gdi] Unable to load ddraw.dll";
  case 3:
    return "[Win32gdi] Missing functions in ddraw.dll";
  case err_window:
    return "[Win32gdi] Failed opening window";
  case err_bitmap:
    return "[Win32gdi] Unable to get a Device Independent Bitmap";
  case err_device_context:
    return "[Win32gdi] No device context";
  default:
    return "[Win32gdi] Ambiguous error...";
  }
}
} // namespace

void gdi_reset() { gdi = gdi_state{}; }

display_driver gdi_driver = {
    .name = "Win32GDI Driver v0.2 for VOR",
    .list_modes = gdi_list_modes,
    .open = gdi_open,
    .close = gdi_close,
    .present = gdi_present,
    .wait_retrace = gdi_wait_retrace,
    .capabilities = gdi_capabilities,
    .key_down = gdi_key_down,
    .read_key = gdi_read_key,
    .mouse_x = gdi_mouse_x,
    .mouse_y = gdi_mouse_y,
    .mouse_total_dx = gdi_mouse_total_dx,
    .mouse_total_dy = gdi_mouse_total_dy,
    .mouse_buttons = gdi_mouse_buttons,
    .axis_x = gdi_axis_x,
    .axis_y = gdi_axis_y,
    .fire_button = gdi_fire_button,
    .error_text = gdi_error_text,
};
