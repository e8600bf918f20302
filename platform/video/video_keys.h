// SDL key events to Windows virtual-key codes. SDL's printable key codes are
// lower-case ASCII and collide with virtual-key codes ('p' is F1's 112), so
// every key goes through an explicit table; keys without a code give 0.
#pragma once

#include <cstdint>

// scancode and keycode as SDL reports them (SDL_Scancode, SDL_Keycode).
int32_t video_virtual_key(int32_t scancode, int32_t keycode);
