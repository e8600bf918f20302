// Shared checks of the picture reader tests.
#pragma once

#include "picture_fixtures.h"
#include "pixmap.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

// What a reader must give back once it returns: memory blocks of the memory
// helpers and open file descriptors.
struct reader_watch {
  uint32_t blocks;
  int fds;
};
reader_watch reader_watch_now();
::testing::AssertionResult reader_released(const reader_watch& before);

struct pixmap_deleter {
  void operator()(pixmap* pm) const { pixmap_free(pm); }
};
using pixmap_ptr = std::unique_ptr<pixmap, pixmap_deleter>;

// Runs a reader on path and checks that it kept nothing but the pixmap it
// returned (three blocks) and closed its file.
pixmap_ptr reader_load(pixmap* (*load)(const char*), const std::string& path);
// The same after writing bytes to path.
pixmap_ptr reader_load_bytes(pixmap* (*load)(const char*), const std::string& path, const fixture_bytes& bytes);

// Captures standard output (or error) for its lifetime, also when an
// assertion leaves the test early.
struct reader_capture {
  bool error;
  bool taken = false;
  explicit reader_capture(bool standard_error = false) : error(standard_error) {
    if (error)
      testing::internal::CaptureStderr();
    else
      testing::internal::CaptureStdout();
  }
  std::string text() {
    taken = true;
    return error ? testing::internal::GetCapturedStderr() : testing::internal::GetCapturedStdout();
  }
  ~reader_capture() {
    if (!taken)
      text();
  }
};

// 1 when the command is found on PATH.
bool reader_tool_available(const std::string& name);
#define READER_REQUIRE_TOOL(name)                                                                                      \
  ASSERT_TRUE(reader_tool_available(name)) << "the test needs '" << (name) << "' on PATH (scripts/setup installs it)"

// Runs a shell command; fails with its output when its status is not 0.
::testing::AssertionResult reader_run(const std::string& command);

// ImageMagick's decoding of input as raw bytes ("rgb" or "rgba").
fixture_bytes reader_magick_raw(const std::string& input, const std::string& options, const std::string& format);

// Pixel bytes of a PPM (P6) or PGM (P5) file as red, green, blue triples.
fixture_bytes reader_read_pnm(const std::string& path, int* w, int* h);

// Compares the pixmap with w * h triples (or quads when alpha < 0, byte 3 from
// the data); byte 3 must equal alpha otherwise.
::testing::AssertionResult reader_same(const pixmap* pm, int w, int h, const fixture_bytes& expected, int alpha);

// The triples of an indexed picture, looked up in a palette of triples.
fixture_bytes reader_lookup(const fixture_bytes& indices, const fixture_bytes& palette);

// Rows of a w-wide picture of 'channels' bytes per pixel, taken in the order given.
fixture_bytes reader_reorder_rows(const fixture_bytes& pixels, int w, int channels, const std::vector<int>& rows);
