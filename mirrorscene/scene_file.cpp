#include "scene_file.h"

#include "vfs.h"

#include <cstdlib>

uint8_t* scene_read_file(const char* path, const char* mode, int32_t* size) {
  vfs_file* file = vfs_open(path, mode);
  if (!file)
    return nullptr;
  const int32_t bytes = vfs_size(file);
  uint8_t* data = bytes >= 0 ? static_cast<uint8_t*>(std::malloc(size_t(bytes) + 1)) : nullptr;
  const int32_t got = data && bytes > 0 ? vfs_read(data, 1, bytes, file) : 0;
  vfs_close(file);
  if (!data || got < 0) {
    std::free(data);
    return nullptr;
  }
  data[got] = 0;
  *size = got;
  return data;
}
