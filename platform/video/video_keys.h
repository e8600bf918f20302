// SDL key events to Windows virtual-key codes. SDL's printable key codes are
// lower-case ASCII and collide with virtual-key codes ('p' is F1's 112), so
// every key goes through an explicit table; keys without a code give 0.
#pragma once

#include <cstdint>

// scancode and keycode as SDL reports them (SDL_Scancode, SDL_Keycode).
int32_t video_virtual_key(int32_t scancode, int32_t keycode);

// The viewing keys the layer keeps for itself; they never reach the drivers.
enum : int32_t {
  VIDEO_VIEW_NONE = 0,
  VIDEO_VIEW_FULL_SCREEN = 1, // F11 or Alt+Enter: window <-> full screen
  VIDEO_VIEW_SMOOTH = 2,      // F10: sharp (nearest) <-> smooth scaling
};

// Which viewing key a key is, given whether Alt was down when it was pressed.
int32_t video_view_key(int32_t scancode, int32_t alt_down);
