#include "headless.h"

#include <algorithm>
#include <vector>

namespace {
struct scripted_key {
  double seconds;
  int32_t vk;
};

struct headless_state {
  int32_t fps = 60;
  headless_retrace_hook hook = nullptr;
  void* context = nullptr;
  std::vector<scripted_key> script; // sorted by time
  size_t next_key = 0;
  std::vector<std::pair<int32_t, int32_t>> refused;
  display_keys keys{};
  pixmap* screen = nullptr;
  int32_t open = 0;
  int64_t retraces = 0;
  int64_t presents = 0;
  int32_t error = 0;
};

// Never destroyed: the screen stays reachable until the process ends.
headless_state& state = *new headless_state;

display_mode headless_modes[] = {{-1, -1, 32}};

display_mode* headless_list_modes(int32_t* count) {
  if (!count)
    return nullptr;
  *count = 1;
  return headless_modes;
}

int32_t headless_open(int32_t width, int32_t height, const char*, uint32_t) {
  for (auto [w, h] : state.refused)
    if (w == width && h == height) {
      state.error = 1;
      return 0;
    }
  pixmap* screen = pixmap_create(width, height, PIXMAP_CLEAR);
  if (!screen) {
    state.error = 2;
    return 0;
  }
  if (state.screen)
    pixmap_free(state.screen);
  state.screen = screen;
  display_keys_reset(&state.keys);
  state.open = 1;
  return 1;
}

void headless_close() { state.open = 0; }

// Copies n pixels without their fourth byte, which is not shown: the screen
// keeps colour only. Whole blocks of a fixed size let the compiler copy them
// several pixels at a time.
void copy_colour(uint32_t* __restrict d, const uint32_t* __restrict s, int32_t n) {
  constexpr int32_t block = 16;
  int32_t i = 0;
  for (; i + block <= n; i += block)
    for (int32_t k = 0; k < block; k++)
      d[i + k] = s[i + k] & 0x00FFFFFFu;
  for (; i < n; i++)
    d[i] = s[i] & 0x00FFFFFFu;
}

int32_t headless_present(int32_t dx, int32_t dy, const pixmap* pm, int32_t sx, int32_t sy, int32_t w, int32_t h) {
  if (!state.open)
    return 0;
  pixmap* screen = state.screen;
  const auto copy_row = [screen](int32_t x, int32_t y, const uint32_t* src, int32_t n) {
    copy_colour(screen->pixels + screen->rows[y] + x, src, n);
  };
  if (!display_clip_rows(screen->width, screen->height, dx, dy, pm, sx, sy, w, h, copy_row))
    return 0;
  state.presents++;
  return 1;
}

int32_t headless_wait_retrace() {
  state.retraces++;
  if (state.hook)
    state.hook(state.context);
  const double now = double(state.retraces) / double(state.fps);
  while (state.next_key < state.script.size() && state.script[state.next_key].seconds <= now) {
    display_keys_press(&state.keys, state.script[state.next_key].vk);
    display_keys_release(&state.keys, state.script[state.next_key].vk);
    state.next_key++;
  }
  return 1;
}

uint32_t headless_capabilities() { return state.open ? DISPLAY_CAP_MOUSE | DISPLAY_CAP_SECOND : 0; }
int32_t headless_key_down(int32_t code) { return display_keys_held(&state.keys, code); }
int32_t headless_read_key() { return display_keys_read(&state.keys); }
int32_t headless_zero() { return 0; }
uint32_t headless_no_buttons() { return 0; }
int32_t headless_no_axis(int32_t) { return 0; }

const char* headless_error_text() {
  const int32_t code = state.error;
  state.error = 0;
  switch (code) {
  case 0:
    return "[Headless] No error";
  case 1:
    return "[Headless] Mode refused";
  default:
    return "[Headless] Out of memory";
  }
}
} // namespace

display_driver headless_driver = {
    .name = "Headless Driver v1.0 for VOR",
    .list_modes = headless_list_modes,
    .open = headless_open,
    .close = headless_close,
    .present = headless_present,
    .wait_retrace = headless_wait_retrace,
    .capabilities = headless_capabilities,
    .key_down = headless_key_down,
    .read_key = headless_read_key,
    .mouse_x = headless_zero,
    .mouse_y = headless_zero,
    .mouse_total_dx = headless_zero,
    .mouse_total_dy = headless_zero,
    .mouse_buttons = headless_no_buttons,
    .axis_x = headless_no_axis,
    .axis_y = headless_no_axis,
    .fire_button = headless_no_axis,
    .error_text = headless_error_text,
};

void headless_configure(int32_t fps, headless_retrace_hook hook, void* context) {
  state.fps = fps > 0 ? fps : 60;
  state.hook = hook;
  state.context = context;
}

void headless_add_key(double seconds, int32_t vk) {
  const scripted_key key{seconds, vk};
  auto at = std::upper_bound(state.script.begin() + long(state.next_key), state.script.end(), key,
                             [](const scripted_key& a, const scripted_key& b) { return a.seconds < b.seconds; });
  state.script.insert(at, key);
}

void headless_set_modifiers(int32_t shift_down, int32_t caps_lock_on) {
  state.keys.shift_down = shift_down;
  state.keys.caps_lock_on = caps_lock_on;
}

void headless_refuse_size(int32_t width, int32_t height) { state.refused.emplace_back(width, height); }

const pixmap* headless_screen() { return state.screen; }
int64_t headless_retraces() { return state.retraces; }
int64_t headless_presents() { return state.presents; }
int32_t headless_is_open() { return state.open; }

void headless_reset() {
  if (state.screen)
    pixmap_free(state.screen);
  state = headless_state{};
}
