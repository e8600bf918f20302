#include "reader_checks.h"

#include "mem.h"
#include "testkit.h"
#include "vfs.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

reader_watch reader_watch_now() {
  int fds = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
    fds++;
  return {mem_blocks, fds};
}

::testing::AssertionResult reader_released(const reader_watch& before) {
  const reader_watch now = reader_watch_now();
  if (now.blocks != before.blocks)
    return ::testing::AssertionFailure() << int64_t(now.blocks) - int64_t(before.blocks) << " memory blocks kept";
  if (now.fds != before.fds)
    return ::testing::AssertionFailure() << now.fds - before.fds << " files left open";
  return ::testing::AssertionSuccess();
}

pixmap_ptr reader_load(pixmap* (*load)(const char*), const std::string& path) {
  // The file layer keeps released handle records for reuse; make sure one is
  // there before counting.
  vfs_close(vfs_open(path.c_str(), "rb"));
  const reader_watch before = reader_watch_now();
  pixmap* pm = load(path.c_str());
  reader_watch expected = before;
  if (pm)
    expected.blocks += 3;
  EXPECT_TRUE(reader_released(expected)) << path;
  return pixmap_ptr(pm);
}

pixmap_ptr reader_load_bytes(pixmap* (*load)(const char*), const std::string& path, const fixture_bytes& bytes) {
  // A new file each time: rewriting one in place makes some file systems
  // flush it on close, which slows the mutation loops down a hundredfold.
  std::remove(path.c_str());
  testkit_write_file(path, bytes);
  return reader_load(load, path);
}

bool reader_tool_available(const std::string& name) {
  return testkit_run("command -v '" + name + "' >/dev/null 2>&1") == 0;
}

::testing::AssertionResult reader_run(const std::string& command) {
  std::string output;
  const int status = testkit_run("(" + command + ") 2>&1", &output);
  if (status != 0)
    return ::testing::AssertionFailure() << "'" << command << "' failed (" << status << "): " << output;
  return ::testing::AssertionSuccess();
}

fixture_bytes reader_magick_raw(const std::string& input, const std::string& options, const std::string& format) {
  const std::string out = "magick-decoded.raw";
  std::remove(out.c_str());
  if (!reader_run("convert '" + input + "' " + options + " -depth 8 " + format + ":" + out))
    return {};
  return testkit_read_file(out);
}

fixture_bytes reader_read_pnm(const std::string& path, int* w, int* h) {
  const fixture_bytes file = testkit_read_file(path);
  std::string head(file.begin(), file.begin() + std::min<size_t>(file.size(), 64));
  std::istringstream in(head);
  std::string magic;
  int maxval = 0;
  in >> magic >> *w >> *h >> maxval;
  const size_t start = size_t(in.tellg()) + 1;
  const size_t count = size_t(*w) * size_t(*h);
  if (magic == "P6" && file.size() >= start + count * 3)
    return fixture_bytes(file.begin() + long(start), file.begin() + long(start + count * 3));
  if (magic == "P5" && file.size() >= start + count) {
    fixture_bytes rgb;
    for (size_t i = 0; i < count; i++)
      rgb.insert(rgb.end(), 3, file[start + i]);
    return rgb;
  }
  return {};
}

static std::string reader_hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08x", value);
  return text;
}

::testing::AssertionResult reader_same(const pixmap* pm, int w, int h, const fixture_bytes& expected, int alpha) {
  if (!pm)
    return ::testing::AssertionFailure() << "no pixmap";
  if (pm->width != w || pm->height != h)
    return ::testing::AssertionFailure() << "size " << pm->width << "x" << pm->height << ", expected " << w << "x" << h;
  const size_t channels = alpha < 0 ? 4 : 3;
  if (expected.size() != size_t(w) * size_t(h) * channels)
    return ::testing::AssertionFailure() << "expected data has " << expected.size() << " bytes";
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      const size_t i = size_t(y) * size_t(w) + size_t(x);
      const uint8_t* e = &expected[i * channels];
      const uint32_t want = pixmap_rgba(e[0], e[1], e[2], alpha < 0 ? e[3] : uint32_t(alpha));
      const uint32_t got = pm->pixels[i];
      if (got != want)
        return ::testing::AssertionFailure()
               << "pixel (" << x << "," << y << ") is " << reader_hex(got) << ", expected " << reader_hex(want);
    }
  return ::testing::AssertionSuccess();
}

fixture_bytes reader_lookup(const fixture_bytes& indices, const fixture_bytes& palette) {
  fixture_bytes out;
  out.reserve(indices.size() * 3);
  for (uint8_t i : indices)
    out.insert(out.end(), palette.begin() + i * 3, palette.begin() + i * 3 + 3);
  return out;
}

fixture_bytes reader_reorder_rows(const fixture_bytes& pixels, int w, int channels, const std::vector<int>& rows) {
  fixture_bytes out;
  const size_t stride = size_t(w) * size_t(channels);
  for (int r : rows)
    out.insert(out.end(), pixels.begin() + long(size_t(r) * stride), pixels.begin() + long(size_t(r + 1) * stride));
  return out;
}
