#include "mem_device.h"

#include <climits>
#include <cstring>

namespace {
struct mem_block {
  const char* name;
  const uint8_t* data;
  int32_t size;
};

constexpr int MEM_BLOCKS = 8;
constexpr int MEM_HANDLES = 32;

mem_block blocks[MEM_BLOCKS];
int block_count = 0;
// Handle records: dev_word2 points at the block, dev_word1 is the position,
// dev_word3 the end-of-file flag (set by a short read, cleared by a seek).
vfs_file handles[MEM_HANDLES];
bool handle_used[MEM_HANDLES];
int32_t open_files = 0;
int32_t pending = 0; // armed control command, as the stdio device keeps it

int handle_index(vfs_file* file) {
  const intptr_t i = file - handles;
  return i >= 0 && i < MEM_HANDLES && handle_used[i] ? int(i) : -1;
}

vfs_file* mem_open(const char* name, const char* mode, int32_t) {
  if (mode && std::strchr(mode, 'w'))
    return nullptr;
  for (int b = 0; b < block_count; b++) {
    if (std::strcmp(blocks[b].name, name) != 0)
      continue;
    for (int h = 0; h < MEM_HANDLES; h++) {
      if (handle_used[h])
        continue;
      handle_used[h] = true;
      std::memset(&handles[h], 0, sizeof handles[h]);
      handles[h].dev_word2 = &blocks[b];
      handles[h].size = blocks[b].size;
      open_files++;
      return &handles[h];
    }
    return nullptr;
  }
  return nullptr;
}

int32_t mem_close(vfs_file* file) {
  const int h = handle_index(file);
  if (h < 0)
    return 0;
  std::memset(file, 0, sizeof *file);
  handle_used[h] = false;
  open_files--;
  return 1;
}

int32_t mem_read(vfs_file* file, void* buffer, int32_t count) {
  if (handle_index(file) < 0)
    return -1;
  if (count <= 0)
    return 0;
  const mem_block* b = static_cast<const mem_block*>(file->dev_word2);
  const intptr_t at = file->dev_word1;
  const intptr_t left = at < b->size ? b->size - at : 0;
  const int32_t got = count < left ? count : int32_t(left);
  if (got > 0)
    std::memcpy(buffer, b->data + at, size_t(got));
  file->dev_word1 = at + got;
  if (got < count)
    file->dev_word3 = 1;
  return got;
}

int32_t mem_write(vfs_file*, const void*, int32_t) { return 0; }

int32_t mem_seek(vfs_file* file, int32_t whence, intptr_t offset) {
  const mem_block* b = static_cast<const mem_block*>(file->dev_word2);
  const int64_t base = whence == VFS_SEEK_CUR ? int64_t(file->dev_word1) : whence == VFS_SEEK_END ? b->size : 0;
  const int64_t to = base + int64_t(offset);
  if (to < 0 || to > INT32_MAX)
    return -1;
  file->dev_word1 = intptr_t(to);
  file->dev_word3 = 0;
  return 0;
}

int32_t mem_control(vfs_file* file, intptr_t code) {
  if (handle_index(file) < 0) {
    pending = 0;
    return -1;
  }
  if (pending) {
    const int32_t armed = pending;
    pending = 0;
    if (armed == VFS_SETPOS)
      return -1; // no position records on this device
    return mem_seek(file, armed, code);
  }
  switch (code) {
  case VFS_EOF:
    return file->dev_word3 ? 1 : 0;
  case VFS_TELL:
    return file->dev_word1 > INT32_MAX ? INT32_MAX : int32_t(file->dev_word1);
  case VFS_SIZE:
    return file->size;
  case VFS_SETPOS:
  case VFS_SEEK_SET:
  case VFS_SEEK_CUR:
  case VFS_SEEK_END:
    pending = int32_t(code);
    return int32_t(code - VFS_EOF);
  default:
    return int32_t(code - VFS_EOF);
  }
}

int32_t mem_one() { return 1; }
int32_t mem_init(int32_t) { return 1; }
} // namespace

vfs_device mem_device = {
    .name = "mem_device",
    .author = "fuzz",
    .version = "1",
    .flags = VFS_DEVICE_READY,
    .open = mem_open,
    .close = mem_close,
    .read = mem_read,
    .write = mem_write,
    .control = mem_control,
    .reserved1 = mem_one,
    .init = mem_init,
    .reserved2 = mem_one,
};

void mem_device_clear() { block_count = 0; }

int mem_device_add(const char* name, const uint8_t* data, size_t size) {
  if (block_count == MEM_BLOCKS || size > size_t(INT32_MAX))
    return 0;
  blocks[block_count++] = {name, data, int32_t(size)};
  return 1;
}

void mem_device_serve(const char* name, const uint8_t* data, size_t size) {
  mem_device_clear();
  mem_device_add(name, data, size);
  vfs_device_enable(&mem_device, 0);
}

int32_t mem_device_open_files() { return open_files; }
