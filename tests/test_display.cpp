// Behaviour all drivers share (key queue, translation, clipping), and the
// headless driver.
#include "display.h"
#include "headless.h"

#include <gtest/gtest.h>

#include <memory>

TEST(DisplayKeys, TranslationTable) {
  for (int vk = 0; vk <= 64; vk++)
    EXPECT_EQ(display_translate_key(vk), vk);
  for (int vk = 'A'; vk <= 'Z'; vk++)
    EXPECT_EQ(display_translate_key(vk), vk + 32);
  EXPECT_EQ(display_translate_key(VK_ADD), '+');
  EXPECT_EQ(display_translate_key(VK_SUBTRACT), '-');
  for (int vk : {91, 106, 108, 112, 128, 200, 255, 256, -1, 100000})
    EXPECT_EQ(display_translate_key(vk), 0) << vk;
}

TEST(DisplayKeys, QueueIsOldestFirstAndEmptyGivesZero) {
  display_keys keys;
  display_keys_reset(&keys);
  EXPECT_EQ(display_keys_read(&keys), 0);
  display_keys_press(&keys, VK_SPACE);
  display_keys_press(&keys, 'P');
  display_keys_press(&keys, VK_ESCAPE);
  EXPECT_EQ(display_keys_read(&keys), 32);
  EXPECT_EQ(display_keys_read(&keys), 112);
  EXPECT_EQ(display_keys_read(&keys), 27);
  EXPECT_EQ(display_keys_read(&keys), 0);
  display_keys_press(&keys, 0x90); // a code without translation reads as no key
  EXPECT_EQ(display_keys_read(&keys), 0);
}

TEST(DisplayKeys, ShiftAndCapsLockGiveUpperCase) {
  display_keys keys;
  display_keys_reset(&keys);
  keys.shift_down = 1;
  display_keys_press(&keys, 'P');
  display_keys_press(&keys, '5');
  EXPECT_EQ(display_keys_read(&keys), 80) << "Shift+P is not the pause key";
  EXPECT_EQ(display_keys_read(&keys), '5') << "digits stay";
  keys.shift_down = 0;
  keys.caps_lock_on = 3; // only the low bit counts
  display_keys_press(&keys, 'P');
  EXPECT_EQ(display_keys_read(&keys), 80);
  keys.caps_lock_on = 2;
  display_keys_press(&keys, 'P');
  EXPECT_EQ(display_keys_read(&keys), 112);
}

TEST(DisplayKeys, FullQueueDropsPressesButKeepsHeldFlags) {
  display_keys keys;
  display_keys_reset(&keys);
  for (int i = 0; i < 256; i++)
    display_keys_press(&keys, 'A');
  display_keys_press(&keys, 'B');
  EXPECT_EQ(display_keys_held(&keys, 'b'), 1);
  int n = 0;
  while (int32_t k = display_keys_read(&keys)) {
    EXPECT_EQ(k, 'a');
    n++;
  }
  EXPECT_EQ(n, 256);
  display_keys_release(&keys, 'B');
  EXPECT_EQ(display_keys_held(&keys, 'b'), 0);
  EXPECT_EQ(display_keys_held(&keys, 512), 0);
  EXPECT_EQ(display_keys_held(&keys, -1), 0);
}

TEST(DisplayClip, PartlyOutsideDrawsOnlyTheOverlap) {
  std::unique_ptr<pixmap, void (*)(pixmap*)> pm(pixmap_create(320, 240, 0), pixmap_free);
  pixmap_copy_rect c;
  ASSERT_TRUE(display_clip(640, 480, 0, 0, pm.get(), 0, 0, 320, 240, &c));
  EXPECT_EQ(c.w, 320);
  EXPECT_EQ(c.h, 240);
  ASSERT_TRUE(display_clip(640, 480, 0, 0, pm.get(), -10, -20, 400, 400, &c));
  EXPECT_EQ(c.dx, 10);
  EXPECT_EQ(c.dy, 20);
  EXPECT_EQ(c.sx, 0);
  EXPECT_EQ(c.w, 320);
  EXPECT_EQ(c.h, 240);
  ASSERT_TRUE(display_clip(200, 100, 150, 50, pm.get(), 0, 0, 320, 240, &c));
  EXPECT_EQ(c.w, 50);
  EXPECT_EQ(c.h, 50);
  EXPECT_FALSE(display_clip(200, 100, 0, 0, pm.get(), 320, 0, 10, 10, &c));
  EXPECT_FALSE(display_clip(200, 100, 0, 0, pm.get(), 0, 0, 0, 10, &c));
  EXPECT_FALSE(display_clip(200, 100, 0, 0, nullptr, 0, 0, 10, 10, &c));
}

namespace {
struct headless_fixture : ::testing::Test {
  void SetUp() override { headless_reset(); }
  void TearDown() override { headless_reset(); }
};
int hook_calls = 0;
void count_hook(void* ctx) {
  hook_calls++;
  *static_cast<int*>(ctx) += 1;
}
} // namespace

TEST_F(headless_fixture, CapabilitiesAndPresentNeedOpen) {
  display_driver& d = headless_driver;
  EXPECT_EQ(d.capabilities(), 0u);
  std::unique_ptr<pixmap, void (*)(pixmap*)> pm(pixmap_create(320, 240, PIXMAP_CLEAR), pixmap_free);
  EXPECT_EQ(d.present(0, 0, pm.get(), 0, 0, 320, 240), 0);
  ASSERT_EQ(d.open(320, 240, "Vorlane by Pexil", DISPLAY_OPEN_16_BITS), 1);
  EXPECT_EQ(d.capabilities(), 0x4Au);
  int32_t count = 0;
  ASSERT_NE(d.list_modes(&count), nullptr);
  EXPECT_EQ(count, 1);
  pm->pixels[5 * 320 + 7] = 0xAB112233;
  EXPECT_EQ(d.present(0, 0, pm.get(), 0, 0, 320, 240), 1);
  EXPECT_EQ(headless_screen()->pixels[5 * 320 + 7], 0x00112233u) << "the fourth byte is not shown";
  EXPECT_EQ(headless_presents(), 1);
}

TEST_F(headless_fixture, RetraceRunsTheHookAndDeliversDueKeys) {
  int ctx = 0;
  hook_calls = 0;
  headless_configure(10, count_hook, &ctx);
  headless_add_key(0.25, VK_SPACE);
  headless_add_key(0.1, 'P');
  ASSERT_EQ(headless_driver.open(320, 240, "t", DISPLAY_OPEN_16_BITS), 1);
  EXPECT_EQ(headless_driver.read_key(), 0);
  headless_driver.wait_retrace(); // t = 0.1
  EXPECT_EQ(headless_driver.read_key(), 112);
  headless_driver.wait_retrace(); // t = 0.2
  EXPECT_EQ(headless_driver.read_key(), 0);
  headless_driver.wait_retrace(); // t = 0.3
  EXPECT_EQ(headless_driver.read_key(), 32);
  EXPECT_EQ(ctx, 3);
  EXPECT_EQ(headless_retraces(), 3);
}

TEST_F(headless_fixture, RefusedSizesFailOpenWithAText) {
  headless_refuse_size(320, 240);
  EXPECT_EQ(headless_driver.open(320, 240, "t", DISPLAY_OPEN_16_BITS), 0);
  EXPECT_STREQ(headless_driver.error_text(), "[Headless] Mode refused");
  EXPECT_EQ(headless_driver.open(640, 480, "t", DISPLAY_OPEN_16_BITS), 1);
  EXPECT_EQ(headless_screen()->width, 640);
}
