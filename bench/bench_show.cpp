#include "bench_show.h"

#include "blend.h"
#include "vfs.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>

bench_show* bench_show_open(uint32_t frame_flags) {
  static bench_show b;
  static std::string archive;
  if (b.frame)
    return &b;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
  archive = (self.parent_path().parent_path() / "bin" / "data.dat").string();
  pfs_device.parameter = archive.c_str();
  if (!vfs_device_enable(&pfs_device, 0) || !vfs_device_init(&pfs_device, 0, 0))
    return nullptr;
  build_mul_tables();
  shade_table_build(b.shade, 255, 0);
  b.frame = pixmap_create(320, 240, frame_flags | PIXMAP_CLEAR);
  if (!b.frame)
    return nullptr;
  b.rc = render_context_create(1, b.frame, 320, 240, 400.0f);
  b.show = show_context{.clock = &b.clock, .frame = b.frame, .shade = b.shade, .rc = b.rc};
  return &b;
}

void bench_mute(int muted) {
  static int saved = -1;
  std::fflush(stdout);
  if (muted && saved < 0) {
    saved = dup(1);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    close(null);
  } else if (!muted && saved >= 0) {
    dup2(saved, 1);
    close(saved);
    saved = -1;
  }
}
