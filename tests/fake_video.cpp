#include "fake_video.h"

fake_video* fake = nullptr;

namespace {
int f_startup() {
  if (!fake->startup_ok)
    return 0;
  fake->startups++;
  return 1;
}
void f_shutdown() { fake->shutdowns++; }
int32_t f_list_modes(video_mode* out, int32_t capacity) {
  fake->list_calls++;
  if (!fake->list_ok)
    return -1;
  for (int32_t i = 0; out && i < capacity && size_t(i) < fake->modes.size(); i++)
    out[i] = fake->modes[size_t(i)];
  return int32_t(fake->modes.size());
}
void release() {
  fake->surface.clear();
  fake->bitmap.clear();
  fake->pitch = 0;
}
void f_destroy_window() {
  if (!fake->window_exists)
    return;
  fake->window_exists = 0;
  fake->windows_destroyed++;
  fake->renderers = 0;
  fake->timers.clear();
  release();
}
int f_create_window(const video_window_desc* d) {
  f_destroy_window();
  if (!fake->window_ok || d->width <= 0 || d->height <= 0)
    return 0;
  fake->window_exists = 1;
  fake->windows_created++;
  fake->title = d->title ? d->title : "";
  fake->window_w = d->width;
  fake->window_h = d->height;
  fake->full_screen = d->full_screen;
  fake->handler = d->handler;
  fake->context = d->context;
  return 1;
}
int f_create_renderer() {
  if (!fake->window_exists || !fake->renderer_ok)
    return 0;
  fake->renderers++;
  return 1;
}
int f_set_full_screen() {
  if (!fake->window_exists || !fake->full_screen_ok)
    return 0;
  fake->full_screens++;
  return 1;
}
int f_set_mode(int32_t w, int32_t h, int32_t bits) {
  if (!fake->window_exists || !fake->set_mode_ok)
    return 0;
  fake->mode_w = w;
  fake->mode_h = h;
  fake->mode_bits = bits;
  return 1;
}
int f_create_surface() {
  if (!fake->window_exists || !fake->surface_ok || !fake->mode_bits)
    return 0;
  fake->pitch = fake->mode_w * fake->mode_bits / 8 + fake->extra_pitch;
  fake->surface.assign(size_t(fake->pitch) * size_t(fake->mode_h), 0xEE);
  return 1;
}
uint32_t f_surface_format(video_pixel_format* f) {
  if (fake->format_result != VIDEO_OK)
    return fake->format_result;
  *f = fake->format;
  return VIDEO_OK;
}
uint32_t f_lock(void** pixels, int32_t* pitch) {
  fake->locks++;
  if (fake->surface.empty())
    return VIDEO_ERR_INVALID_OBJECT;
  if (fake->lose_surface)
    return VIDEO_ERR_SURFACE_LOST;
  *pixels = fake->surface.data();
  *pitch = fake->pitch;
  return VIDEO_OK;
}
uint32_t f_unlock() {
  fake->unlocks++;
  return VIDEO_OK;
}
uint32_t f_restore() {
  fake->restores++;
  fake->lose_surface = 0;
  return VIDEO_OK;
}
uint32_t* f_create_bitmap(int32_t w, int32_t h) {
  if (!fake->window_exists || !fake->bitmap_ok)
    return nullptr;
  fake->bitmap.assign(size_t(w) * size_t(h), 0xAB000000u);
  return fake->bitmap.data();
}
void f_show_bitmap() { fake->shows++; }
void f_pump() {
  fake->pumps++;
  while (!fake->events.empty()) {
    const video_event e = fake->events.front();
    fake->events.pop_front();
    if (fake->window_exists && fake->handler)
      fake->handler(fake->context, &e);
  }
}
void f_idle() { fake->idles++; }
int f_set_timer(int32_t id, int32_t period) {
  fake->timers[id] = period;
  return 1;
}
void f_kill_timer(int32_t id) { fake->timers.erase(id); }
void f_cursor_position(int32_t* x, int32_t* y) {
  *x = fake->cursor_x;
  *y = fake->cursor_y;
}
void f_set_cursor_position(int32_t x, int32_t y) {
  fake->cursor_x = x;
  fake->cursor_y = y;
  fake->cursor_moves++;
}
void f_hide_cursor() { fake->cursor_hidden = 1; }
int32_t f_key_state(int32_t vk) {
  if (vk == 16)
    return fake->shift_held ? 0x8000 : 0;
  if (vk == 20)
    return fake->caps_on ? 1 : 0;
  return 0;
}

const video_layer_ops fake_ops = {
    .startup = f_startup,
    .shutdown = f_shutdown,
    .list_modes = f_list_modes,
    .create_window = f_create_window,
    .destroy_window = f_destroy_window,
    .create_renderer = f_create_renderer,
    .set_full_screen = f_set_full_screen,
    .set_mode = f_set_mode,
    .create_surface = f_create_surface,
    .surface_format = f_surface_format,
    .lock_surface = f_lock,
    .unlock_surface = f_unlock,
    .restore_surface = f_restore,
    .create_bitmap = f_create_bitmap,
    .show_bitmap = f_show_bitmap,
    .pump = f_pump,
    .idle = f_idle,
    .set_timer = f_set_timer,
    .kill_timer = f_kill_timer,
    .cursor_position = f_cursor_position,
    .set_cursor_position = f_set_cursor_position,
    .hide_cursor = f_hide_cursor,
    .key_state = f_key_state,
};
} // namespace

void fake_video_install() {
  delete fake;
  fake = new fake_video;
  fake->modes = fake_video_classic_modes();
  video_layer = &fake_ops;
}

void fake_video_remove() {
  video_layer = &video_sdl_layer;
  delete fake;
  fake = nullptr;
}

std::vector<video_mode> fake_video_classic_modes() {
  std::vector<video_mode> m;
  for (auto [w, h] : {std::pair{320, 240}, {640, 480}, {800, 600}})
    for (int bits : {16, 24, 32})
      m.push_back({w, h, bits, 1});
  return m;
}

void fake_video_event(int32_t type, int32_t a, int32_t b) { fake->events.push_back({type, a, b}); }
