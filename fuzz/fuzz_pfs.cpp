// data.dat archives on fuzz input: the directory read, every entry inflated,
// and the first entries read through the archive device. The archive code
// reads a file by path, so the input goes through a temporary file.
#include "fuzz_target.h"
#include "mem.h"
#include "pfs_archive.h"
#include "pfs_writer.h"
#include "vfs.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {
constexpr size_t PFS_FUZZ_ENTRIES = 64; // entries inflated per input
constexpr size_t PFS_FUZZ_OPENS = 8;    // entries read through the device

const std::string& archive_path() {
  static const std::string path = [] {
    const char* dir = std::getenv("TMPDIR");
    std::string p = std::string(dir && *dir ? dir : "/tmp") + "/vorlane-fuzz-" + std::to_string(getpid()) + ".dat";
    std::atexit([] { std::remove(archive_path().c_str()); });
    return p;
  }();
  return path;
}

bool put_file(const std::string& path, const uint8_t* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f)
    return false;
  const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = archive_path();
  if (!put_file(path, data, size)) {
    std::fprintf(stderr, "fuzz: cannot write %s\n", path.c_str());
    std::abort();
  }
  pfs_archive archive;
  std::string reason;
  if (!pfs_archive_open(&archive, path.c_str(), &reason))
    return 0;
  // The file layer keeps released handles for reuse: one made before the
  // count is not a leak of this input.
  vfs_handle_release(vfs_handle_new());
  const uint32_t blocks = fuzz_blocks_before();
  for (size_t i = 0; i < archive.entries.size() && i < PFS_FUZZ_ENTRIES; i++) {
    uint8_t* bytes = pfs_archive_inflate(&archive, &archive.entries[i], &reason);
    if (bytes)
      mem_free(bytes);
  }

  pfs_device.parameter = path.c_str();
  pfs_device_reset();
  vfs_device_enable(&pfs_device, 0);
  for (size_t i = 0; i < archive.entries.size() && i < PFS_FUZZ_OPENS; i++) {
    const std::string name = "data/" + archive.entries[i].name;
    vfs_file* file = vfs_open(name.c_str(), "rb");
    if (!file)
      continue;
    uint8_t buffer[512];
    const int32_t bytes = vfs_size(file);
    vfs_seek(file, bytes / 2, 0);
    vfs_read(buffer, 1, int32_t(sizeof buffer), file);
    vfs_seek(file, -1, 2);
    vfs_read_u32(file);
    vfs_seek(file, 0, 0);
    while (vfs_read(buffer, 1, int32_t(sizeof buffer), file) > 0) {
    }
    vfs_close(file);
  }
  pfs_device_reset();
  fuzz_check_released(blocks);
  return 0;
}

void fuzz_seeds(std::vector<fuzz_input>* out) {
  std::vector<pfs_writer_item> items;
  items.push_back({"readme.txt", fuzz_input(100, 'a')});
  items.push_back({"intro/Torus.LWO", {}});
  fuzz_input noise(700);
  uint32_t state = 7;
  for (uint8_t& b : noise)
    b = uint8_t((state = state * 1103515245u + 12345u) >> 23);
  items.push_back({"pictures/noise.bin", noise});
  items.push_back({"a", fuzz_input(5000, 0)}); // packs very small
  std::string error;
  const std::string path = archive_path() + ".seed";
  for (size_t n : {size_t(0), size_t(1), items.size()}) {
    const std::vector<pfs_writer_item> some(items.begin(), items.begin() + long(n));
    if (!pfs_writer_write(path.c_str(), some, &error))
      continue;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
      continue;
    fuzz_input bytes;
    uint8_t chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0)
      bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(f);
    out->push_back(bytes);
  }
  std::remove(path.c_str());
}
