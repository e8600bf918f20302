// The packed archive format of data.dat: zlib streams followed by a
// directory and a 12-byte trailer (all integers 32-bit little-endian).
//
//   directory entry: offset, unpacked size, packed size, fourth value, name\0
//   trailer:         first value, entry count, directory offset
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int PFS_NAME_MAX = 255;        // characters of an entry name
constexpr int PFS_PATH_MAX = 127;        // characters of the archive path
constexpr uint32_t PFS_MAX_RATIO = 1032; // zlib expands at most about this much

struct pfs_entry {
  uint32_t offset;
  uint32_t unpacked_size;
  uint32_t packed_size;
  uint32_t fourth;
  std::string name;
};

struct pfs_archive {
  std::string path;
  uint32_t file_size;
  std::vector<pfs_entry> entries;
};

// Reads the directory of the archive at path. On failure the directory is
// left empty and reason says why.
int pfs_archive_open(pfs_archive* archive, const char* path, std::string* reason);

// Two names match when they have the same length and agree ignoring case and
// slash direction. Returns the first match, or none.
const pfs_entry* pfs_archive_find(const pfs_archive* archive, const char* name);
// Case and slash folding of one name character ('\\' -> '/', upper -> lower).
char pfs_fold_char(char c);
int pfs_names_match(const char* a, size_t a_len, const char* b, size_t b_len);

// The entry name the program's file name resolves to: the text after the
// first slash or backslash ("data/intro/torus.lwo" -> "intro/torus.lwo"). A
// name without any separator is looked up whole.
const char* pfs_entry_name(const char* name);

// Reads and inflates one entry into a new block from mem_alloc (the caller
// frees it with mem_free); none with a reason on any fault.
uint8_t* pfs_archive_inflate(const pfs_archive* archive, const pfs_entry* entry, std::string* reason);
