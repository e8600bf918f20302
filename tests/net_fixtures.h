// Shared pieces of the block filler's, the net's and the hypervoxel's tests:
// a texture that shows where it was read, and the show's objects their
// inits receive, with the build's data in a test archive.
#pragma once

#include "blend.h"
#include "opening_fixtures.h"
#include "render_context.h"
#include "shade.h"
#include "show_context.h"
#include "testkit.h"

#include <gtest/gtest.h>

// A 256 x 256 texture whose texel at (u, v) holds u in its red byte, v in
// its green byte and extra in the others.
inline opening_pixmap net_coordinate_texture(uint32_t extra) {
  opening_pixmap t(pixmap_create(256, 256, 0));
  for (uint32_t v = 0; v < 256; v++)
    for (uint32_t u = 0; u < 256; u++)
      t->pixels[v * 256 + u] = u | v << 8 | (extra & 0xFFFF0000u);
  return t;
}

// The files of the net, the hypervoxel, the magnet and the qube from the
// build's data.dat (and the pictures the tests put in their place).
inline opening_files net_build_files() {
  opening_files out;
  for (const auto& [name, bytes] : opening_build_files())
    for (const char* folder : {"netnet/", "hvoxel/", "magnet/", "qube/"})
      if (name.rfind(folder, 0) == 0)
        out[name] = bytes;
  return out;
}

// The frame, render context, shade table and clock of the show in one show
// context, and the blending tables start-up builds; archive() makes the archive device read the given files.
struct net_show_objects : ::testing::Test {
  testkit_tempdir dir;
  opening_pixmap frame{pixmap_create(320, 240, PIXMAP_CLEAR | PIXMAP_DEPTH)};
  render_context* rc = nullptr;
  uint8_t shade[SHADE_TABLE_BYTES];
  music_clock clock{};
  show_context show{};

  void SetUp() override {
    rc = render_context_create(1, frame.get(), 320, 240, 400.0f);
    shade_table_build(shade, 255, 0);
    build_mul_tables();
    show = show_context{&clock, frame.get(), shade, rc, nullptr, show_pictures{}};
  }
  void TearDown() override {
    render_context_free(rc);
    opening_release_archive();
  }
  void archive(const opening_files& files) {
    std::string error;
    ASSERT_EQ(opening_use_archive(dir.path, files, &error), 1) << error;
  }
  // Runs an init on the archive of files, its readers' lines kept quiet.
  int32_t init_with(const opening_files& files, int32_t (*init)(show_context*)) {
    archive(files);
    testing::internal::CaptureStdout();
    const int32_t ok = init(&show);
    testing::internal::GetCapturedStdout();
    return ok;
  }
};
