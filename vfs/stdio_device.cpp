// stdio_device: plain files relative to the current directory, through the
// standard library's buffered streams.
#include "vfs.h"

#include <climits>
#include <cstdio>

#include <sys/stat.h>

static int32_t stdio_pending = 0; // armed control command, one per device

static int32_t stdio_measure_size(FILE* stream) {
  const long here = std::ftell(stream);
  std::fseek(stream, 0, SEEK_END);
  const long end = std::ftell(stream);
  std::fseek(stream, here, SEEK_SET);
  if (end < 0)
    return 0;
  return end > INT32_MAX ? INT32_MAX : int32_t(end);
}

static vfs_file* stdio_open(const char* name, const char* mode, int32_t) {
  vfs_file* file = vfs_handle_new();
  if (!file)
    return nullptr;
  FILE* stream = std::fopen(name, mode ? mode : "rb");
  if (!stream) {
    vfs_handle_release(file);
    return nullptr;
  }
  // Only regular files: a directory opens on Linux and measures as a huge
  // size, and devices or pipes have no size at all.
  struct stat info;
  if (fstat(fileno(stream), &info) != 0 || !S_ISREG(info.st_mode)) {
    std::fclose(stream);
    vfs_handle_release(file);
    return nullptr;
  }
  file->dev_word2 = stream;
  file->dev_word3 = 0;
  file->size = stdio_measure_size(stream);
  return file;
}

static int32_t stdio_close(vfs_file* file) {
  FILE* stream = static_cast<FILE*>(file->dev_word2);
  if (!stream)
    return 0;
  std::fclose(stream);
  vfs_handle_release(file);
  return 1;
}

static int32_t stdio_read(vfs_file* file, void* buffer, int32_t count) {
  FILE* stream = static_cast<FILE*>(file->dev_word2);
  if (!stream)
    return -1;
  if (count <= 0)
    return 0;
  return int32_t(std::fread(buffer, 1, size_t(count), stream));
}

static int32_t stdio_write(vfs_file* file, const void* buffer, int32_t count) {
  FILE* stream = static_cast<FILE*>(file->dev_word2);
  if (!stream || count <= 0)
    return 0;
  return int32_t(std::fwrite(buffer, size_t(count), 1, stream));
}

static int32_t stdio_control(vfs_file* file, intptr_t code) {
  FILE* stream = static_cast<FILE*>(file->dev_word2);
  if (!stream) {
    stdio_pending = 0;
    return -1;
  }
  if (stdio_pending) {
    const int32_t pending = stdio_pending;
    stdio_pending = 0;
    switch (pending) {
    case VFS_SETPOS:
      return code ? std::fsetpos(stream, reinterpret_cast<const fpos_t*>(code)) : -1;
    case VFS_SEEK_SET:
      return std::fseek(stream, long(code), SEEK_SET);
    case VFS_SEEK_CUR:
      return std::fseek(stream, long(code), SEEK_CUR);
    default:
      return std::fseek(stream, long(code), SEEK_END);
    }
  }
  switch (code) {
  case VFS_EOF:
    return std::feof(stream) ? 1 : 0;
  case VFS_TELL: {
    const long pos = std::ftell(stream);
    return pos > INT32_MAX ? INT32_MAX : int32_t(pos);
  }
  case VFS_SIZE:
    return stdio_measure_size(stream);
  case VFS_SETPOS:
  case VFS_SEEK_SET:
  case VFS_SEEK_CUR:
  case VFS_SEEK_END:
    stdio_pending = int32_t(code);
    return int32_t(code - VFS_EOF);
  default:
    return int32_t(code - VFS_EOF);
  }
}

static int32_t stdio_one() { return 1; }
static int32_t stdio_init(int32_t) { return 1; }

vfs_device stdio_device = {
    .name = "stdio_device",
    .author = "Tamsk of Pexil",
    .version = "Version 0.01b",
    .flags = VFS_DEVICE_STDIO,
    .open = stdio_open,
    .close = stdio_close,
    .read = stdio_read,
    .write = stdio_write,
    .control = stdio_control,
    .reserved1 = stdio_one,
    .init = stdio_init,
    .reserved2 = stdio_one,
};
