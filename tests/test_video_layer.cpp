// The video layer's own rules: the window's scale, where the picture goes,
// pointer mapping, the key table (SDL keys to virtual-key codes), and the
// viewing keys the layer keeps for itself.
#include "video.h"
#include "video_geometry.h"
#include "video_keys.h"

#include <SDL.h>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

TEST(VideoGeometry, WindowScaleIsTheLargestMultipleInsideEightyPercent) {
  EXPECT_EQ(video_window_scale(1280, 1024, 320, 240), 3); // 960x720 inside 1024x819
  EXPECT_EQ(video_window_scale(1920, 1080, 320, 240), 3); // 864 / 240 rounds down
  EXPECT_EQ(video_window_scale(2560, 1440, 320, 240), 4);
  EXPECT_EQ(video_window_scale(3840, 2160, 320, 240), 7);
  EXPECT_EQ(video_window_scale(1280, 1024, 640, 480), 1);
  EXPECT_EQ(video_window_scale(640, 480, 640, 480), 1) << "never below 1";
  EXPECT_EQ(video_window_scale(0, 0, 320, 240), 1);
  EXPECT_EQ(video_window_scale(1280, 1024, 0, 240), 1);
  for (int32_t dw : {800, 1024, 1366, 1920, 2560})
    for (int32_t dh : {600, 768, 1080, 1440}) {
      const int32_t k = video_window_scale(dw, dh, 320, 240);
      if (k > 1) {
        EXPECT_LE(320 * k * 5, dw * 4) << dw << "x" << dh;
        EXPECT_LE(240 * k * 5, dh * 4) << dw << "x" << dh;
      }
      EXPECT_TRUE(320 * (k + 1) * 5 > dw * 4 || 240 * (k + 1) * 5 > dh * 4) << "the largest such multiple";
    }
}

TEST(VideoGeometry, FitKeepsTheAspectCentredOnBlack) {
  video_rect r = video_fit(1920, 1080, 4, 3);
  EXPECT_EQ(r.x, 240);
  EXPECT_EQ(r.y, 0);
  EXPECT_EQ(r.w, 1440);
  EXPECT_EQ(r.h, 1080);
  r = video_fit(1280, 1024, 4, 3);
  EXPECT_EQ(r.x, 0);
  EXPECT_EQ(r.y, 32);
  EXPECT_EQ(r.w, 1280);
  EXPECT_EQ(r.h, 960);
  r = video_fit(960, 720, 320, 240);
  EXPECT_EQ(r.x, 0);
  EXPECT_EQ(r.y, 0);
  EXPECT_EQ(r.w, 960);
  EXPECT_EQ(r.h, 720);
  r = video_fit(1001, 333, 320, 240); // a window resized to an odd shape
  EXPECT_EQ(r.h, 333);
  EXPECT_EQ(r.w, 444);
  EXPECT_EQ(r.x, (1001 - 444) / 2);
  r = video_fit(1, 1, 320, 240);
  EXPECT_GE(r.w, 1);
  EXPECT_GE(r.h, 1);
  r = video_fit(0, 0, 4, 3);
  EXPECT_EQ(r.w, 0);
  EXPECT_EQ(r.h, 0);
}

TEST(VideoGeometry, PointerMappingRoundTripsAndClamps) {
  for (auto [aw, ah] : {std::pair{960, 720}, {1920, 1080}, {1024, 768}, {1280, 1024}, {333, 250}})
    for (auto [pw, ph] : {std::pair{320, 240}, {640, 480}}) {
      const video_rect r = video_fit(aw, ah, 4, 3);
      if (r.w < pw)
        continue; // shrunk pictures cannot reach every pixel
      for (int32_t px = 0; px < pw; px += 7)
        for (int32_t py : {0, 1, ph / 2, ph - 1}) {
          int32_t wx, wy, bx, by;
          video_picture_to_window(&r, pw, ph, px, py, &wx, &wy);
          EXPECT_GE(wx, r.x);
          EXPECT_LT(wx, r.x + r.w);
          video_window_to_picture(&r, pw, ph, wx, wy, &bx, &by);
          EXPECT_EQ(bx, px) << aw << "x" << ah << " " << pw;
          EXPECT_EQ(by, py) << aw << "x" << ah << " " << ph;
        }
    }
  const video_rect r = video_fit(1920, 1080, 4, 3);
  int32_t x, y;
  video_window_to_picture(&r, 320, 240, 0, 0, &x, &y);
  EXPECT_EQ(x, 0) << "left bar clamps to the picture";
  video_window_to_picture(&r, 320, 240, 1919, 1079, &x, &y);
  EXPECT_EQ(x, 319);
  EXPECT_EQ(y, 239);
  video_window_to_picture(&r, 320, 240, -50000, 100000, &x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 239);
}

TEST(VideoKeys, PrintableKeysDoNotCollideWithVirtualKeyCodes) {
  for (int c = 0; c < 26; c++)
    EXPECT_EQ(video_virtual_key(SDL_SCANCODE_A + c, SDLK_a + c), 'A' + c);
  // 'p' is 112 in SDL, which is F1 among virtual keys.
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_P, SDLK_p), 'P');
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_F1, SDLK_F1), 0x70);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_F12, SDLK_F12), 0x7B);
  // The apostrophe is 39 in SDL, the right arrow's code.
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_APOSTROPHE, SDLK_QUOTE), 0xDE);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_RIGHT, SDLK_RIGHT), 39);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_LEFT, SDLK_LEFT), 37);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_UP, SDLK_UP), 38);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_DOWN, SDLK_DOWN), 40);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON), 0xBA);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_MINUS, SDLK_MINUS), 0xBD);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_PERIOD, SDLK_PERIOD), 0xBE);
}

TEST(VideoKeys, DigitsByPositionAndTheSpecialKeys) {
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_1, SDLK_AMPERSAND), '1') << "a layout that shifts its digits";
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_9, SDLK_9), '9');
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_0, SDLK_0), '0');
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE), 27);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_SPACE, SDLK_SPACE), 32);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_RETURN, SDLK_RETURN), 13);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER), 13);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE), 8);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_TAB, SDLK_TAB), 9);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT), 16);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_RSHIFT, SDLK_RSHIFT), 16);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_LCTRL, SDLK_LCTRL), 17);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_RCTRL, SDLK_RCTRL), 17);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_LALT, SDLK_LALT), 18);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_CAPSLOCK, SDLK_CAPSLOCK), 20);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS), 107);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_KP_MINUS, SDLK_KP_MINUS), 109);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_KP_0, SDLK_KP_0), 0x60);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_KP_9, SDLK_KP_9), 0x69);
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_AUDIONEXT, SDLK_AUDIONEXT), 0) << "anything else has no code";
  EXPECT_EQ(video_virtual_key(SDL_SCANCODE_UNKNOWN, SDLK_UNKNOWN), 0);
}

TEST(VideoKeys, ViewingKeysAreF11AltEnterAndF10) {
  EXPECT_EQ(video_view_key(SDL_SCANCODE_F11, 0), VIDEO_VIEW_FULL_SCREEN);
  EXPECT_EQ(video_view_key(SDL_SCANCODE_RETURN, 1), VIDEO_VIEW_FULL_SCREEN);
  EXPECT_EQ(video_view_key(SDL_SCANCODE_KP_ENTER, 1), VIDEO_VIEW_FULL_SCREEN);
  EXPECT_EQ(video_view_key(SDL_SCANCODE_F10, 0), VIDEO_VIEW_SMOOTH);
  EXPECT_EQ(video_view_key(SDL_SCANCODE_RETURN, 0), VIDEO_VIEW_NONE) << "Enter alone is a key of the show";
  EXPECT_EQ(video_view_key(SDL_SCANCODE_F1, 0), VIDEO_VIEW_NONE);
  EXPECT_EQ(video_view_key(SDL_SCANCODE_P, 1), VIDEO_VIEW_NONE);
  EXPECT_EQ(video_view_key(SDL_SCANCODE_F12, 0), VIDEO_VIEW_NONE);
}

namespace {
std::vector<video_event> pumped;

void record_event(void*, const video_event* e) {
  if (e->type == VIDEO_KEY_DOWN || e->type == VIDEO_KEY_UP)
    pumped.push_back(*e);
}

void push_key(Uint32 type, SDL_Scancode code, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
  SDL_Event e{};
  e.type = type;
  e.key.type = type;
  e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.key.repeat = repeat;
  e.key.keysym.scancode = code;
  e.key.keysym.sym = SDL_GetKeyFromScancode(code);
  e.key.keysym.mod = mod;
  ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
}

void press(SDL_Scancode code, Uint16 mod = KMOD_NONE) {
  push_key(SDL_KEYDOWN, code, mod);
  push_key(SDL_KEYUP, code);
}

struct view_state {
  int32_t full, smooth;
};

view_state view() {
  view_state v{};
  video_sdl_view(&v.full, &v.smooth);
  return v;
}
} // namespace

// The viewing keys act on the window and never reach the driver as key
// codes (F10 and F11 would read as 'y' and 'z', F1's code is 'p''s); every
// other key still does, Enter without Alt included. SDL's dummy output
// stands in for a display.
TEST(VideoLayer, ViewingKeysSwitchTheWindowAndStayInTheLayer) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  ASSERT_EQ(video_sdl_layer.startup(), 1);
  const video_window_desc desc{"view", 320, 240, 0, record_event, nullptr};
  ASSERT_EQ(video_sdl_layer.create_window(&desc), 1);
  ASSERT_EQ(video_sdl_layer.create_renderer(), 1);
  ASSERT_NE(video_sdl_layer.create_bitmap(320, 240), nullptr);
  video_sdl_layer.pump();
  pumped.clear();
  EXPECT_EQ(view().full, 0);
  EXPECT_EQ(view().smooth, 0);

  press(SDL_SCANCODE_F11);
  video_sdl_layer.pump();
  EXPECT_EQ(view().full, 1);
  push_key(SDL_KEYDOWN, SDL_SCANCODE_F11, KMOD_NONE, 1); // auto-repeat: no second switch
  push_key(SDL_KEYUP, SDL_SCANCODE_F11);
  video_sdl_layer.pump();
  EXPECT_EQ(view().full, 1);
  // Alt released before Enter: the release of Enter stays in the layer too.
  push_key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_LALT);
  push_key(SDL_KEYUP, SDL_SCANCODE_RETURN, KMOD_NONE);
  video_sdl_layer.pump();
  EXPECT_EQ(view().full, 0);
  press(SDL_SCANCODE_F10);
  video_sdl_layer.pump();
  EXPECT_EQ(view().smooth, 1);
  press(SDL_SCANCODE_F10);
  video_sdl_layer.pump();
  EXPECT_EQ(view().smooth, 0);
  EXPECT_TRUE(pumped.empty()) << pumped.size() << " viewing key events reached the driver";

  press(SDL_SCANCODE_RETURN);
  press(SDL_SCANCODE_P);
  press(SDL_SCANCODE_F1);
  video_sdl_layer.pump();
  const std::vector<std::pair<int32_t, int32_t>> want = {{VIDEO_KEY_DOWN, 13},   {VIDEO_KEY_UP, 13},
                                                         {VIDEO_KEY_DOWN, 'P'},  {VIDEO_KEY_UP, 'P'},
                                                         {VIDEO_KEY_DOWN, 0x70}, {VIDEO_KEY_UP, 0x70}};
  ASSERT_EQ(pumped.size(), want.size());
  for (size_t i = 0; i < want.size(); i++) {
    EXPECT_EQ(pumped[i].type, want[i].first) << i;
    EXPECT_EQ(pumped[i].a, want[i].second) << i;
  }
  video_sdl_layer.destroy_window();
  video_sdl_layer.shutdown();
}
