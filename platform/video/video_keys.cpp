#include "video_keys.h"

#include <SDL.h>

int32_t video_virtual_key(int32_t scancode, int32_t keycode) {
  // Letters follow the keyboard layout, like Windows' letter keys.
  if (keycode >= SDLK_a && keycode <= SDLK_z)
    return 'A' + (keycode - SDLK_a);
  // Digits by position: layouts that need Shift for them still give 0-9.
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
    return '1' + (scancode - SDL_SCANCODE_1);
  if (scancode == SDL_SCANCODE_0)
    return '0';
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
    return 0x70 + (scancode - SDL_SCANCODE_F1);
  if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
    return 0x61 + (scancode - SDL_SCANCODE_KP_1);
  switch (scancode) {
  case SDL_SCANCODE_BACKSPACE:
    return 8;
  case SDL_SCANCODE_TAB:
    return 9;
  case SDL_SCANCODE_RETURN:
  case SDL_SCANCODE_KP_ENTER:
    return 13;
  case SDL_SCANCODE_LSHIFT:
  case SDL_SCANCODE_RSHIFT:
    return 16;
  case SDL_SCANCODE_LCTRL:
  case SDL_SCANCODE_RCTRL:
    return 17;
  case SDL_SCANCODE_LALT:
  case SDL_SCANCODE_RALT:
    return 18;
  case SDL_SCANCODE_PAUSE:
    return 19;
  case SDL_SCANCODE_CAPSLOCK:
    return 20;
  case SDL_SCANCODE_ESCAPE:
    return 27;
  case SDL_SCANCODE_SPACE:
    return 32;
  case SDL_SCANCODE_PAGEUP:
    return 33;
  case SDL_SCANCODE_PAGEDOWN:
    return 34;
  case SDL_SCANCODE_END:
    return 35;
  case SDL_SCANCODE_HOME:
    return 36;
  case SDL_SCANCODE_LEFT:
    return 37;
  case SDL_SCANCODE_UP:
    return 38;
  case SDL_SCANCODE_RIGHT:
    return 39;
  case SDL_SCANCODE_DOWN:
    return 40;
  case SDL_SCANCODE_INSERT:
    return 45;
  case SDL_SCANCODE_DELETE:
    return 46;
  case SDL_SCANCODE_KP_0:
    return 0x60;
  case SDL_SCANCODE_KP_MULTIPLY:
    return 0x6A;
  case SDL_SCANCODE_KP_PLUS:
    return 0x6B;
  case SDL_SCANCODE_KP_MINUS:
    return 0x6D;
  case SDL_SCANCODE_KP_PERIOD:
    return 0x6E;
  case SDL_SCANCODE_KP_DIVIDE:
    return 0x6F;
  case SDL_SCANCODE_NUMLOCKCLEAR:
    return 0x90;
  case SDL_SCANCODE_SCROLLLOCK:
    return 0x91;
  case SDL_SCANCODE_SEMICOLON:
    return 0xBA;
  case SDL_SCANCODE_EQUALS:
    return 0xBB;
  case SDL_SCANCODE_COMMA:
    return 0xBC;
  case SDL_SCANCODE_MINUS:
    return 0xBD;
  case SDL_SCANCODE_PERIOD:
    return 0xBE;
  case SDL_SCANCODE_SLASH:
    return 0xBF;
  case SDL_SCANCODE_GRAVE:
    return 0xC0;
  case SDL_SCANCODE_LEFTBRACKET:
    return 0xDB;
  case SDL_SCANCODE_BACKSLASH:
    return 0xDC;
  case SDL_SCANCODE_RIGHTBRACKET:
    return 0xDD;
  case SDL_SCANCODE_APOSTROPHE:
    return 0xDE;
  case SDL_SCANCODE_NONUSBACKSLASH:
    return 0xE2;
  default:
    return 0;
  }
}

int32_t video_view_key(int32_t scancode, int32_t alt_down) {
  if (scancode == SDL_SCANCODE_F11)
    return VIDEO_VIEW_FULL_SCREEN;
  if (scancode == SDL_SCANCODE_F10)
    return VIDEO_VIEW_SMOOTH;
  if (alt_down && (scancode == SDL_SCANCODE_RETURN || scancode == SDL_SCANCODE_KP_ENTER))
    return VIDEO_VIEW_FULL_SCREEN;
  return VIDEO_VIEW_NONE;
}
