// What the two drivers that show the frame in a window (full screen and
// windowed) share: the window's flags, key state and pointer, the start of
// every present, and the reads of keys and pointer.
#pragma once

#include "display.h"

#include <cstdint>

struct display_window {
  int32_t open;
  int32_t active;
  int32_t quit; // the window was closed: read as Escape from now on
  int32_t mouse_present;
  int32_t second_capability;
  display_keys keys;
  int32_t mouse_x, mouse_y;
  uint32_t buttons; // 1 left, 2 right
};

// After a successful open: the window is open with its mouse and second
// capability, and active from the start as when it is shown (focus lost and
// regained later change that).
void display_window_opened(display_window* w);

// The lead-in of every present: takes the window's events, then 1 when there
// is something to show into. A window that is not active rests about a frame
// first, so that the frame loop does not spin.
int display_window_ready(const display_window* w);

uint32_t display_window_capabilities(const display_window* w);

// The held flag of a translated key code, after taking the window's events.
int32_t display_window_key_down(display_window* w, int32_t code);

// The oldest key press with the Shift and Caps Lock state of the moment;
// Escape for ever once the window was closed.
int32_t display_window_read_key(display_window* w);

// The pointer and its buttons after taking the window's events; 0 without a mouse.
int32_t display_window_mouse_x(const display_window* w);
int32_t display_window_mouse_y(const display_window* w);
uint32_t display_window_mouse_buttons(const display_window* w);

struct video_event;

// The window's events every driver takes alike: closing, activation, keys
// and buttons (others are left alone).
void display_window_event(display_window* w, const video_event* e);
