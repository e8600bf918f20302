#include "show_run.h"

#include "display.h"
#include "headless.h"
#include "music.h"
#include "vfs.h"

namespace {
void advance_clock(void*) {
  music_virtual_advance_to(music_virtual_frame_sample(uint64_t(headless_retraces()), show_run::FPS), nullptr);
}

void reset_all() {
  music_reset();
  headless_reset();
  pfs_device_reset();
}
} // namespace

void show_run::SetUp() {
  reset_all();
  vfs_device_enable(&stdio_device, 0);
}

void show_run::TearDown() { reset_all(); }

void show_run::run_show(void (*observe)(void*, const shell_frame_info*), int (*stop)(void*)) {
  const std::vector<uint8_t> bytes = testkit_read_file(testkit_bin_dir() + "/data.dat");
  ASSERT_FALSE(bytes.empty()) << "no data.dat beside the programs";
  testkit_write_file(dir.path + "/data.dat", bytes);
  music_virtual_enable(1);
  headless_configure(FPS, advance_clock, nullptr);
  shell_config config{.driver = &headless_driver,
                      .frame_observer = observe,
                      .stop_requested = stop,
                      .context = this,
                      .result = &result};
  testing::internal::CaptureStdout();
  const int status = shell_run(&config);
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(status, 0);
}

void show_run::press_space() { headless_add_key(double(headless_retraces()) / FPS, VK_SPACE); }
