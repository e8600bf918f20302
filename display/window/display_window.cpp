#include "display_window.h"

#include "video.h"

void display_window_opened(display_window* w) {
  w->mouse_present = 1;
  w->second_capability = 1;
  w->open = 1;
  w->active = 1;
  w->quit = 0;
}

int display_window_ready(const display_window* w) {
  if (!w->open)
    return 0;
  video_layer->pump();
  if (!w->active) {
    video_layer->idle();
    return 0;
  }
  return 1;
}

uint32_t display_window_capabilities(const display_window* w) {
  return (w->mouse_present ? DISPLAY_CAP_MOUSE : 0u) | (w->second_capability ? DISPLAY_CAP_SECOND : 0u);
}

int32_t display_window_key_down(display_window* w, int32_t code) {
  video_layer->pump();
  return display_keys_held(&w->keys, code);
}

int32_t display_window_read_key(display_window* w) {
  if (w->quit)
    return VK_ESCAPE; // closing the window ends the show like Escape
  w->keys.shift_down = (video_layer->key_state(VK_SHIFT) & 0x8000) != 0;
  w->keys.caps_lock_on = video_layer->key_state(VK_CAPITAL) & 1;
  return display_keys_read(&w->keys);
}

int32_t display_window_mouse_x(const display_window* w) {
  video_layer->pump();
  return w->mouse_present ? w->mouse_x : 0;
}

int32_t display_window_mouse_y(const display_window* w) {
  video_layer->pump();
  return w->mouse_present ? w->mouse_y : 0;
}

uint32_t display_window_mouse_buttons(const display_window* w) {
  video_layer->pump();
  return w->mouse_present ? w->buttons : 0;
}

namespace {
uint32_t button_bit(int32_t button) {
  return button == VIDEO_BUTTON_LEFT ? 1u : button == VIDEO_BUTTON_RIGHT ? 2u : 0u;
}
} // namespace

void display_window_event(display_window* w, const video_event* e) {
  switch (e->type) {
  case VIDEO_CLOSE:
    w->quit = 1;
    break;
  case VIDEO_ACTIVATE:
    w->active = e->a;
    break;
  case VIDEO_KEY_DOWN:
    display_keys_press(&w->keys, e->a);
    break;
  case VIDEO_KEY_UP:
    display_keys_release(&w->keys, e->a);
    break;
  case VIDEO_BUTTON_DOWN:
    w->buttons |= button_bit(e->a);
    break;
  case VIDEO_BUTTON_UP:
    w->buttons &= ~button_bit(e->a);
    break;
  default:
    break;
  }
}
