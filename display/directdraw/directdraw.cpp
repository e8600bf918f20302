#include "directdraw.h"

#include "display_window.h"
#include "mem.h"
#include "video.h"

#include <cstdio>
#include <cstring>

namespace {
constexpr int32_t cursor_timer_id = 1;
constexpr int32_t cursor_timer_ms = 20;

struct directdraw_state {
  // Mode list, built once.
  display_mode* modes;
  int32_t mode_count;
  int32_t modes_built;
  // The chosen mode.
  int32_t mode;
  int32_t width, height, bits;
  int32_t started; // the display system is held (released by close or a failed open)
  // Conversion tables by channel. 32-bit entries, so that the masks of 24-
  // and 32-bit screens fit as well as the 16-bit ones.
  uint32_t red[256], green[256], blue[256];
  // The window's flags, keys and virtual mouse (its position kept inside
  // the limits below).
  display_window win;
  int32_t min_x, min_y, max_x, max_y;
  int32_t total_dx, total_dy;
  int32_t timer;
  int32_t error;
};

directdraw_state dd;

enum : int32_t {
  err_memory = 1,
  err_load = 2,
  err_functions = 3,
  err_window = 4,
  err_object = 5,
  err_cooperative = 6,
  err_modes = 7,
  err_mode = 8,
  err_surface = 9,
  err_format = 10,
};

int32_t clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : v > hi ? hi : v; }

void on_event(void*, const video_event* e) {
  if (e->type != VIDEO_TIMER) {
    display_window_event(&dd.win, e); // the pointer's own moves are not used
    return;
  }
  if (e->a != cursor_timer_id) {
    std::printf("Unknown timer caught!\n");
    return;
  }
  if (!dd.win.active)
    return;
  // The pointer is put back at the screen's centre every time; its offset
  // from there is the movement since the last tick.
  int32_t x = 0, y = 0;
  video_layer->cursor_position(&x, &y);
  const int32_t ox = x - dd.width / 2, oy = y - dd.height / 2;
  dd.total_dx += ox;
  dd.total_dy += oy;
  dd.win.mouse_x = clamp(dd.win.mouse_x + ox, dd.min_x, dd.max_x);
  dd.win.mouse_y = clamp(dd.win.mouse_y + oy, dd.min_y, dd.max_y);
  video_layer->set_cursor_position(dd.width / 2, dd.height / 2);
}

display_mode* dd_list_modes(int32_t* count) {
  if (dd.modes_built) {
    if (count)
      *count = dd.mode_count;
    return dd.modes;
  }
  if (!video_layer->startup()) {
    dd.error = err_load;
    return nullptr;
  }
  // First pass: count the direct-colour modes.
  const int32_t total = video_layer->list_modes(nullptr, 0);
  if (total < 0) {
    video_layer->shutdown();
    dd.error = err_modes;
    return nullptr;
  }
  video_mode* found = total > 0 ? mem_alloc_array<video_mode>(size_t(total)) : nullptr;
  if (total > 0 && !found) {
    video_layer->shutdown();
    dd.error = err_memory;
    return nullptr;
  }
  const int32_t listed = total > 0 ? video_layer->list_modes(found, total) : 0;
  const int32_t n = listed < 0 ? 0 : listed < total ? listed : total;
  int32_t rgb = 0;
  for (int32_t i = 0; i < n; i++)
    rgb += found[i].rgb != 0;
  if (rgb == 0) {
    mem_free(found);
    video_layer->shutdown();
    return nullptr;
  }
  // Second pass: keep the direct-colour modes of more than 8 bits.
  display_mode* modes = mem_alloc_array<display_mode>(size_t(rgb));
  if (!modes) {
    mem_free(found);
    video_layer->shutdown();
    dd.error = err_memory;
    return nullptr;
  }
  int32_t kept = 0;
  for (int32_t i = 0; i < n && kept < rgb; i++)
    if (found[i].rgb && found[i].bits_per_pixel > 8)
      modes[kept++] = {found[i].width, found[i].height, found[i].bits_per_pixel};
  mem_free(found);
  video_layer->shutdown();
  dd.modes = modes;
  dd.mode_count = kept;
  dd.modes_built = 1;
  std::memset(dd.win.keys.held, 0, sizeof dd.win.keys.held);
  if (count)
    *count = kept;
  return modes;
}

int32_t depth_from_flags(uint32_t flags) {
  switch (flags & DISPLAY_OPEN_DEPTH_MASK) {
  case DISPLAY_OPEN_8_BITS:
    return 8;
  case DISPLAY_OPEN_16_BITS:
    return 16;
  case DISPLAY_OPEN_24_BITS:
    return 24;
  default:
    return 32;
  }
}

void write_pixel_format_error(uint32_t result) {
  FILE* f = std::fopen("pferr.txt", "w");
  if (!f)
    return;
  if (result == VIDEO_ERR_INVALID_PARAMS)
    std::fputs("DDERR_INVALIDPARAMS\n", f);
  else if (result == VIDEO_ERR_INVALID_OBJECT)
    std::fputs("DDERR_INVALIDOBJECT\n", f);
  else if (result == VIDEO_ERR_INVALID_SURFACE_TYPE)
    std::fputs("DDERR_INVALIDSURFACETYPE\n", f);
  std::fprintf(f, "%x\n", result);
  std::fclose(f);
}

// Undoes a partly done open from the cooperative step on: the surface, the
// presentation device and the window go, and the display system is released.
int32_t fail_open(int32_t code) {
  video_layer->destroy_window();
  if (dd.started) {
    video_layer->shutdown();
    dd.started = 0;
  }
  dd.error = code;
  return 0;
}

int32_t dd_open(int32_t width, int32_t height, const char* title, uint32_t flags) {
  int32_t count = 0;
  display_mode* modes = dd_list_modes(&count);
  if (!modes)
    return 0;
  const int32_t bits = depth_from_flags(flags);
  int32_t mode = -1;
  for (int32_t i = 0; i < count && mode < 0; i++)
    if (int16_t(modes[i].width) == int16_t(width) && int16_t(modes[i].height) == int16_t(height) &&
        modes[i].bits_per_pixel == bits)
      mode = i;
  if (mode < 0) {
    dd.error = err_mode;
    return 0;
  }
  // From here on the mode's own size counts (the match compares 16 bits only).
  const int32_t w = modes[mode].width, h = modes[mode].height;

  if (dd.win.open) { // a second open replaces the first
    video_layer->kill_timer(cursor_timer_id);
    dd.timer = 0;
    dd.win.open = 0;
  }
  const video_window_desc desc{title, w, h, 1, on_event, nullptr};
  if (!video_layer->create_window(&desc)) {
    dd.error = err_window;
    return 0;
  }
  video_layer->hide_cursor();

  if (!dd.started) {
    if (!video_layer->startup()) {
      dd.error = err_load; // the window stays
      return 0;
    }
    dd.started = 1;
  }
  if (!video_layer->create_renderer()) {
    video_layer->shutdown();
    dd.started = 0;
    dd.error = err_object; // the window stays
    return 0;
  }
  if (!video_layer->set_full_screen())
    return fail_open(err_cooperative);
  if (!video_layer->set_mode(w, h, bits))
    return fail_open(err_mode);
  if (!video_layer->create_surface())
    return fail_open(err_surface);
  video_pixel_format format{};
  const uint32_t result = video_layer->surface_format(&format);
  if (result != VIDEO_OK) {
    write_pixel_format_error(result);
    return fail_open(err_format);
  }

  directdraw_build_table(format.red_mask, dd.red);
  directdraw_build_table(format.green_mask, dd.green);
  directdraw_build_table(format.blue_mask, dd.blue);

  dd.mode = mode;
  dd.width = w;
  dd.height = h;
  dd.bits = bits;
  dd.min_x = 0;
  dd.min_y = 0;
  dd.max_x = w;
  dd.max_y = h;
  if (!dd.timer && video_layer->set_timer(cursor_timer_id, cursor_timer_ms))
    dd.timer = cursor_timer_id;
  display_window_opened(&dd.win);
  return 1;
}

void dd_close() {
  if (dd.timer) {
    video_layer->kill_timer(cursor_timer_id);
    dd.timer = 0;
  }
  video_layer->destroy_window();
  if (dd.started) {
    video_layer->shutdown();
    dd.started = 0;
  }
  // Nothing may be presented into the released surface.
  dd.win.open = 0;
}

// One row of pixmap pixels (bytes red, green, blue, unused) to the surface.
void convert_row_16(uint8_t* dst, const uint32_t* src, int32_t n) {
  uint16_t* d = reinterpret_cast<uint16_t*>(dst);
  for (int32_t i = 0; i < n; i++) {
    const uint32_t p = src[i];
    d[i] = uint16_t(dd.red[p & 255] | dd.green[(p >> 8) & 255] | dd.blue[(p >> 16) & 255]);
  }
}

void convert_row_24(uint8_t* dst, const uint32_t* src, int32_t n) {
  for (int32_t i = 0; i < n; i++) {
    const uint32_t p = src[i];
    const uint32_t v = dd.red[p & 255] | dd.green[(p >> 8) & 255] | dd.blue[(p >> 16) & 255];
    dst[3 * i] = uint8_t(v);
    dst[3 * i + 1] = uint8_t(v >> 8);
    dst[3 * i + 2] = uint8_t(v >> 16);
  }
}

void convert_row_32(uint8_t* dst, const uint32_t* src, int32_t n) {
  uint32_t* d = reinterpret_cast<uint32_t*>(dst);
  for (int32_t i = 0; i < n; i++) {
    const uint32_t p = src[i];
    d[i] = dd.red[p & 255] | dd.green[(p >> 8) & 255] | dd.blue[(p >> 16) & 255];
  }
}

int32_t dd_present(int32_t dx, int32_t dy, const pixmap* pm, int32_t sx, int32_t sy, int32_t w, int32_t h) {
  if (!display_window_ready(&dd.win))
    return 0;
  void* pixels = nullptr;
  int32_t pitch = 0;
  uint32_t result = video_layer->lock_surface(&pixels, &pitch);
  if (result == VIDEO_ERR_SURFACE_LOST) {
    video_layer->restore_surface();
    result = video_layer->lock_surface(&pixels, &pitch);
  }
  if (result != VIDEO_OK)
    return int32_t(result);
  const int32_t bytes = dd.bits / 8;
  // The surface must hold the mode: a row of width pixels, 16-bit rows aligned.
  if (!pixels || pitch < dd.width * bytes || (bytes == 2 && (pitch & 1)) || (bytes == 4 && (pitch & 3))) {
    video_layer->unlock_surface();
    return 0;
  }
  uint8_t* base = static_cast<uint8_t*>(pixels);
  void (*convert_row)(uint8_t*, const uint32_t*, int32_t) = bytes == 2   ? convert_row_16
                                                            : bytes == 3 ? convert_row_24
                                                                         : convert_row_32;
  display_clip_rows(dd.width, dd.height, dx, dy, pm, sx, sy, w, h,
                    [=](int32_t x, int32_t y, const uint32_t* src, int32_t n) {
                      convert_row(base + size_t(y) * size_t(pitch) + size_t(x) * size_t(bytes), src, n);
                    });
  // Unlocking shows the surface, in step with the display's refresh: this is
  // the frame's one wait.
  video_layer->unlock_surface();
  return 1;
}

int32_t dd_wait_retrace() {
  // Only the window's events: the vertical-blank wait is the presentation's
  // own, so that each frame waits once.
  video_layer->pump();
  return 1;
}

uint32_t dd_capabilities() { return display_window_capabilities(&dd.win); }
int32_t dd_key_down(int32_t code) { return display_window_key_down(&dd.win, code); }
int32_t dd_read_key() { return display_window_read_key(&dd.win); }
int32_t dd_mouse_x() { return display_window_mouse_x(&dd.win); }
int32_t dd_mouse_y() { return display_window_mouse_y(&dd.win); }
int32_t dd_mouse_total_dx() { return dd.win.mouse_present ? dd.total_dx : 0; }
int32_t dd_mouse_total_dy() { return dd.win.mouse_present ? dd.total_dy : 0; }
uint32_t dd_mouse_buttons() { return display_window_mouse_buttons(&dd.win); }
int32_t dd_no_axis(int32_t) { return 0; }

const char* dd_error_text() {
  const int32_t code = dd.error;
  dd.error = 0;
  switch (code) {
  case err_memory:
    return "[DirectX] Unable allocate memory";
  case err_load:
    return "[DirectX] Unable to load ddraw.dll";
  case err_functions:
    return "[DirectX] Missing functions in ddraw.dll";
  case err_window:
    return "[DirectX] Failed while opening window";
  case err_object:
    return "[DirectX] Failed while create DirectDraw object";
  case err_cooperative:
    return "[DirectX] Unable to set cooperative mode";
  case err_modes:
    return "[DirectX] Failed while gathering mode information";
  case err_mode:
    return "[DirectX] Failed while setting mode";
  case err_surface:
    return "[DirectX] Unable to create surface";
  case err_format:
    return "[DirectX] Failed while reading DDPIXELFORMAT";
  default:
    return "[DirectX] Unknown error";
  }
}
} // namespace

void directdraw_build_table(uint32_t mask, uint32_t table[256]) {
  if (!mask) {
    std::memset(table, 0, 256 * sizeof table[0]);
    return;
  }
  int s = 0;
  while (!((mask >> s) & 1))
    s++;
  const uint64_t m = mask >> s;
  for (uint32_t i = 0; i < 256; i++)
    table[i] = uint32_t((m * i / 256) << s);
}

void directdraw_reset() {
  mem_free(dd.modes);
  dd = directdraw_state{};
}

display_driver directdraw_driver = {
    .name = "DirectX 3+ Driver v 0.1 for VOR",
    .list_modes = dd_list_modes,
    .open = dd_open,
    .close = dd_close,
    .present = dd_present,
    .wait_retrace = dd_wait_retrace,
    .capabilities = dd_capabilities,
    .key_down = dd_key_down,
    .read_key = dd_read_key,
    .mouse_x = dd_mouse_x,
    .mouse_y = dd_mouse_y,
    .mouse_total_dx = dd_mouse_total_dx,
    .mouse_total_dy = dd_mouse_total_dy,
    .mouse_buttons = dd_mouse_buttons,
    .axis_x = dd_no_axis,
    .axis_y = dd_no_axis,
    .fire_button = dd_no_axis,
    .error_text = dd_error_text,
};
