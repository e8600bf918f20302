#include "display.h"

#include <cstring>

int32_t display_translate_key(int32_t vk) {
  if (vk < 0 || vk > 255)
    return 0;
  if (vk <= 64)
    return vk;
  if (vk <= 90)
    return vk + 32; // letters arrive as their lower-case codes
  if (vk == VK_ADD)
    return '+';
  if (vk == VK_SUBTRACT)
    return '-';
  return 0;
}

void display_keys_reset(display_keys* keys) { std::memset(keys, 0, sizeof *keys); }

void display_keys_press(display_keys* keys, int32_t vk) {
  if (vk < 0 || vk > 255)
    return;
  if (keys->count < DISPLAY_KEY_QUEUE) {
    keys->queue[(keys->head + keys->count) % DISPLAY_KEY_QUEUE] = uint8_t(vk);
    keys->count++;
  }
  keys->held[display_translate_key(vk)] = 1;
}

void display_keys_release(display_keys* keys, int32_t vk) {
  if (vk < 0 || vk > 255)
    return;
  keys->held[display_translate_key(vk)] = 0;
}

int32_t display_keys_read(display_keys* keys) {
  if (keys->count == 0)
    return 0;
  const int32_t vk = keys->queue[keys->head];
  keys->head = (keys->head + 1) % DISPLAY_KEY_QUEUE;
  keys->count--;
  int32_t code = display_translate_key(vk);
  if (code >= 'a' && code <= 'z' && (keys->shift_down || (keys->caps_lock_on & 1)))
    code -= 32;
  return code;
}

int32_t display_keys_held(const display_keys* keys, int32_t code) {
  if (code < 0 || code >= DISPLAY_KEY_FLAGS)
    return 0;
  return keys->held[code];
}

int display_clip(int32_t screen_w, int32_t screen_h, int32_t dx, int32_t dy, const pixmap* pm, int32_t sx, int32_t sy,
                 int32_t w, int32_t h, pixmap_copy_rect* out) {
  if (!pm)
    return 0;
  return pixmap_clip_copy(screen_w, screen_h, dx, dy, pm->width, pm->height, sx, sy, w, h, out);
}
