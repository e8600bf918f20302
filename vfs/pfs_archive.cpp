#include "pfs_archive.h"

#include "mem.h"

#include <cstdio>
#include <memory>
#include <zlib.h>

namespace {
struct file_closer {
  void operator()(FILE* f) const { std::fclose(f); }
};
using file_ptr = std::unique_ptr<FILE, file_closer>;

uint32_t get_u32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

int fail(std::string* reason, const std::string& text) {
  if (reason)
    *reason = text;
  return 0;
}
} // namespace

int pfs_archive_open(pfs_archive* archive, const char* path, std::string* reason) {
  archive->entries.clear();
  archive->file_size = 0;
  archive->path = path ? path : "";
  if (archive->path.size() > size_t(PFS_PATH_MAX))
    archive->path.resize(PFS_PATH_MAX);
  file_ptr f(std::fopen(archive->path.c_str(), "rb"));
  if (!f)
    return fail(reason, "cannot open " + archive->path);
  if (std::fseek(f.get(), 0, SEEK_END) != 0)
    return fail(reason, "cannot seek in " + archive->path);
  const long end = std::ftell(f.get());
  if (end < 12)
    return fail(reason, "file too short for an archive trailer");
  if (end > long(UINT32_MAX))
    return fail(reason, "archive larger than 4 GiB");
  uint8_t trailer[12];
  if (std::fseek(f.get(), end - 12, SEEK_SET) != 0 || std::fread(trailer, 1, 12, f.get()) != 12)
    return fail(reason, "cannot read the archive trailer");
  const uint32_t count = get_u32(trailer + 4);
  const uint32_t dir_offset = get_u32(trailer + 8);
  const uint32_t dir_end = uint32_t(end - 12);
  if (dir_offset > dir_end)
    return fail(reason, "directory offset lies outside the file");
  const uint32_t dir_bytes = dir_end - dir_offset;
  // Every entry takes at least 16 bytes of numbers and a name terminator.
  if (count > dir_bytes / 17)
    return fail(reason, "more entries than the directory can hold");
  std::vector<uint8_t> dir(dir_bytes);
  if (std::fseek(f.get(), long(dir_offset), SEEK_SET) != 0 ||
      std::fread(dir.data(), 1, dir.size(), f.get()) != dir.size())
    return fail(reason, "cannot read the archive directory");

  std::vector<pfs_entry> entries;
  entries.reserve(count);
  size_t at = 0;
  for (uint32_t i = 0; i < count; i++) {
    if (dir.size() - at < 16)
      return fail(reason, "directory entry " + std::to_string(i) + " is truncated");
    pfs_entry e;
    e.offset = get_u32(&dir[at]);
    e.unpacked_size = get_u32(&dir[at + 4]);
    e.packed_size = get_u32(&dir[at + 8]);
    e.fourth = get_u32(&dir[at + 12]);
    at += 16;
    size_t len = 0;
    while (at + len < dir.size() && dir[at + len] != 0 && len <= size_t(PFS_NAME_MAX))
      len++;
    if (len > size_t(PFS_NAME_MAX))
      return fail(reason, "entry name " + std::to_string(i) + " is longer than 255 characters");
    if (at + len >= dir.size())
      return fail(reason, "entry name " + std::to_string(i) + " has no terminator");
    e.name.assign(reinterpret_cast<const char*>(&dir[at]), len);
    at += len + 1;
    entries.push_back(std::move(e));
  }
  archive->file_size = uint32_t(end);
  archive->entries = std::move(entries);
  return 1;
}

char pfs_fold_char(char c) {
  if (c == '\\')
    return '/';
  if (c >= 'A' && c <= 'Z')
    return char(c - 'A' + 'a');
  return c;
}

int pfs_names_match(const char* a, size_t a_len, const char* b, size_t b_len) {
  if (a_len != b_len)
    return 0;
  for (size_t i = 0; i < a_len; i++)
    if (pfs_fold_char(a[i]) != pfs_fold_char(b[i]))
      return 0;
  return 1;
}

const pfs_entry* pfs_archive_find(const pfs_archive* archive, const char* name) {
  const size_t len = std::char_traits<char>::length(name);
  for (const pfs_entry& e : archive->entries)
    if (pfs_names_match(e.name.data(), e.name.size(), name, len))
      return &e;
  return nullptr;
}

const char* pfs_entry_name(const char* name) {
  for (const char* c = name; *c; c++)
    if (*c == '/' || *c == '\\')
      return c + 1;
  return name;
}

uint8_t* pfs_archive_inflate(const pfs_archive* archive, const pfs_entry* entry, std::string* reason) {
  if (uint64_t(entry->offset) + entry->packed_size > archive->file_size) {
    fail(reason, entry->name + ": data lies outside the archive");
    return nullptr;
  }
  if (entry->unpacked_size > uint64_t(entry->packed_size) * PFS_MAX_RATIO + 64) {
    fail(reason, entry->name + ": unpacked size is implausible for its packed size");
    return nullptr;
  }
  file_ptr f(std::fopen(archive->path.c_str(), "rb"));
  if (!f) {
    fail(reason, "cannot open " + archive->path);
    return nullptr;
  }
  uint8_t* packed = static_cast<uint8_t*>(mem_alloc(entry->packed_size));
  if (!packed) {
    fail(reason, entry->name + ": out of memory");
    return nullptr;
  }
  if (std::fseek(f.get(), long(entry->offset), SEEK_SET) != 0 ||
      std::fread(packed, 1, entry->packed_size, f.get()) != entry->packed_size) {
    mem_free(packed);
    fail(reason, entry->name + ": cannot read its data");
    return nullptr;
  }
  f.reset();
  uint8_t* data = static_cast<uint8_t*>(mem_alloc(entry->unpacked_size));
  if (!data) {
    mem_free(packed);
    fail(reason, entry->name + ": out of memory");
    return nullptr;
  }
  uLongf out_len = entry->unpacked_size;
  const int rc = uncompress(data, &out_len, packed, entry->packed_size);
  mem_free(packed);
  if (rc != Z_OK || out_len != entry->unpacked_size) {
    mem_free(data);
    fail(reason, entry->name + ": corrupt packed data");
    return nullptr;
  }
  return data;
}
