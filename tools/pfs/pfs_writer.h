// Writer of packed archives (the data.dat format read by pfs_device).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct pfs_writer_item {
  std::string name; // entry name, relative to the data directory
  std::vector<uint8_t> data;
};

// Writes the items, in the order given, to a temporary file beside path and
// renames it into place. Returns 1, or 0 with error set.
int pfs_writer_write(const char* path, const std::vector<pfs_writer_item>& items, std::string* error);

// Packs every regular file under dir (links and other kinds skipped) with
// names relative to dir, '/'-separated, sorted bytewise. Refuses names over
// 255 bytes, names that collide ignoring case and slash direction, and an
// archive path inside dir.
int pfs_writer_pack_dir(const char* dir, const char* path, std::string* error);
