#include "mem.h"
#include "reader_checks.h"
#include "scx.h"
#include "testkit.h"
#include "vfs.h"

#include <gtest/gtest.h>

namespace {

struct scx_deleter {
  void operator()(scx_bitmap* map) const { scx_free(map); }
};
using scx_ptr = std::unique_ptr<scx_bitmap, scx_deleter>;

// Loads and checks that nothing but the map (two blocks) is kept.
scx_ptr load_scx(const fixture_bytes& bytes) {
  testkit_write_file("m.scx", bytes);
  vfs_close(vfs_open("m.scx", "rb"));
  const reader_watch before = reader_watch_now();
  scx_ptr map(scx_load("m.scx"));
  reader_watch expected = before;
  if (map)
    expected.blocks += 2;
  EXPECT_TRUE(reader_released(expected));
  return map;
}

TEST(Scx, MapLoadsInFileOrderWhateverTheHeaderHolds) {
  testkit_tempdir dir(true);
  const fixture_bytes pixels = testkit_random_bytes(128 * 128, 3);
  const fixture_bytes file = fixture_scx(128, 128, pixels, 1);
  ASSERT_EQ(file.size(), 778u + 16384u);
  for (uint32_t junk : {1u, 2u}) {
    scx_ptr map = load_scx(fixture_scx(128, 128, pixels, junk));
    ASSERT_TRUE(map);
    EXPECT_EQ(map->width, 128);
    EXPECT_EQ(map->height, 128);
    EXPECT_EQ(fixture_bytes(map->pixels, map->pixels + 16384), pixels);
  }
  scx_ptr wide = load_scx(fixture_scx(300, 7, testkit_random_bytes(2100, 4), 5));
  ASSERT_TRUE(wide);
  EXPECT_EQ(fixture_bytes(wide->pixels, wide->pixels + 2100), testkit_random_bytes(2100, 4));
}

TEST(Scx, ShortFileKeepsZeroBytes) {
  testkit_tempdir dir(true);
  const fixture_bytes pixels = testkit_random_bytes(64 * 32, 8);
  const fixture_bytes file = fixture_scx(64, 32, pixels, 2);
  for (size_t cut : {size_t(8), size_t(100), size_t(778), size_t(779), size_t(1500), file.size() - 1}) {
    scx_ptr map = load_scx(fixture_bytes(file.begin(), file.begin() + long(cut)));
    ASSERT_TRUE(map) << "cut " << cut;
    ASSERT_EQ(map->width, 64);
    ASSERT_EQ(map->height, 32);
    const size_t held = cut > 778 ? cut - 778 : 0;
    for (size_t i = 0; i < pixels.size(); i++)
      ASSERT_EQ(map->pixels[i], i < held ? pixels[i] : 0) << "cut " << cut << " byte " << i;
  }
}

TEST(Scx, RefusedFiles) {
  testkit_tempdir dir(true);
  EXPECT_FALSE(load_scx(fixture_scx(0, 10, {}, 1)));
  EXPECT_FALSE(load_scx(fixture_scx(10, 0, {}, 1)));
  EXPECT_FALSE(load_scx(fixture_bytes(7, 1))) << "cut before the size is complete";
  // 65535 x 65535 from a file of a few bytes is refused; a short file may
  // lack up to SCX_MAX_MISSING bytes.
  EXPECT_FALSE(load_scx(fixture_scx(65535, 65535, {1, 2, 3}, 1)));
  EXPECT_FALSE(load_scx(fixture_scx(1025, 1024, {1, 2, 3}, 1)));
  EXPECT_TRUE(load_scx(fixture_scx(1024, 1024, {1, 2, 3}, 1)));
  EXPECT_FALSE(scx_load("missing.scx"));
}

} // namespace
