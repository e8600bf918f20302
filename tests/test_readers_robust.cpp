// Bad input for every reader: files cut at every length and files with bytes
// flipped at every position must fail cleanly or decode partially, never read
// or write out of bounds (run under the asan preset), and always release what
// they took and close their file.
#include "gif.h"
#include "jpeg.h"
#include "pcx.h"
#include "pfs_writer.h"
#include "reader_checks.h"
#include "scx.h"
#include "testkit.h"
#include "tga.h"
#include "vfs.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

// SCX maps seen as grey pixmaps, so one loop serves every reader.
pixmap* scx_as_pixmap(const char* path) {
  scx_bitmap* map = scx_load(path);
  if (!map)
    return nullptr;
  pixmap* pm = pixmap_create(map->width, map->height, 0);
  for (int32_t i = 0; pm && i < map->width * map->height; i++)
    pm->pixels[i] = pixmap_rgba(map->pixels[i], map->pixels[i], map->pixels[i], 255);
  scx_free(map);
  return pm;
}

struct mutation_stats {
  int loaded = 0;
  int refused = 0;
};

void load_mutant(pixmap* (*load)(const char*), const fixture_bytes& bytes, const std::string& what,
                 mutation_stats* stats) {
  pixmap_ptr pm = reader_load_bytes(load, "m.bin", bytes);
  if (!pm) {
    stats->refused++;
    return;
  }
  stats->loaded++;
  ASSERT_GT(pm->width, 0) << what;
  ASSERT_GT(pm->height, 0) << what;
  // Every pixel can be read (a short buffer would trip the sanitizer here).
  uint32_t sum = 0;
  for (int32_t i = 0; i < pm->width * pm->height; i++)
    sum += pm->pixels[i];
  (void)sum;
}

// Truncates at every length and flips every byte three ways.
mutation_stats mutate(pixmap* (*load)(const char*), const fixture_bytes& file) {
  mutation_stats stats;
  for (size_t cut = 0; cut < file.size(); cut++)
    load_mutant(load, fixture_bytes(file.begin(), file.begin() + long(cut)), "cut at " + std::to_string(cut), &stats);
  for (size_t at = 0; at < file.size(); at++)
    for (uint8_t mask : {uint8_t(0xFF), uint8_t(0x01), uint8_t(0x80)}) {
      fixture_bytes bad = file;
      bad[at] ^= mask;
      load_mutant(load, bad, "byte " + std::to_string(at) + " ^ " + std::to_string(mask), &stats);
    }
  // The whole file still loads.
  EXPECT_TRUE(reader_load_bytes(load, "m.bin", file));
  return stats;
}

TEST(ReaderRobustness, Pcx) {
  testkit_tempdir dir(true);
  const fixture_bytes palette = fixture_palette(256, 3);
  fixture_pcx_options across;
  across.runs_across_planes = true;
  for (const fixture_bytes& file :
       {fixture_pcx(13, 7, 3, fixture_rgb(13, 7, 1), {}), fixture_pcx(13, 7, 3, fixture_rgb(13, 7, 2), {}, across),
        fixture_pcx(13, 7, 1, fixture_indices(13, 7, 256, 3), palette)}) {
    const mutation_stats stats = mutate(pcx_load, file);
    EXPECT_GT(stats.loaded, 0);
    EXPECT_GT(stats.refused, 0);
  }
}

TEST(ReaderRobustness, Gif) {
  testkit_tempdir dir(true);
  fixture_gif gif;
  gif.screen_w = 11;
  gif.screen_h = 9;
  gif.palette = fixture_palette(8, 1);
  gif.comment = "robust";
  for (int i = 0; i < 2; i++) {
    fixture_gif_image image;
    image.w = 11 - i * 4;
    image.h = 9 - i * 3;
    image.interlace = i == 1;
    image.indices = fixture_indices(image.w, image.h, 8, uint32_t(i));
    if (i == 1)
      image.palette = fixture_palette(4, 2);
    gif.images.push_back(image);
  }
  const fixture_bytes file = fixture_gif_giflib(gif);
  ASSERT_FALSE(file.empty());
  reader_capture quiet;
  const mutation_stats stats = mutate(gif_load, file);
  EXPECT_GT(stats.loaded, 0);
  EXPECT_GT(stats.refused, 0);
}

// Random bytes as LZW data: the decoder ends at the end of the data or at an
// end code, whatever the codes say (after an early end code the rest of the
// data is read as blocks, which may hold a refused image).
TEST(ReaderRobustness, GifWithRandomCodes) {
  testkit_tempdir dir(true);
  reader_capture quiet;
  int loaded = 0;
  for (uint32_t seed = 1; seed <= 300; seed++) {
    const fixture_bytes noise = testkit_random_bytes(600, seed);
    fixture_bytes file = {'G', 'I', 'F', '8', '7', 'a', 64, 0, 64, 0, 0x87, 0, 0};
    const fixture_bytes palette = fixture_palette(256, seed);
    file.insert(file.end(), palette.begin(), palette.end());
    file.insert(file.end(), {',', 0, 0, 0, 0, 64, 0, 64, 0, 0, uint8_t(2 + seed % 8)});
    for (size_t at = 0; at < noise.size(); at += 200) {
      file.push_back(200);
      file.insert(file.end(), noise.begin() + long(at), noise.begin() + long(at + 200));
    }
    file.insert(file.end(), {0, ';'});
    pixmap_ptr pm = reader_load_bytes(gif_load, "r.gif", file);
    if (pm) {
      loaded++;
      EXPECT_EQ(pm->width, 64);
      EXPECT_EQ(pm->height, 64);
    }
  }
  EXPECT_GT(loaded, 100);
}

TEST(ReaderRobustness, Tga) {
  testkit_tempdir dir(true);
  std::vector<uint32_t> pixels;
  for (int i = 0; i < 7 * 5; i++)
    pixels.push_back(uint32_t(i) * 0x01030507u);
  fixture_tga_options options;
  options.origin = 0;
  options.id = "id";
  for (int bits : {16, 24, 32}) {
    const mutation_stats stats = mutate(tga_load, fixture_tga(7, 5, bits, pixels, options));
    EXPECT_GT(stats.loaded, 0);
    EXPECT_GT(stats.refused, 0);
  }
}

TEST(ReaderRobustness, Jpeg) {
  testkit_tempdir dir(true);
  reader_capture quiet(true);
  for (bool progressive : {false, true}) {
    const mutation_stats stats = mutate(jpeg_load, fixture_jpeg(24, 16, fixture_rgb(24, 16, 5), 75, progressive));
    EXPECT_GT(stats.loaded, 0);
    EXPECT_GT(stats.refused, 0);
  }
}

TEST(ReaderRobustness, Scx) {
  testkit_tempdir dir(true);
  const mutation_stats stats = mutate(scx_as_pixmap, fixture_scx(9, 7, testkit_random_bytes(63, 2), 3));
  EXPECT_GT(stats.loaded, 0);
  EXPECT_GT(stats.refused, 0);
}

// Every reader reads through the file layer: from a packed archive the
// pictures are the same as from plain files.
TEST(ReaderArchive, EveryFormatFromThePackedArchive) {
  testkit_tempdir dir(true);
  const fixture_bytes rgb = fixture_rgb(21, 13, 1);
  const fixture_bytes palette = fixture_palette(256, 1);
  const fixture_bytes indices = fixture_indices(21, 13, 256, 1);
  fixture_gif gif;
  gif.screen_w = 21;
  gif.screen_h = 13;
  gif.palette = palette;
  gif.images.push_back({0, 0, 21, 13, false, {}, indices});
  std::vector<uint32_t> pixels;
  for (int i = 0; i < 21 * 13; i++)
    pixels.push_back(pixmap_rgba(rgb[size_t(i) * 3], rgb[size_t(i) * 3 + 1], rgb[size_t(i) * 3 + 2], 0));
  struct item {
    std::string name;
    pixmap* (*load)(const char*);
    fixture_bytes bytes;
  };
  const std::vector<item> items = {
      {"pics/a.pcx", pcx_load, fixture_pcx(21, 13, 3, rgb, {})},
      {"pics/b.pcx", pcx_load, fixture_pcx(21, 13, 1, indices, palette)},
      {"pics/c.gif", gif_load, fixture_gif_giflib(gif)},
      {"pics/d.tga", tga_load, fixture_tga(21, 13, 24, pixels)},
      {"pics/e.jpg", jpeg_load, fixture_jpeg(21, 13, rgb, 90, false)},
      {"maps/f.scx", scx_as_pixmap, fixture_scx(21, 13, indices, 1)},
  };
  std::vector<pfs_writer_item> archive;
  for (const item& it : items)
    archive.push_back({it.name, it.bytes});
  std::string error;
  ASSERT_TRUE(pfs_writer_write("data.dat", archive, &error)) << error;

  reader_capture quiet;
  std::vector<pixmap_ptr> plain;
  for (const item& it : items) {
    testkit_write_file("plain.bin", it.bytes);
    plain.push_back(reader_load(it.load, "plain.bin"));
  }
  pfs_device_reset();
  pfs_device.parameter = "data.dat";
  vfs_device_enable(&pfs_device, 0);
  for (size_t i = 0; i < items.size(); i++) {
    pixmap_ptr packed = reader_load(items[i].load, "data/" + items[i].name);
    ASSERT_TRUE(packed) << items[i].name;
    ASSERT_TRUE(plain[i]) << items[i].name;
    EXPECT_EQ(packed->width, plain[i]->width);
    EXPECT_EQ(packed->height, plain[i]->height);
    EXPECT_EQ(0, std::memcmp(packed->pixels, plain[i]->pixels, size_t(packed->width * packed->height) * 4))
        << items[i].name;
  }
  // A damaged entry read from the archive fails as cleanly as a plain file.
  EXPECT_FALSE(reader_load(pcx_load, "data/pics/missing.pcx"));
  vfs_device_enable(&stdio_device, 0);
  pfs_device_reset();
}

} // namespace
