// The windowed driver's logic against a fake video layer.
#include "fake_video.h"
#include "gdi.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
struct pixmap_deleter {
  void operator()(pixmap* p) const { pixmap_free(p); }
};
using pixmap_ptr = std::unique_ptr<pixmap, pixmap_deleter>;

class Gdi : public ::testing::Test {
protected:
  void SetUp() override {
    fake_video_install();
    gdi_reset();
  }
  void TearDown() override {
    gdi_reset();
    fake_video_remove();
  }
  display_driver& d = gdi_driver;

  // The bitmap's pixel seen at window position (x, y): rows are stored bottom-up.
  uint32_t shown(int32_t x, int32_t y) const {
    return fake->bitmap[size_t(fake->window_h - 1 - y) * size_t(fake->window_w) + size_t(x)];
  }
};

pixmap_ptr make_pixmap(int32_t w, int32_t h) {
  pixmap_ptr p(pixmap_create(w, h, PIXMAP_CLEAR));
  for (int32_t y = 0; y < h; y++)
    for (int32_t x = 0; x < w; x++)
      p->pixels[p->rows[y] + x] = pixmap_rgba(uint32_t(x), uint32_t(y), uint32_t(x ^ y), 0x3C);
  return p;
}

// The window's byte order for a pixmap pixel: blue, green, red, then the
// bitmap's own fourth byte (the fake starts it at 0xAB).
uint32_t as_shown(uint32_t p) { return 0xAB000000u | (p & 255) << 16 | (p & 0xFF00) | ((p >> 16) & 255); }
} // namespace

TEST_F(Gdi, OneModeOfAnySize) {
  EXPECT_STREQ(d.name, "Win32GDI Driver v0.2 for VOR");
  int32_t count = 0;
  display_mode* m = d.list_modes(&count);
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(m[0].width, -1);
  EXPECT_EQ(m[0].height, -1);
  EXPECT_EQ(m[0].bits_per_pixel, 32);
  EXPECT_EQ(d.list_modes(&count), m);
}

TEST_F(Gdi, OpensAtAnySizeWithItsTitle) {
  EXPECT_EQ(d.capabilities(), 0u);
  ASSERT_EQ(d.open(123, 45, "Vorlane by Pexil", DISPLAY_OPEN_16_BITS), 1);
  EXPECT_EQ(fake->title, "Vorlane by Pexil");
  EXPECT_EQ(fake->window_w, 123);
  EXPECT_EQ(fake->window_h, 45);
  EXPECT_EQ(fake->full_screen, 0);
  EXPECT_EQ(fake->bitmap.size(), size_t(123 * 45));
  EXPECT_EQ(fake->cursor_hidden, 1);
  EXPECT_EQ(d.capabilities(), 0x4Au);
  EXPECT_STREQ(d.error_text(), "[Win32gdi] No error, so far...");
  EXPECT_EQ(d.mouse_x(), 61) << "the mouse starts in the middle";
  EXPECT_EQ(d.mouse_y(), 22);
}

TEST_F(Gdi, OpenFailuresDestroyTheWindow) {
  fake->window_ok = 0;
  EXPECT_EQ(d.open(320, 240, "t", DISPLAY_OPEN_16_BITS), 0);
  EXPECT_STREQ(d.error_text(), "[Win32gdi] Failed opening window");
  EXPECT_STREQ(d.error_text(), "[Win32gdi] No error, so far...") << "reading the text resets the code";
  fake->window_ok = 1;

  fake->renderer_ok = 0;
  EXPECT_EQ(d.open(320, 240, "t", DISPLAY_OPEN_16_BITS), 0);
  EXPECT_STREQ(d.error_text(), "[Win32gdi] No device context");
  EXPECT_EQ(fake->window_exists, 0);
  fake->renderer_ok = 1;

  fake->bitmap_ok = 0;
  EXPECT_EQ(d.open(320, 240, "t", DISPLAY_OPEN_16_BITS), 0);
  EXPECT_STREQ(d.error_text(), "[Win32gdi] Unable to get a Device Independent Bitmap");
  EXPECT_EQ(fake->window_exists, 0);
  EXPECT_EQ(d.capabilities(), 0u);

  EXPECT_EQ(d.open(0, 240, "t", DISPLAY_OPEN_16_BITS), 0) << "an empty window cannot be made";
  EXPECT_STREQ(d.error_text(), "[Win32gdi] Failed opening window");
}

TEST_F(Gdi, PresentWritesBottomUpWithRedAndBlueSwapped) {
  ASSERT_EQ(d.open(320, 240, "t", DISPLAY_OPEN_16_BITS), 1);
  pixmap_ptr p = make_pixmap(320, 240);
  p->pixels[0] = pixmap_rgba(0x11, 0x22, 0x33, 0x44);
  EXPECT_EQ(d.present(0, 0, p.get(), 0, 0, 320, 240), 1);
  EXPECT_EQ(fake->shows, 1);
  // The frame's top-left pixel is the bitmap's last row: shown upright.
  EXPECT_EQ(fake->bitmap[size_t(239) * 320], 0xAB112233u) << "blue, green, red; the fourth byte untouched";
  for (auto [x, y] : {std::pair{1, 0}, {319, 0}, {0, 239}, {100, 50}, {319, 239}})
    EXPECT_EQ(shown(x, y), as_shown(p->pixels[p->rows[y] + x])) << x << "," << y;
}

TEST_F(Gdi, PresentClipsAndShowsTheWholeBitmap) {
  ASSERT_EQ(d.open(100, 80, "t", DISPLAY_OPEN_16_BITS), 1);
  pixmap_ptr p = make_pixmap(50, 50);
  EXPECT_EQ(d.present(70, -5, p.get(), -10, 0, 40, 40), 1);
  // Source x starts at -10: the destination moves to 80; y -5 cuts five rows.
  int drawn = 0;
  for (int32_t y = 0; y < 80; y++)
    for (int32_t x = 0; x < 100; x++)
      if (shown(x, y) != 0xAB000000u) {
        drawn++;
        EXPECT_EQ(shown(x, y), as_shown(p->pixels[p->rows[y + 5] + (x - 80)])) << x << "," << y;
      }
  EXPECT_EQ(drawn, 20 * 35);
  EXPECT_EQ(fake->shows, 1);
  EXPECT_EQ(d.present(0, 0, p.get(), 60, 0, 10, 10), 1) << "an empty overlap still shows the bitmap";
  EXPECT_EQ(fake->shows, 2);
  EXPECT_EQ(d.present(0, 0, p.get(), 0, 0, 0, 10), 0) << "no width: returns at once";
  EXPECT_EQ(d.present(0, 0, p.get(), 0, 0, 10, -1), 0);
  EXPECT_EQ(fake->shows, 2);
}

TEST_F(Gdi, PresentWhileInactiveDrawsNothingAndRests) {
  pixmap_ptr p = make_pixmap(32, 24);
  EXPECT_EQ(d.present(0, 0, p.get(), 0, 0, 32, 24), 0);
  ASSERT_EQ(d.open(32, 24, "t", DISPLAY_OPEN_16_BITS), 1);
  fake_video_event(VIDEO_ACTIVATE, 0);
  EXPECT_EQ(d.present(0, 0, p.get(), 0, 0, 32, 24), 0);
  EXPECT_EQ(fake->shows, 0);
  EXPECT_EQ(fake->idles, 1);
  for (uint32_t v : fake->bitmap)
    ASSERT_EQ(v, 0xAB000000u);
  fake_video_event(VIDEO_ACTIVATE, 1);
  EXPECT_EQ(d.present(0, 0, p.get(), 0, 0, 32, 24), 1);
  EXPECT_EQ(fake->shows, 1);
}

TEST_F(Gdi, DivertedKeysDriveTheAxesAndNeverReachTheQueue) {
  ASSERT_EQ(d.open(320, 240, "t", DISPLAY_OPEN_16_BITS), 1);
  for (int32_t vk : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_ADD, VK_SUBTRACT})
    fake_video_event(VIDEO_KEY_DOWN, vk);
  EXPECT_EQ(d.read_key(), 0) << "none of them is queued";
  for (int32_t code : {16, 17, 18, 37, 38, 39, 40, 43, 45})
    EXPECT_EQ(d.key_down(code), 0) << code;
  EXPECT_EQ(d.axis_x(0), 0) << "left and right together";
  EXPECT_EQ(d.axis_y(0), 0) << "up and down together";
  fake_video_event(VIDEO_KEY_UP, VK_LEFT);
  fake_video_event(VIDEO_KEY_UP, VK_DOWN);
  d.wait_retrace();
  EXPECT_EQ(d.axis_x(0), 255);
  EXPECT_EQ(d.axis_y(0), 255);
  EXPECT_EQ(d.axis_x(1), 0) << "only device 0";
  EXPECT_EQ(d.axis_y(-1), 0);
  fake_video_event(VIDEO_KEY_UP, VK_RIGHT);
  fake_video_event(VIDEO_KEY_UP, VK_UP);
  fake_video_event(VIDEO_KEY_DOWN, VK_LEFT);
  fake_video_event(VIDEO_KEY_DOWN, VK_DOWN);
  d.wait_retrace();
  EXPECT_EQ(d.axis_x(0), -255);
  EXPECT_EQ(d.axis_y(0), -255);
  EXPECT_EQ(d.fire_button(0), 0);

  // Other keys are queued and held as usual.
  fake_video_event(VIDEO_KEY_DOWN, VK_SPACE);
  EXPECT_EQ(d.key_down(32), 1);
  fake_video_event(VIDEO_KEY_UP, VK_SPACE);
  EXPECT_EQ(d.key_down(32), 0);
  EXPECT_EQ(d.read_key(), 32);
}

TEST_F(Gdi, ShiftAndCapsLockFromTheKeyState) {
  ASSERT_EQ(d.open(320, 240, "t", DISPLAY_OPEN_16_BITS), 1);
  for (int i = 0; i < 4; i++)
    fake_video_event(VIDEO_KEY_DOWN, 'P');
  fake->shift_held = 1;
  EXPECT_EQ(d.read_key(), 80) << "Shift held: not the pause key";
  fake->shift_held = 0;
  fake->caps_on = 1;
  EXPECT_EQ(d.read_key(), 80);
  fake->shift_held = 1;
  EXPECT_EQ(d.read_key(), 80) << "Shift does not undo Caps Lock";
  fake->shift_held = 0;
  fake->caps_on = 0;
  EXPECT_EQ(d.read_key(), 112);
}

TEST_F(Gdi, FullQueueDropsPresses) {
  ASSERT_EQ(d.open(320, 240, "t", DISPLAY_OPEN_16_BITS), 1);
  for (int i = 0; i < 260; i++)
    fake_video_event(VIDEO_KEY_DOWN, i < 256 ? int32_t('1') : int32_t(VK_ESCAPE));
  int n = 0;
  while (int32_t k = d.read_key()) {
    EXPECT_EQ(k, '1');
    n++;
  }
  EXPECT_EQ(n, 256);
  EXPECT_EQ(d.key_down(27), 1);
}

TEST_F(Gdi, MouseFollowsTheWindowEvents) {
  ASSERT_EQ(d.open(320, 240, "t", DISPLAY_OPEN_16_BITS), 1);
  fake_video_event(VIDEO_MOUSE_MOVE, 12, 200);
  EXPECT_EQ(d.mouse_x(), 12);
  EXPECT_EQ(d.mouse_y(), 200);
  EXPECT_EQ(d.mouse_total_dx(), 12) << "the summed movement is the position";
  EXPECT_EQ(d.mouse_total_dy(), 200);
  fake_video_event(VIDEO_BUTTON_DOWN, VIDEO_BUTTON_RIGHT);
  EXPECT_EQ(d.mouse_buttons(), 2u);
  fake_video_event(VIDEO_BUTTON_DOWN, VIDEO_BUTTON_LEFT);
  fake_video_event(VIDEO_BUTTON_UP, VIDEO_BUTTON_RIGHT);
  EXPECT_EQ(d.mouse_buttons(), 1u);
}

TEST_F(Gdi, CloseAndTheCloseButton) {
  ASSERT_EQ(d.open(320, 240, "t", DISPLAY_OPEN_16_BITS), 1);
  fake_video_event(VIDEO_CLOSE);
  EXPECT_EQ(d.read_key(), VK_ESCAPE) << "closing the window ends the show like Escape";
  d.close();
  EXPECT_EQ(fake->window_exists, 0);
  pixmap_ptr p = make_pixmap(8, 8);
  EXPECT_EQ(d.present(0, 0, p.get(), 0, 0, 8, 8), 0) << "nothing is presented after close";
  EXPECT_EQ(fake->shows, 0);
  ASSERT_EQ(d.open(320, 240, "t", DISPLAY_OPEN_16_BITS), 1);
  EXPECT_EQ(d.read_key(), 0);
}
