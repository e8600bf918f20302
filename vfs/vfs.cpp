#include "vfs.h"

#include "mem.h"

#include <climits>
#include <cstring>
#include <string>
#include <vector>

int32_t vfs_device_error = 0;
int32_t vfs_file_error = 0;

static vfs_device* device_registry[] = {&stdio_device, &pfs_device, nullptr};
static vfs_device* device_current = &stdio_device;

vfs_device** vfs_device_list(int32_t* count) {
  if (!count) {
    vfs_device_error = 1;
    return nullptr;
  }
  int32_t n = 0;
  while (device_registry[n])
    n++;
  *count = n;
  return device_registry;
}

vfs_device* vfs_device_active() { return device_current; }

int32_t vfs_device_enable(vfs_device* device, int32_t) {
  if (!device)
    return 0;
  device_current = device;
  return 1;
}

int32_t vfs_device_init(vfs_device* device, int32_t reserved1, int32_t) {
  if (!device)
    return 0;
  return device->init(reserved1);
}

// Released handle records, reused by later opens. The list is never
// destroyed, so the records stay reachable (and unreported as leaks) to the
// very end of the process.
static std::vector<vfs_file*>& handle_pool = *new std::vector<vfs_file*>;

vfs_file* vfs_handle_new() {
  if (!handle_pool.empty()) {
    vfs_file* file = handle_pool.back();
    handle_pool.pop_back();
    return file;
  }
  return mem_alloc_array<vfs_file>(1);
}

void vfs_handle_release(vfs_file* file) {
  std::memset(file, 0, sizeof *file);
  handle_pool.push_back(file);
}

vfs_file* vfs_open(const char* name, const char* mode) {
  if (!name)
    return nullptr;
  vfs_device* device = device_current;
  vfs_file* file = device->open(name, mode, 0);
  if (!file) {
    vfs_file_error = 1;
    vfs_note_failure(name, "the file device cannot open it");
    return nullptr;
  }
  file->device = device;
  file->reserved = 0;
  return file;
}

int32_t vfs_close(vfs_file* file) {
  if (!file || !file->device)
    return 0;
  return file->device->close(file);
}

int32_t vfs_read(void* buffer, int32_t size, int32_t count, vfs_file* file) {
  if (!file || !file->device)
    return -1;
  if (size <= 0 || count <= 0)
    return 0;
  // Ask for at most the whole elements that fit a 32-bit byte count.
  int64_t bytes = int64_t(size) * count;
  if (bytes > INT32_MAX)
    bytes = int64_t(INT32_MAX / size) * size;
  const int32_t got = file->device->read(file, buffer, int32_t(bytes));
  return got / size;
}

// Single-value reads start from zeroed bytes, so a failed read yields 0.
uint32_t vfs_read_u8(vfs_file* file) {
  uint8_t b = 0;
  if (vfs_read(&b, 1, 1, file) != 1)
    return 0;
  return b;
}

uint32_t vfs_getc(vfs_file* file) { return vfs_read_u8(file); }

uint32_t vfs_read_u16(vfs_file* file) {
  uint8_t b[2] = {0, 0};
  if (vfs_read(b, 2, 1, file) != 1)
    return 0;
  return uint32_t(b[0]) | uint32_t(b[1]) << 8;
}

uint32_t vfs_read_u32(vfs_file* file) {
  uint8_t b[4] = {0, 0, 0, 0};
  if (vfs_read(b, 4, 1, file) != 1)
    return 0;
  return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

float vfs_read_float(vfs_file* file) {
  const uint32_t bits = vfs_read_u32(file);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void* vfs_read_all(const char* name, int32_t* size) {
  vfs_file* file = vfs_open(name, "rb");
  if (!file)
    return nullptr;
  const int32_t bytes = vfs_size(file);
  if (size)
    *size = bytes;
  void* buffer = bytes >= 0 ? mem_alloc(size_t(bytes)) : nullptr;
  if (!buffer) {
    vfs_close(file);
    return nullptr;
  }
  const int32_t got = vfs_read(buffer, 1, bytes, file);
  vfs_close(file);
  if (got < 0) {
    mem_free(buffer);
    return nullptr;
  }
  return buffer;
}

int32_t vfs_size(vfs_file* file) {
  if (!file || !file->device)
    return -1;
  return file->device->control(file, VFS_SIZE);
}

int32_t vfs_tell(vfs_file* file) {
  if (!file || !file->device)
    return -1;
  return file->device->control(file, VFS_TELL);
}

int32_t vfs_eof(vfs_file* file) {
  if (!file || !file->device)
    return 1;
  return file->device->control(file, VFS_EOF);
}

int32_t vfs_seek(vfs_file* file, int32_t offset, int32_t whence) {
  if (!file || !file->device)
    return -1;
  const int32_t code = whence == 1 ? VFS_SEEK_CUR : whence == 2 ? VFS_SEEK_END : VFS_SEEK_SET;
  file->device->control(file, code);
  file->device->control(file, offset);
  return 1;
}

namespace {
std::string failure_name;
std::string failure_text;
} // namespace

void vfs_note_failure(const char* name, const char* why) {
  if (!name || !why || (!failure_text.empty() && failure_name == name))
    return;
  failure_name = name;
  failure_text = failure_name + " could not be loaded: " + why;
}

const char* vfs_failure_text() { return failure_text.empty() ? nullptr : failure_text.c_str(); }

void vfs_clear_failure() {
  failure_name.clear();
  failure_text.clear();
}
