#include "show_run.h"

#include "display.h"
#include "headless.h"
#include "music.h"
#include "vfs.h"

#include <filesystem>

namespace {
void advance_clock(void*) {
  music_virtual_advance_to(music_virtual_frame_sample(uint64_t(headless_retraces()), show_run::FPS), nullptr);
}

void reset_all() {
  music_reset();
  headless_reset();
  pfs_device_reset();
}

show_frame frame_of(const shell_frame_info* info, const pixmap* p) {
  uint64_t h = 1469598103934665603ull;
  int64_t lit = 0, sum = 0;
  const int64_t all = int64_t(p->width) * p->height;
  for (int64_t i = 0; i < all; i++) {
    const uint32_t px = p->pixels[i] & 0xFFFFFF;
    h = (h ^ px) * 1099511628211ull;
    lit += px != 0;
    sum += (px & 255) + ((px >> 8) & 255) + (px >> 16);
  }
  return {*info,
          music_clock_get()->tick_count,
          h,
          double(lit) / double(all),
          double(sum) / double(3 * all),
          p->pixels[0] & 0xFFFFFF,
          p->pixels[size_t(p->height - 1) * size_t(p->width)] & 0xFFFFFF};
}

void walk_observe(void* self, const shell_frame_info* info) {
  show_walk* f = static_cast<show_walk*>(self);
  const int32_t s = info->part_state;
  if (s < f->skip_to && s != f->skipped && !f->frames.empty() && f->frames.back().info.part_state == s) {
    show_run::press_space();
    f->skipped = s;
  }
  f->frames.push_back(frame_of(info, headless_screen()));
}

int walk_stop(void* self) {
  const show_walk* f = static_cast<show_walk*>(self);
  if (headless_retraces() > int64_t(show_run::FPS) * f->seconds)
    return 1;
  int32_t after = 0;
  for (auto it = f->frames.rbegin(); it != f->frames.rend() && it->info.part_state > f->last; ++it)
    after++;
  return after >= f->frames_after;
}
} // namespace

void show_run::SetUp() {
  reset_all();
  vfs_device_enable(&stdio_device, 0);
}

void show_run::TearDown() { reset_all(); }

void show_run::run_show(void (*observe)(void*, const shell_frame_info*), int (*stop)(void*)) {
  if (!std::filesystem::exists(dir.path + "/data.dat")) {
    ASSERT_TRUE(copy_build_archive()) << "no data.dat beside the programs";
  }
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

bool show_run::copy_build_archive() const {
  const std::vector<uint8_t> bytes = testkit_read_file(testkit_bin_dir() + "/data.dat");
  if (bytes.empty())
    return false;
  testkit_write_file(dir.path + "/data.dat", bytes);
  return true;
}

void show_run::press_space() { headless_add_key(double(headless_retraces()) / FPS, VK_SPACE); }

void show_walk::walk() { run_show(walk_observe, walk_stop); }

std::vector<int32_t> show_walk::states() const {
  std::vector<int32_t> out;
  for (const show_frame& f : frames)
    if (out.empty() || out.back() != f.info.part_state)
      out.push_back(f.info.part_state);
  return out;
}

int show_walk::first_of(int32_t state) const {
  for (size_t i = 0; i < frames.size(); i++)
    if (frames[i].info.part_state == state)
      return int(i);
  return -1;
}

int show_walk::last_of(int32_t state) const {
  for (size_t i = frames.size(); i-- > 0;)
    if (frames[i].info.part_state == state)
      return int(i);
  return -1;
}
