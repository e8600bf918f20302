#include "opening_fixtures.h"

#include "mem.h"
#include "pfs_archive.h"
#include "pfs_writer.h"
#include "testkit.h"
#include "vfs.h"

#include <gtest/gtest.h>

const opening_files& opening_build_files() {
  static opening_files files;
  if (!files.empty())
    return files;
  pfs_archive archive;
  std::string reason;
  if (!pfs_archive_open(&archive, (testkit_bin_dir() + "/data.dat").c_str(), &reason))
    return files;
  for (const pfs_entry& e : archive.entries) {
    uint8_t* bytes = pfs_archive_inflate(&archive, &e, &reason);
    if (!bytes)
      continue;
    files[e.name] = std::vector<uint8_t>(bytes, bytes + e.unpacked_size);
    mem_free(bytes);
  }
  return files;
}

namespace {
std::string archive_path;
}

int opening_use_archive(const std::string& dir, const opening_files& files, std::string* error) {
  std::vector<pfs_writer_item> items;
  for (const auto& [name, bytes] : files)
    items.push_back({name, bytes});
  archive_path = dir + "/data.dat";
  if (!pfs_writer_write(archive_path.c_str(), items, error))
    return 0;
  pfs_device_reset();
  pfs_device.parameter = archive_path.c_str();
  if (!vfs_device_enable(&pfs_device, 0) || !vfs_device_init(&pfs_device, 0, 0)) {
    *error = "the archive device does not start";
    return 0;
  }
  return 1;
}

void opening_release_archive() {
  pfs_device_reset();
  pfs_device.parameter = "data.dat";
  vfs_device_enable(&stdio_device, 0);
}

void opening_each_variant(const std::vector<opening_variant>& variants, const std::function<void()>& check) {
  for (const opening_variant& v : variants) {
    SCOPED_TRACE(v.what);
    testkit_tempdir dir;
    opening_files files = opening_build_files();
    ASSERT_TRUE(files.count(v.name)) << v.name;
    if (v.bytes.empty())
      files.erase(v.name);
    else
      files[v.name] = v.bytes;
    std::string error;
    ASSERT_EQ(opening_use_archive(dir.path, files, &error), 1) << error;
    check();
    opening_release_archive();
  }
}

void opening_clock_set(music_clock* clock, float frame_delta, uint32_t order, uint32_t row) {
  clock->frame_delta = frame_delta;
  clock->order = order;
  clock->row = row;
}

opening_pixmap opening_noise(int32_t width, int32_t height, uint32_t seed, uint32_t flags) {
  opening_pixmap pm(pixmap_create(width, height, flags));
  uint32_t x = seed;
  for (int64_t i = 0; i < int64_t(width) * height; i++) {
    x = x * 1664525u + 1013904223u;
    pm->pixels[i] = x ^ (x >> 13);
  }
  return pm;
}

uint64_t opening_picture_hash(const pixmap* p) {
  uint64_t h = 1469598103934665603ull;
  for (int64_t i = 0; i < int64_t(p->width) * p->height; i++)
    h = (h ^ (p->pixels[i] & 0xFFFFFF)) * 1099511628211ull;
  return h;
}

double opening_lit_share(const pixmap* p) {
  int64_t lit = 0, all = int64_t(p->width) * p->height;
  for (int64_t i = 0; i < all; i++)
    lit += (p->pixels[i] & 0xFFFFFF) != 0;
  return double(lit) / double(all);
}
