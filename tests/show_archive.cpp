#include "show_archive.h"

#include "mem.h"
#include "music_songs.h"
#include "pfs_archive.h"
#include "pfs_writer.h"
#include "picture_fixtures.h"
#include "testkit.h"

#include <set>

namespace {
// The build's data.dat without the files the test archive makes itself.
int add_effect_data(std::vector<pfs_writer_item>* items, std::string* error) {
  const std::string path = testkit_bin_dir() + "/data.dat";
  pfs_archive archive;
  if (!pfs_archive_open(&archive, path.c_str(), error))
    return 0;
  const std::set<std::string> own = {"loadpic.pcx", "lillget1.tga", "vorlane.xm", "endpart.xm"};
  for (const pfs_entry& e : archive.entries) {
    if (own.count(e.name))
      continue;
    uint8_t* bytes = pfs_archive_inflate(&archive, &e, error);
    if (!bytes)
      return 0;
    items->push_back({e.name, std::vector<uint8_t>(bytes, bytes + e.unpacked_size)});
    mem_free(bytes);
  }
  return 1;
}
} // namespace

int show_archive_write(const std::string& dir, const show_archive_options& options, std::string* error) {
  std::vector<pfs_writer_item> items;
  if (options.loading_picture) {
    // A 24-bit picture: a blue-to-purple gradient.
    fixture_bytes rgb;
    for (int y = 0; y < 240; y++)
      for (int x = 0; x < 320; x++) {
        rgb.push_back(uint8_t(x * 120 / 320));
        rgb.push_back(uint8_t(20));
        rgb.push_back(uint8_t(80 + y * 100 / 240));
      }
    items.push_back({"loadpic.pcx", fixture_pcx(320, 240, 3, rgb, {})});
  }
  if (options.sprite) {
    std::vector<uint32_t> px(32 * 32);
    for (int y = 0; y < 32; y++)
      for (int x = 0; x < 32; x++) {
        const int dx = x - 16, dy = y - 16;
        px[y * 32 + x] = dx * dx + dy * dy < 14 * 14 ? 0xFF40C0F0u : 0xFF0000FFu; // red 255: see-through
      }
    items.push_back({"lillget1.tga", fixture_tga(32, 32, 32, px)});
  }
  if (options.main_song)
    items.push_back({"vorlane.xm", music_test_song_bytes(std::vector<uint16_t>(SHOW_MAIN_ORDERS, 4), 3, 125)});
  if (options.end_song) {
    std::vector<uint16_t> rows(SHOW_END_ORDERS, 4);
    rows[17] = 64;
    items.push_back({"endpart.xm", music_test_song_bytes(rows, 3, 125)});
  }
  if (options.effect_data && !add_effect_data(&items, error))
    return 0;
  return pfs_writer_write((dir + "/data.dat").c_str(), items, error);
}
