// The full-screen driver's logic against a fake video layer.
#include "directdraw.h"
#include "fake_video.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {
struct pixmap_deleter {
  void operator()(pixmap* p) const { pixmap_free(p); }
};
using pixmap_ptr = std::unique_ptr<pixmap, pixmap_deleter>;

class DirectDraw : public ::testing::Test {
protected:
  void SetUp() override {
    fake_video_install();
    directdraw_reset();
  }
  void TearDown() override {
    directdraw_reset();
    fake_video_remove();
  }
  display_driver& d = directdraw_driver;

  int open_320() { return d.open(320, 240, "Vorlane by Pexil", DISPLAY_OPEN_16_BITS); }
  uint16_t pixel16(int32_t x, int32_t y) const {
    uint16_t v;
    std::memcpy(&v, fake->surface.data() + size_t(y) * size_t(fake->pitch) + size_t(x) * 2, 2);
    return v;
  }
};

pixmap_ptr make_pixmap(int32_t w, int32_t h) {
  pixmap_ptr p(pixmap_create(w, h, PIXMAP_CLEAR));
  for (int32_t y = 0; y < h; y++)
    for (int32_t x = 0; x < w; x++)
      p->pixels[p->rows[y] + x] = pixmap_rgba(uint32_t(x * 8), uint32_t(y * 8), uint32_t(x + y), 0x5A);
  return p;
}

uint32_t lowest_bit(uint32_t mask) {
  uint32_t s = 0;
  while (!((mask >> s) & 1))
    s++;
  return s;
}
} // namespace

TEST_F(DirectDraw, ModeListKeepsDirectColourModesAboveEightBitsAndIsBuiltOnce) {
  EXPECT_STREQ(d.name, "DirectX 3+ Driver v 0.1 for VOR");
  fake->modes = {{320, 240, 8, 1}, {320, 240, 16, 1}, {640, 480, 16, 0}, {640, 480, 32, 1}, {800, 600, 24, 1}};
  int32_t count = -1;
  display_mode* m = d.list_modes(&count);
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(count, 3);
  EXPECT_EQ(m[0].width, 320);
  EXPECT_EQ(m[0].bits_per_pixel, 16);
  EXPECT_EQ(m[1].width, 640);
  EXPECT_EQ(m[1].bits_per_pixel, 32);
  EXPECT_EQ(m[2].height, 600);
  EXPECT_EQ(m[2].bits_per_pixel, 24);
  const int listed = fake->list_calls;
  fake->modes.clear();
  int32_t again = 0;
  EXPECT_EQ(d.list_modes(&again), m) << "the list is cached";
  EXPECT_EQ(again, 3);
  EXPECT_EQ(fake->list_calls, listed);
  EXPECT_EQ(fake->startups, fake->shutdowns) << "the display system is released after listing";
}

TEST_F(DirectDraw, ModeListFailures) {
  fake->startup_ok = 0;
  int32_t count = 0;
  EXPECT_EQ(d.list_modes(&count), nullptr);
  EXPECT_STREQ(d.error_text(), "[DirectX] Unable to load ddraw.dll");
  EXPECT_STREQ(d.error_text(), "[DirectX] Unknown error") << "reading the text resets the code";

  fake->startup_ok = 1;
  fake->list_ok = 0;
  EXPECT_EQ(d.list_modes(&count), nullptr);
  EXPECT_STREQ(d.error_text(), "[DirectX] Failed while gathering mode information");

  fake->list_ok = 1;
  fake->modes = {{640, 480, 16, 0}};
  EXPECT_EQ(d.list_modes(&count), nullptr) << "no direct-colour mode";
  EXPECT_EQ(fake->startups, fake->shutdowns);
  EXPECT_EQ(d.open(640, 480, "t", DISPLAY_OPEN_16_BITS), 0);
}

TEST_F(DirectDraw, OpenMatchesWidthHeightAndDepthFromTheFlags) {
  fake->modes = {{640, 480, 16, 1}, {320, 240, 32, 1}, {320, 240, 24, 1}};
  EXPECT_EQ(open_320(), 0) << "no 320x240 mode with 16 bits";
  EXPECT_STREQ(d.error_text(), "[DirectX] Failed while setting mode");
  EXPECT_EQ(fake->windows_created, 0);
  EXPECT_EQ(d.capabilities(), 0u);

  EXPECT_EQ(d.open(320, 240, "t", 1), 0) << "8 bits are never listed";
  EXPECT_STREQ(d.error_text(), "[DirectX] Failed while setting mode");

  ASSERT_EQ(d.open(320, 240, "t", 4), 1);
  EXPECT_EQ(fake->mode_bits, 24);
  ASSERT_EQ(d.open(320, 240, "t", 0x13), 1) << "only the low four bits choose the depth";
  EXPECT_EQ(fake->mode_bits, 32);
  ASSERT_EQ(d.open(640, 480, "Vorlane by Pexil", DISPLAY_OPEN_16_BITS), 1);
  EXPECT_EQ(fake->mode_w, 640);
  EXPECT_EQ(fake->mode_h, 480);
  EXPECT_EQ(fake->mode_bits, 16);
  EXPECT_EQ(fake->title, "Vorlane by Pexil");
  EXPECT_EQ(fake->full_screen, 1);
  EXPECT_EQ(fake->full_screens, 3) << "every open takes the full screen";
  EXPECT_EQ(fake->cursor_hidden, 1);
}

TEST_F(DirectDraw, CapabilitiesBeforeAndAfterOpen) {
  EXPECT_EQ(d.capabilities(), 0u);
  ASSERT_EQ(open_320(), 1);
  EXPECT_EQ(d.capabilities(), 0x4Au);
  ASSERT_EQ(fake->timers.count(1), 1u);
  EXPECT_EQ(fake->timers[1], 20) << "cursor timer, identifier 1, every 20 ms";
}

TEST_F(DirectDraw, OpenFailuresInStepOrder) {
  fake->window_ok = 0;
  EXPECT_EQ(open_320(), 0);
  EXPECT_STREQ(d.error_text(), "[DirectX] Failed while opening window");
  fake->window_ok = 1;

  fake->startup_ok = 1;
  fake->renderer_ok = 0;
  EXPECT_EQ(open_320(), 0);
  EXPECT_STREQ(d.error_text(), "[DirectX] Failed while create DirectDraw object");
  EXPECT_EQ(fake->window_exists, 1) << "the window stays when the object cannot be made";
  EXPECT_EQ(fake->startups, fake->shutdowns);
  fake->renderer_ok = 1;

  struct step {
    int fake_video::*flag;
    const char* text;
  };
  for (step s : {step{&fake_video::full_screen_ok, "[DirectX] Unable to set cooperative mode"},
                 step{&fake_video::set_mode_ok, "[DirectX] Failed while setting mode"},
                 step{&fake_video::surface_ok, "[DirectX] Unable to create surface"}}) {
    fake->*s.flag = 0;
    EXPECT_EQ(open_320(), 0) << s.text;
    EXPECT_STREQ(d.error_text(), s.text);
    EXPECT_EQ(fake->window_exists, 0) << "the window is destroyed: " << s.text;
    EXPECT_EQ(fake->startups, fake->shutdowns) << s.text;
    EXPECT_EQ(d.capabilities(), 0u);
    fake->*s.flag = 1;
  }
  ASSERT_EQ(open_320(), 1);
  d.close();
  EXPECT_EQ(fake->startups, fake->shutdowns);
}

TEST_F(DirectDraw, UnreadablePixelFormatWritesPferr) {
  testkit_tempdir dir(true);
  struct pf_case {
    uint32_t result;
    const char* text;
  };
  for (pf_case c : {pf_case{VIDEO_ERR_INVALID_PARAMS, "DDERR_INVALIDPARAMS\n80070057\n"},
                    pf_case{VIDEO_ERR_INVALID_OBJECT, "DDERR_INVALIDOBJECT\n88760082\n"},
                    pf_case{VIDEO_ERR_INVALID_SURFACE_TYPE, "DDERR_INVALIDSURFACETYPE\n88760250\n"},
                    pf_case{0x80004005u, "80004005\n"}}) {
    fake->format_result = c.result;
    EXPECT_EQ(open_320(), 0);
    EXPECT_STREQ(d.error_text(), "[DirectX] Failed while reading DDPIXELFORMAT");
    const std::vector<uint8_t> file = testkit_read_file(dir.file("pferr.txt"));
    EXPECT_EQ(std::string(file.begin(), file.end()), c.text);
    EXPECT_EQ(fake->window_exists, 0);
  }
}

TEST_F(DirectDraw, ConversionTablesFromChannelMasks) {
  struct mask_case {
    uint32_t mask;
    uint32_t white; // entry 255: one step below the channel's top, as the formula gives
  };
  // 565, 555 and 888 (red, green, blue each).
  for (mask_case c : {mask_case{0xF800, 30u << 11},
                      {0x07E0, 62u << 5},
                      {0x001F, 30u},
                      {0x7C00, 30u << 10},
                      {0x03E0, 30u << 5},
                      {0xFF0000, 254u << 16},
                      {0x00FF00, 254u << 8},
                      {0x0000FF, 254u}}) {
    uint32_t t[256];
    directdraw_build_table(c.mask, t);
    const uint32_t s = lowest_bit(c.mask);
    const uint32_t levels = (c.mask >> s) + 1;
    EXPECT_EQ(t[0], 0u);
    EXPECT_EQ(t[255], c.white) << std::hex << c.mask;
    for (int i = 0; i < 256; i++) {
      EXPECT_EQ(t[i] & ~c.mask, 0u) << "entry stays inside its mask " << i;
      if (i > 0) {
        EXPECT_GE(t[i], t[i - 1]);
      }
    }
    // Every level but the top one is reached: the table spans the channel.
    uint32_t distinct = 1;
    for (int i = 1; i < 256; i++)
      distinct += t[i] != t[i - 1];
    EXPECT_EQ(distinct, levels - 1) << std::hex << c.mask;
    // The entry for value i is the level whose band of 256 / levels holds i * (levels - 1) / levels.
    EXPECT_EQ(t[128] >> s, (levels - 1) / 2) << std::hex << c.mask;
  }
}

TEST_F(DirectDraw, PresentConvertsTo565WithThePitch) {
  fake->extra_pitch = 6;
  ASSERT_EQ(open_320(), 1);
  pixmap_ptr p = make_pixmap(320, 240);
  EXPECT_EQ(d.present(0, 0, p.get(), 0, 0, 320, 240), 1);
  EXPECT_EQ(fake->locks, 1);
  EXPECT_EQ(fake->unlocks, 1);
  for (auto [x, y] : {std::pair{0, 0}, {5, 7}, {31, 29}, {319, 239}, {200, 100}}) {
    const uint32_t px = p->pixels[p->rows[y] + x];
    const uint32_t r = px & 255, g = (px >> 8) & 255, b = (px >> 16) & 255;
    const uint16_t expect = uint16_t((31 * r / 256) << 11 | (63 * g / 256) << 5 | (31 * b / 256));
    EXPECT_EQ(pixel16(x, y), expect) << x << "," << y;
  }
  // The bytes past each row's end are the surface's own.
  EXPECT_EQ(fake->surface[size_t(fake->pitch) - 1], 0xEE);
}

TEST_F(DirectDraw, PresentConvertsTo555And24And32Bits) {
  pixmap_ptr p(pixmap_create(2, 1, PIXMAP_CLEAR));
  p->pixels[0] = pixmap_rgba(255, 128, 8, 0x77);
  p->pixels[1] = pixmap_rgba(16, 255, 200, 0x11);

  fake->format = {16, 0x7C00, 0x03E0, 0x001F};
  ASSERT_EQ(open_320(), 1);
  ASSERT_EQ(d.present(10, 20, p.get(), 0, 0, 2, 1), 1);
  EXPECT_EQ(pixel16(10, 20), uint16_t(30 << 10 | 15 << 5 | 0));
  EXPECT_EQ(pixel16(11, 20), uint16_t(1 << 10 | 30 << 5 | 24));

  fake->format = {24, 0xFF0000, 0x00FF00, 0x0000FF};
  ASSERT_EQ(d.open(320, 240, "t", 4), 1);
  ASSERT_EQ(d.present(10, 20, p.get(), 0, 0, 2, 1), 1);
  const uint8_t* row = fake->surface.data() + 20 * size_t(fake->pitch);
  const uint8_t expect24[] = {7, 127, 254, 199, 254, 15}; // blue, green, red per pixel
  EXPECT_EQ(std::memcmp(row + 30, expect24, 6), 0);
  EXPECT_EQ(row[29], 0xEE);
  EXPECT_EQ(row[36], 0xEE);

  fake->format = {32, 0xFF0000, 0x00FF00, 0x0000FF};
  ASSERT_EQ(d.open(320, 240, "t", 0), 1);
  ASSERT_EQ(d.present(0, 0, p.get(), 0, 0, 2, 1), 1);
  uint32_t v[2];
  std::memcpy(v, fake->surface.data(), 8);
  EXPECT_EQ(v[0], 0x00FE7F07u);
  EXPECT_EQ(v[1], 0x000FFEC7u);
}

TEST_F(DirectDraw, PresentClipsToPixmapAndMode) {
  ASSERT_EQ(open_320(), 1);
  pixmap_ptr p = make_pixmap(64, 64);
  // Source starts at -10: destination moves by 10; the rectangle runs past the
  // pixmap's end and past the screen's right and bottom edges.
  ASSERT_EQ(d.present(300, 230, p.get(), -10, -4, 100, 100), 1);
  int drawn = 0;
  for (int32_t y = 0; y < 240; y++)
    for (int32_t x = 0; x < 320; x++)
      if (pixel16(x, y) != 0xEEEE) {
        drawn++;
        EXPECT_GE(x, 310);
        EXPECT_GE(y, 234);
      }
  EXPECT_EQ(drawn, 10 * 6);
  const uint32_t px = p->pixels[0];
  const uint32_t r = px & 255, g = (px >> 8) & 255, b = (px >> 16) & 255;
  EXPECT_EQ(pixel16(310, 234), uint16_t((31 * r / 256) << 11 | (63 * g / 256) << 5 | (31 * b / 256)));

  fake->surface.assign(fake->surface.size(), 0xEE);
  EXPECT_EQ(d.present(320, 0, p.get(), 0, 0, 64, 64), 1) << "nothing to draw still shows the surface";
  EXPECT_EQ(d.present(0, 0, p.get(), 64, 0, 64, 64), 1);
  EXPECT_EQ(d.present(0, 0, nullptr, 0, 0, 64, 64), 1);
  for (uint8_t b : fake->surface)
    ASSERT_EQ(b, 0xEE);
}

TEST_F(DirectDraw, PresentWhileInactiveDrawsNothingAndRests) {
  pixmap_ptr p = make_pixmap(320, 240);
  EXPECT_EQ(d.present(0, 0, p.get(), 0, 0, 320, 240), 0) << "not open";
  EXPECT_EQ(fake->locks, 0);
  ASSERT_EQ(open_320(), 1);
  fake_video_event(VIDEO_ACTIVATE, 0);
  EXPECT_EQ(d.present(0, 0, p.get(), 0, 0, 320, 240), 0);
  EXPECT_EQ(fake->locks, 0);
  EXPECT_EQ(fake->unlocks, 0);
  EXPECT_EQ(fake->idles, 1) << "rests about one frame instead of spinning";
  fake_video_event(VIDEO_ACTIVATE, 1);
  EXPECT_EQ(d.present(0, 0, p.get(), 0, 0, 320, 240), 1);
  EXPECT_EQ(fake->unlocks, 1);
  EXPECT_EQ(fake->idles, 1);
}

TEST_F(DirectDraw, LostSurfaceIsRestored) {
  ASSERT_EQ(open_320(), 1);
  pixmap_ptr p = make_pixmap(320, 240);
  fake->lose_surface = 1;
  EXPECT_EQ(d.present(0, 0, p.get(), 0, 0, 320, 240), 1);
  EXPECT_EQ(fake->restores, 1);
  EXPECT_EQ(fake->locks, 2);
  EXPECT_NE(pixel16(1, 1), 0xEEEE);
}

TEST_F(DirectDraw, SurfaceTooNarrowForTheModeIsNotWritten) {
  fake->extra_pitch = -2;
  ASSERT_EQ(open_320(), 1);
  pixmap_ptr p = make_pixmap(320, 240);
  EXPECT_EQ(d.present(0, 0, p.get(), 0, 0, 320, 240), 0);
  for (uint8_t b : fake->surface)
    ASSERT_EQ(b, 0xEE);
  EXPECT_EQ(fake->unlocks, 1) << "the surface is unlocked again";
}

TEST_F(DirectDraw, WaitRetraceOnlyDispatchesEvents) {
  ASSERT_EQ(open_320(), 1);
  fake_video_event(VIDEO_KEY_DOWN, VK_SPACE);
  d.wait_retrace();
  EXPECT_EQ(fake->events.size(), 0u);
  EXPECT_EQ(fake->idles, 0);
  EXPECT_EQ(fake->unlocks, 0);
  EXPECT_EQ(d.read_key(), 32);
}

TEST_F(DirectDraw, KeysWithShiftCapsLockAndAFullQueue) {
  ASSERT_EQ(open_320(), 1);
  fake_video_event(VIDEO_KEY_DOWN, 'P');
  EXPECT_EQ(d.key_down('p'), 1) << "key_down dispatches first";
  fake_video_event(VIDEO_KEY_UP, 'P');
  EXPECT_EQ(d.key_down('p'), 0);
  EXPECT_EQ(d.read_key(), 112);

  fake_video_event(VIDEO_KEY_DOWN, 'P');
  fake_video_event(VIDEO_KEY_DOWN, 'P');
  fake_video_event(VIDEO_KEY_DOWN, 'P');
  d.wait_retrace();
  fake->shift_held = 1;
  EXPECT_EQ(d.read_key(), 80);
  fake->shift_held = 0;
  fake->caps_on = 1;
  EXPECT_EQ(d.read_key(), 80);
  fake->caps_on = 0;
  EXPECT_EQ(d.read_key(), 112);
  EXPECT_EQ(d.read_key(), 0);

  // Shift itself is queued and held in this driver.
  fake_video_event(VIDEO_KEY_DOWN, VK_SHIFT);
  EXPECT_EQ(d.key_down(VK_SHIFT), 1);
  EXPECT_EQ(d.read_key(), VK_SHIFT);
  EXPECT_EQ(d.key_down(600), 0);
  EXPECT_EQ(d.key_down(-1), 0);

  for (int i = 0; i < 300; i++)
    fake_video_event(VIDEO_KEY_DOWN, i < 256 ? 'A' : 'B');
  d.wait_retrace();
  EXPECT_EQ(d.key_down('b'), 1) << "a dropped press still marks the key held";
  int n = 0;
  while (int32_t k = d.read_key()) {
    EXPECT_EQ(k, 'a');
    n++;
  }
  EXPECT_EQ(n, 256);
}

TEST_F(DirectDraw, VirtualMouseStaysInsideItsBounds) {
  ASSERT_EQ(open_320(), 1);
  EXPECT_EQ(d.mouse_x(), 0);
  EXPECT_EQ(d.mouse_y(), 0);
  fake->cursor_x = 160 + 25;
  fake->cursor_y = 120 + 7;
  fake_video_event(VIDEO_TIMER, 1);
  EXPECT_EQ(d.mouse_x(), 25);
  EXPECT_EQ(d.mouse_y(), 7);
  EXPECT_EQ(fake->cursor_x, 160) << "the pointer goes back to the centre";
  EXPECT_EQ(fake->cursor_y, 120);

  fake->cursor_x = 100000;
  fake->cursor_y = -100000;
  fake_video_event(VIDEO_TIMER, 1);
  EXPECT_EQ(d.mouse_x(), 320);
  EXPECT_EQ(d.mouse_y(), 0);
  EXPECT_EQ(d.mouse_total_dx(), 25 + 100000 - 160);
  EXPECT_EQ(d.mouse_total_dy(), 7 - 100000 - 120);
  for (int i = 0; i < 50; i++) {
    fake->cursor_x = -1000;
    fake->cursor_y = 5000;
    fake_video_event(VIDEO_TIMER, 1);
    d.wait_retrace();
    EXPECT_GE(d.mouse_x(), 0);
    EXPECT_LE(d.mouse_y(), 240);
  }
  EXPECT_EQ(d.mouse_x(), 0);
  EXPECT_EQ(d.mouse_y(), 240);

  // While inactive the cursor timer leaves everything alone.
  fake_video_event(VIDEO_ACTIVATE, 0);
  fake->cursor_x = 300;
  fake_video_event(VIDEO_TIMER, 1);
  d.wait_retrace();
  EXPECT_EQ(d.mouse_x(), 0);
  EXPECT_EQ(fake->cursor_x, 300);

  fake_video_event(VIDEO_BUTTON_DOWN, VIDEO_BUTTON_LEFT);
  fake_video_event(VIDEO_BUTTON_DOWN, VIDEO_BUTTON_RIGHT);
  EXPECT_EQ(d.mouse_buttons(), 3u);
  fake_video_event(VIDEO_BUTTON_UP, VIDEO_BUTTON_LEFT);
  EXPECT_EQ(d.mouse_buttons(), 2u);
}

TEST_F(DirectDraw, UnknownTimerIsReported) {
  ASSERT_EQ(open_320(), 1);
  fake_video_event(VIDEO_TIMER, 7);
  testing::internal::CaptureStdout();
  d.wait_retrace();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Unknown timer caught!\n");
}

TEST_F(DirectDraw, AxesAndFireAreZero) {
  ASSERT_EQ(open_320(), 1);
  fake_video_event(VIDEO_KEY_DOWN, VK_RIGHT);
  fake_video_event(VIDEO_KEY_DOWN, VK_UP);
  d.wait_retrace();
  EXPECT_EQ(d.axis_x(0), 0);
  EXPECT_EQ(d.axis_y(0), 0);
  EXPECT_EQ(d.fire_button(0), 0);
  EXPECT_EQ(d.key_down(VK_RIGHT), 1);
}

TEST_F(DirectDraw, CloseReleasesEverythingAndTheCloseButtonReadsAsEscape) {
  ASSERT_EQ(open_320(), 1);
  fake_video_event(VIDEO_KEY_DOWN, VK_SPACE);
  fake_video_event(VIDEO_CLOSE);
  d.wait_retrace();
  EXPECT_EQ(d.read_key(), VK_ESCAPE);
  EXPECT_EQ(d.read_key(), VK_ESCAPE) << "the show ends whichever loop reads next";
  d.close();
  EXPECT_EQ(fake->window_exists, 0);
  EXPECT_EQ(fake->timers.size(), 0u);
  EXPECT_EQ(fake->startups, fake->shutdowns);
  pixmap_ptr p = make_pixmap(8, 8);
  const int locks = fake->locks;
  EXPECT_EQ(d.present(0, 0, p.get(), 0, 0, 8, 8), 0) << "nothing is presented after close";
  EXPECT_EQ(fake->locks, locks);
  d.close(); // a second close is harmless
  EXPECT_EQ(fake->startups, fake->shutdowns);
  ASSERT_EQ(open_320(), 1) << "opens again after close";
  EXPECT_NE(d.read_key(), VK_ESCAPE) << "a new window has not been closed";
}
