// The video layer on SDL2: one window with a renderer and a streaming
// texture. Full-screen modes are emulated by scaling the mode's picture to a
// desktop-sized window (4:3 kept, black bars); the windowed picture is scaled
// by an integer factor and follows the window when it is resized. Every
// picture is shown nearest-neighbour (F10 switches to smooth scaling and
// back) and presented in step with the display's refresh (the renderer's
// vsync, or pacing by the clock where there is none). F11 and Alt+Enter move
// either program between window and full screen without touching anything
// but the window.
#include "mem.h"
#include "video.h"
#include "video_geometry.h"
#include "video_keys.h"

#include <SDL.h>

#include <bitset>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {
using sdl_clock = std::chrono::steady_clock;

// The classic modes, each realised by scaling.
constexpr int32_t mode_sizes[][2] = {{320, 240}, {640, 480}, {800, 600}};
constexpr int32_t mode_depths[] = {16, 24, 32};
constexpr int32_t mode_count = 9;

constexpr int max_timers = 4;

struct sdl_timer {
  int32_t id; // 0 = free slot
  sdl_clock::duration period;
  sdl_clock::time_point due;
};

struct sdl_state {
  int32_t started; // startup calls not yet matched by shutdown
  SDL_Window* window;
  SDL_Renderer* renderer;
  SDL_Texture* texture;
  uint32_t texture_format;
  int32_t full_screen;
  int32_t pic_w, pic_h; // the picture shown: the frame's or the mode's size
  video_handler handler;
  void* context;
  int32_t mode_bits;
  uint8_t* surface; // the primary surface, persistent between locks
  int32_t pitch;
  int32_t lost; // the renderer lost its textures
  uint32_t* bitmap;
  sdl_timer timers[max_timers];
  int32_t vsync;
  sdl_clock::duration period;
  sdl_clock::time_point next_frame;
  // The last position the pointer was moved to, so that reading it back
  // gives exactly the same picture position at any scale.
  int32_t warped;
  int32_t warp_wx, warp_wy, warp_px, warp_py;
  // Viewing comfort: where the window is shown now, the scaling, the window's
  // place to go back to, and the viewing keys whose release is kept too.
  int32_t shown_full;
  int32_t smooth;
  int32_t texture_filled; // the texture holds a frame to show again

  int32_t has_windowed;
  SDL_Rect windowed;
  std::bitset<SDL_NUM_SCANCODES> held_view_keys;
};

sdl_state state;

// Ctrl-C and SIGTERM stop the programs as they stop any other: SDL must not
// turn them into quit events. Set before main, whichever part of the program
// starts SDL first (the sound layer starts it before the display opens).
const bool no_signal_handlers = SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");

uint32_t format_for_bits(int32_t bits) {
  switch (bits) {
  case 16:
    return SDL_PIXELFORMAT_RGB565;
  case 24:
    return SDL_PIXELFORMAT_BGR24; // bytes blue, green, red: red in the high byte
  case 32:
    return SDL_PIXELFORMAT_RGB888; // 0x00RRGGBB words
  default:
    return SDL_PIXELFORMAT_UNKNOWN;
  }
}

// Where the picture goes in an area of w x h: the frame keeps its own aspect,
// a full-screen mode keeps 4:3.
video_rect picture_rect(int32_t w, int32_t h) {
  if (state.full_screen)
    return video_fit(w, h, 4, 3);
  return video_fit(w, h, state.pic_w, state.pic_h);
}

video_rect window_picture_rect() {
  int w = 0, h = 0;
  SDL_GetWindowSize(state.window, &w, &h);
  return picture_rect(w, h);
}

// SDL falls back to an invisible output when there is no display at all;
// the programs must then fail to open rather than play the show unseen.
// Asking for such a driver by name (SDL_VIDEODRIVER) is still allowed.
int init_visible_video() {
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "video: %s\n", SDL_GetError());
    return 0;
  }
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  if (driver && (!std::strcmp(driver, "offscreen") || !std::strcmp(driver, "dummy")) && !(asked && *asked)) {
    std::fprintf(stderr, "video: no display (SDL chose its %s output)\n", driver);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return 0;
  }
  return 1;
}

int sdl_startup() {
  if (!init_visible_video())
    return 0;
  state.started++;
  return 1;
}

// Releases one hold on the display system. SDL's video stays initialised
// until the process ends: quitting it unloads the X libraries SDL loaded,
// after which what they keep can no longer be told apart from leaks, and a
// later window would pay the start-up again.
void release_video() {}

void sdl_shutdown() {
  if (state.started <= 0)
    return;
  state.started--;
  release_video();
}

int32_t sdl_list_modes(video_mode* out, int32_t capacity) {
  int32_t n = 0;
  for (const auto& size : mode_sizes)
    for (int32_t bits : mode_depths) {
      if (out && n < capacity)
        out[n] = {size[0], size[1], bits, 1};
      n++;
    }
  return n;
}

void release_picture() {
  if (state.texture)
    SDL_DestroyTexture(state.texture);
  state.texture = nullptr;
  mem_free(state.surface);
  state.surface = nullptr;
  mem_free(state.bitmap);
  state.bitmap = nullptr;
  state.lost = 0;
}

void sdl_destroy_window() {
  if (!state.window)
    return;
  release_picture();
  if (state.renderer)
    SDL_DestroyRenderer(state.renderer);
  SDL_DestroyWindow(state.window);
  SDL_ShowCursor(SDL_ENABLE);
  release_video(); // the window's own hold on the display system
  const int32_t started = state.started;
  state = sdl_state{};
  state.started = started;
}

int sdl_create_window(const video_window_desc* desc) {
  sdl_destroy_window();
  if (!desc || desc->width <= 0 || desc->height <= 0)
    return 0;
  if (!init_visible_video())
    return 0;
  SDL_DisplayMode desktop{};
  if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) {
    desktop.w = 640;
    desktop.h = 480;
  }
  const char* title = desc->title ? desc->title : "";
  SDL_Window* window;
  if (desc->full_screen) {
    // Created at the desktop's size: a desktop full-screen window keeps the
    // size it was created with.
    window = SDL_CreateWindow(title, 0, 0, desktop.w, desktop.h, SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN);
  } else {
    const int32_t k = video_window_scale(desktop.w, desktop.h, desc->width, desc->height);
    window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, desc->width * k, desc->height * k,
                              SDL_WINDOW_RESIZABLE | SDL_WINDOW_SHOWN);
  }
  if (!window) {
    std::fprintf(stderr, "video: %s\n", SDL_GetError());
    release_video();
    return 0;
  }
  state.window = window;
  state.full_screen = desc->full_screen;
  state.pic_w = desc->width;
  state.pic_h = desc->height;
  state.handler = desc->handler;
  state.context = desc->context;
  const int refresh = desktop.refresh_rate > 0 ? desktop.refresh_rate : 60;
  state.period = std::chrono::duration_cast<sdl_clock::duration>(std::chrono::duration<double>(1.0 / refresh));
  state.next_frame = sdl_clock::now();
  // Key presses only: no text input, no on-screen keyboard.
  SDL_StopTextInput();
  SDL_DisableScreenSaver();
  SDL_RaiseWindow(window);
  return 1;
}

int sdl_create_renderer() {
  if (!state.window)
    return 0;
  if (state.renderer)
    return 1;
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  SDL_Renderer* r = SDL_CreateRenderer(state.window, -1, SDL_RENDERER_PRESENTVSYNC);
  if (!r)
    r = SDL_CreateRenderer(state.window, -1, 0);
  if (!r) {
    std::fprintf(stderr, "video: %s\n", SDL_GetError());
    return 0;
  }
  SDL_RendererInfo info{};
  SDL_GetRendererInfo(r, &info);
  state.vsync = (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
  state.renderer = r;
  return 1;
}

int sdl_set_full_screen() {
  if (!state.window || !state.full_screen)
    return 0;
  if (SDL_SetWindowFullscreen(state.window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
    std::fprintf(stderr, "video: %s\n", SDL_GetError());
    return 0;
  }
  state.shown_full = 1;
  return 1;
}

// The desktop's rectangle on the window's display.
SDL_Rect desktop_bounds() {
  SDL_Rect r{0, 0, 640, 480};
  const int index = SDL_GetWindowDisplayIndex(state.window);
  SDL_GetDisplayBounds(index < 0 ? 0 : index, &r);
  return r;
}

// Full screen: the window first covers the desktop by itself, so that it
// does so even where no window manager honours the full-screen request.
void show_full_screen() {
  SDL_Rect& w = state.windowed;
  SDL_GetWindowPosition(state.window, &w.x, &w.y);
  SDL_GetWindowSize(state.window, &w.w, &w.h);
  state.has_windowed = 1;
  const SDL_Rect d = desktop_bounds();
  SDL_SetWindowBordered(state.window, SDL_FALSE);
  SDL_SetWindowPosition(state.window, d.x, d.y);
  SDL_SetWindowSize(state.window, d.w, d.h);
  if (SDL_SetWindowFullscreen(state.window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
    std::fprintf(stderr, "video: %s\n", SDL_GetError());
  state.shown_full = 1;
}

// Back to a window: where it was, or (for a program that began full screen)
// the picture at the window scale, centred.
void show_window() {
  if (SDL_SetWindowFullscreen(state.window, 0) != 0)
    std::fprintf(stderr, "video: %s\n", SDL_GetError());
  SDL_Rect w = state.windowed;
  if (!state.has_windowed) {
    const SDL_Rect d = desktop_bounds();
    const int32_t k = video_window_scale(d.w, d.h, state.pic_w, state.pic_h);
    w = {d.x + (d.w - state.pic_w * k) / 2, d.y + (d.h - state.pic_h * k) / 2, state.pic_w * k, state.pic_h * k};
  }
  SDL_SetWindowBordered(state.window, SDL_TRUE);
  SDL_SetWindowResizable(state.window, SDL_TRUE);
  SDL_SetWindowSize(state.window, w.w, w.h);
  SDL_SetWindowPosition(state.window, w.x, w.y);
  state.shown_full = 0;
}

void switch_smooth() {
  state.smooth = !state.smooth;
  if (state.texture)
    SDL_SetTextureScaleMode(state.texture, state.smooth ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
}

void redraw_texture();

// A viewing key acts on its press (not on auto-repeat); its press and its
// release stay in the layer. Returns 1 when the key was one.
int view_key(const SDL_KeyboardEvent& key) {
  const SDL_Scancode code = key.keysym.scancode;
  if (code < 0 || code >= SDL_NUM_SCANCODES)
    return 0;
  if (key.type == SDL_KEYUP) {
    if (!state.held_view_keys[size_t(code)])
      return 0;
    state.held_view_keys[size_t(code)] = false;
    return 1;
  }
  const int32_t view = video_view_key(code, (key.keysym.mod & KMOD_ALT) != 0);
  if (view == VIDEO_VIEW_NONE)
    return 0;
  state.held_view_keys[size_t(code)] = true;
  if (key.repeat || !state.window)
    return 1;
  if (view == VIDEO_VIEW_SMOOTH)
    switch_smooth();
  else if (state.shown_full)
    show_window();
  else
    show_full_screen();
  redraw_texture();
  return 1;
}

SDL_Texture* make_texture(uint32_t format, int32_t w, int32_t h) {
  SDL_Texture* t = SDL_CreateTexture(state.renderer, format, SDL_TEXTUREACCESS_STREAMING, w, h);
  if (!t) {
    std::fprintf(stderr, "video: %s\n", SDL_GetError());
    return nullptr;
  }
  SDL_SetTextureScaleMode(t, state.smooth ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
  state.texture_filled = 0; // the texture about to replace the old one holds no frame yet
  return t;
}

int sdl_set_mode(int32_t width, int32_t height, int32_t bits) {
  if (!state.renderer || !state.full_screen)
    return 0;
  video_mode modes[mode_count];
  const int32_t n = sdl_list_modes(modes, mode_count);
  int found = 0;
  for (int32_t i = 0; i < n; i++)
    found |= modes[i].width == width && modes[i].height == height && modes[i].bits_per_pixel == bits;
  if (!found)
    return 0;
  const uint32_t format = format_for_bits(bits);
  SDL_Texture* t = make_texture(format, width, height);
  if (!t)
    return 0;
  release_picture();
  state.texture = t;
  state.texture_format = format;
  state.mode_bits = bits;
  state.pic_w = width;
  state.pic_h = height;
  return 1;
}

int sdl_create_surface() {
  if (!state.texture || !state.mode_bits)
    return 0;
  mem_free(state.surface);
  // The surface keeps the texture's own row pitch, so rows go over as they are.
  void* pixels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(state.texture, nullptr, &pixels, &pitch) != 0) {
    std::fprintf(stderr, "video: %s\n", SDL_GetError());
    return 0;
  }
  SDL_UnlockTexture(state.texture);
  const int32_t bytes = state.mode_bits / 8;
  if (pitch < state.pic_w * bytes)
    return 0;
  state.pitch = pitch;
  state.surface = static_cast<uint8_t*>(mem_alloc(size_t(state.pitch) * size_t(state.pic_h)));
  return state.surface != nullptr;
}

uint32_t sdl_surface_format(video_pixel_format* format) {
  if (!format)
    return VIDEO_ERR_INVALID_PARAMS;
  if (!state.surface)
    return VIDEO_ERR_INVALID_OBJECT;
  int bpp = 0;
  Uint32 r = 0, g = 0, b = 0, a = 0;
  if (!SDL_PixelFormatEnumToMasks(state.texture_format, &bpp, &r, &g, &b, &a))
    return VIDEO_ERR_INVALID_SURFACE_TYPE;
  *format = {state.mode_bits, r, g, b};
  return VIDEO_OK;
}

uint32_t sdl_lock_surface(void** pixels, int32_t* pitch) {
  if (!pixels || !pitch)
    return VIDEO_ERR_INVALID_PARAMS;
  if (!state.surface)
    return VIDEO_ERR_INVALID_OBJECT;
  if (state.lost)
    return VIDEO_ERR_SURFACE_LOST;
  *pixels = state.surface;
  *pitch = state.pitch;
  return VIDEO_OK;
}

// Draws the texture centred on black and presents it.
void draw_texture() {
  SDL_SetRenderDrawColor(state.renderer, 0, 0, 0, 255);
  SDL_RenderClear(state.renderer);
  int w = 0, h = 0;
  SDL_GetRendererOutputSize(state.renderer, &w, &h);
  const video_rect r = picture_rect(w, h);
  const SDL_Rect dst{r.x, r.y, r.w, r.h};
  SDL_RenderCopy(state.renderer, state.texture, nullptr, &dst);
  SDL_RenderPresent(state.renderer);
}

// The last frame again, when the window changed but no new frame comes (the
// show is paused, or between two frames): after a resize, an expose or a
// viewing key.
void redraw_texture() {
  if (state.renderer && state.texture && state.texture_filled && !state.lost)
    draw_texture();
}

// Shows the texture centred on black, then waits for the display's refresh.
void show_texture() {
  state.texture_filled = 1;
  draw_texture();
  if (state.vsync)
    return;
  // No vsync from the renderer: keep to the refresh rate by the clock.
  const auto now = sdl_clock::now();
  if (state.next_frame < now - state.period)
    state.next_frame = now;
  std::this_thread::sleep_until(state.next_frame);
  state.next_frame += state.period;
}

uint32_t sdl_unlock_surface() {
  if (!state.surface || !state.texture)
    return VIDEO_ERR_INVALID_OBJECT;
  if (state.lost)
    return VIDEO_ERR_SURFACE_LOST;
  SDL_UpdateTexture(state.texture, nullptr, state.surface, state.pitch);
  show_texture();
  return VIDEO_OK;
}

uint32_t sdl_restore_surface() {
  if (!state.renderer || !state.surface)
    return VIDEO_ERR_INVALID_OBJECT;
  SDL_Texture* t = make_texture(state.texture_format, state.pic_w, state.pic_h);
  if (!t)
    return VIDEO_ERR_GENERIC;
  if (state.texture)
    SDL_DestroyTexture(state.texture);
  state.texture = t;
  state.lost = 0;
  return VIDEO_OK;
}

uint32_t* sdl_create_bitmap(int32_t width, int32_t height) {
  if (!state.renderer || state.full_screen || width != state.pic_w || height != state.pic_h)
    return nullptr;
  SDL_Texture* t = make_texture(SDL_PIXELFORMAT_RGB888, width, height);
  if (!t)
    return nullptr;
  uint32_t* bitmap = mem_alloc_array<uint32_t>(size_t(width) * size_t(height));
  if (!bitmap) {
    SDL_DestroyTexture(t);
    return nullptr;
  }
  release_picture();
  state.texture = t;
  state.texture_format = SDL_PIXELFORMAT_RGB888;
  state.bitmap = bitmap;
  return bitmap;
}

void sdl_show_bitmap() {
  if (!state.bitmap)
    return;
  if (state.lost || !state.texture) {
    SDL_Texture* t = make_texture(SDL_PIXELFORMAT_RGB888, state.pic_w, state.pic_h);
    if (!t)
      return;
    if (state.texture)
      SDL_DestroyTexture(state.texture);
    state.texture = t;
    state.lost = 0;
  }
  void* pixels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(state.texture, nullptr, &pixels, &pitch) != 0)
    return;
  // The bitmap keeps its bottom row first; the texture wants the top row first.
  const size_t row_bytes = size_t(state.pic_w) * 4;
  for (int32_t y = 0; y < state.pic_h; y++)
    std::memcpy(static_cast<uint8_t*>(pixels) + size_t(y) * size_t(pitch),
                state.bitmap + size_t(state.pic_h - 1 - y) * size_t(state.pic_w), row_bytes);
  SDL_UnlockTexture(state.texture);
  show_texture();
}

void deliver(int32_t type, int32_t a, int32_t b) {
  if (!state.handler)
    return;
  const video_event e{type, a, b};
  state.handler(state.context, &e);
}

void sdl_pump() {
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    switch (e.type) {
    case SDL_QUIT:
      deliver(VIDEO_CLOSE, 0, 0);
      break;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_CLOSE)
        deliver(VIDEO_CLOSE, 0, 0);
      else if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
        deliver(VIDEO_ACTIVATE, 1, 0);
      else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
        deliver(VIDEO_ACTIVATE, 0, 0);
      else if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
        redraw_texture();
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      if (view_key(e.key))
        break;
      const int32_t vk = video_virtual_key(e.key.keysym.scancode, e.key.keysym.sym);
      if (vk)
        deliver(e.type == SDL_KEYDOWN ? VIDEO_KEY_DOWN : VIDEO_KEY_UP, vk, 0);
      break;
    }
    case SDL_MOUSEMOTION:
      if (state.window) {
        const video_rect r = window_picture_rect();
        int32_t x, y;
        video_window_to_picture(&r, state.pic_w, state.pic_h, e.motion.x, e.motion.y, &x, &y);
        deliver(VIDEO_MOUSE_MOVE, x, y);
      }
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      const int32_t button = e.button.button == SDL_BUTTON_LEFT    ? VIDEO_BUTTON_LEFT
                             : e.button.button == SDL_BUTTON_RIGHT ? VIDEO_BUTTON_RIGHT
                                                                   : 0;
      if (button)
        deliver(e.type == SDL_MOUSEBUTTONDOWN ? VIDEO_BUTTON_DOWN : VIDEO_BUTTON_UP, button, 0);
      break;
    }
    case SDL_RENDER_DEVICE_RESET:
      state.lost = 1; // every texture is gone and must be made again
      break;
    default:
      break;
    }
  }
  // Timers come due on this thread, like any other window message.
  const auto now = sdl_clock::now();
  for (sdl_timer& t : state.timers) {
    if (!t.id || now < t.due)
      continue;
    t.due += t.period;
    if (t.due <= now)
      t.due = now + t.period;
    deliver(VIDEO_TIMER, t.id, 0);
  }
}

void sdl_idle() {
  std::this_thread::sleep_for(state.period.count() > 0 ? state.period : std::chrono::milliseconds(16));
}

int sdl_set_timer(int32_t id, int32_t period_ms) {
  if (!id || period_ms <= 0)
    return 0;
  sdl_timer* slot = nullptr;
  for (sdl_timer& t : state.timers)
    if (t.id == id || (!slot && !t.id))
      slot = &t;
  if (!slot)
    return 0;
  slot->id = id;
  slot->period = std::chrono::milliseconds(period_ms);
  slot->due = sdl_clock::now() + slot->period;
  return 1;
}

void sdl_kill_timer(int32_t id) {
  for (sdl_timer& t : state.timers)
    if (t.id == id)
      t = sdl_timer{};
}

void sdl_cursor_position(int32_t* x, int32_t* y) {
  *x = *y = 0;
  if (!state.window)
    return;
  int gx = 0, gy = 0, wx = 0, wy = 0;
  SDL_GetGlobalMouseState(&gx, &gy);
  SDL_GetWindowPosition(state.window, &wx, &wy);
  gx -= wx;
  gy -= wy;
  if (state.warped && gx == state.warp_wx && gy == state.warp_wy) {
    *x = state.warp_px;
    *y = state.warp_py;
    return;
  }
  const video_rect r = window_picture_rect();
  video_window_to_picture(&r, state.pic_w, state.pic_h, gx, gy, x, y);
}

void sdl_set_cursor_position(int32_t x, int32_t y) {
  if (!state.window)
    return;
  const video_rect r = window_picture_rect();
  int32_t wx, wy;
  video_picture_to_window(&r, state.pic_w, state.pic_h, x, y, &wx, &wy);
  SDL_WarpMouseInWindow(state.window, wx, wy);
  state.warped = 1;
  state.warp_wx = wx;
  state.warp_wy = wy;
  state.warp_px = x;
  state.warp_py = y;
}

void sdl_hide_cursor() { SDL_ShowCursor(SDL_DISABLE); }

int32_t sdl_key_state(int32_t vk) {
  const SDL_Keymod mod = SDL_GetModState();
  switch (vk) {
  case 16:
    return (mod & KMOD_SHIFT) ? 0x8000 : 0;
  case 17:
    return (mod & KMOD_CTRL) ? 0x8000 : 0;
  case 18:
    return (mod & KMOD_ALT) ? 0x8000 : 0;
  case 20:
    return (mod & KMOD_CAPS) ? 1 : 0;
  default:
    return 0;
  }
}
} // namespace

const video_layer_ops video_sdl_layer = {
    .startup = sdl_startup,
    .shutdown = sdl_shutdown,
    .list_modes = sdl_list_modes,
    .create_window = sdl_create_window,
    .destroy_window = sdl_destroy_window,
    .create_renderer = sdl_create_renderer,
    .set_full_screen = sdl_set_full_screen,
    .set_mode = sdl_set_mode,
    .create_surface = sdl_create_surface,
    .surface_format = sdl_surface_format,
    .lock_surface = sdl_lock_surface,
    .unlock_surface = sdl_unlock_surface,
    .restore_surface = sdl_restore_surface,
    .create_bitmap = sdl_create_bitmap,
    .show_bitmap = sdl_show_bitmap,
    .pump = sdl_pump,
    .idle = sdl_idle,
    .set_timer = sdl_set_timer,
    .kill_timer = sdl_kill_timer,
    .cursor_position = sdl_cursor_position,
    .set_cursor_position = sdl_set_cursor_position,
    .hide_cursor = sdl_hide_cursor,
    .key_state = sdl_key_state,
};

const video_layer_ops* video_layer = &video_sdl_layer;

void video_sdl_view(int32_t* full_screen, int32_t* smooth) {
  *full_screen = state.shown_full;
  *smooth = state.smooth;
}

void video_message_box(const char* text, const char* caption) {
  const char* skip = std::getenv("VORLANE_NO_MESSAGE_BOX");
  if (skip && *skip && std::strcmp(skip, "0") != 0)
    return;
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // Without a display this returns at once with an error, which is fine:
  // the message has gone to standard error as well.
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption ? caption : "", text ? text : "", state.window);
}
