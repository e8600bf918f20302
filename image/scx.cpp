#include "scx.h"

#include "mem.h"
#include "vfs.h"

#include <climits>

scx_bitmap* scx_load(const char* path) {
  vfs_file* file = vfs_open(path, "rb");
  if (!file)
    return nullptr;
  scx_bitmap* bitmap = mem_alloc_array<scx_bitmap>(1);
  if (bitmap) {
    vfs_read_u32(file); // not used
    bitmap->width = int32_t(vfs_read_u16(file));
    bitmap->height = int32_t(vfs_read_u16(file));
    // The 770 further header bytes are not used.
    vfs_seek(file, SCX_DATA_OFFSET, 0);
    const int64_t count = int64_t(bitmap->width) * bitmap->height;
    const int64_t held = int64_t(vfs_size(file)) - SCX_DATA_OFFSET;
    // An empty map, or one far larger than the file, is refused. A file that
    // ends early keeps zero bytes where its pixels are missing.
    if (count > 0 && count <= INT32_MAX && count <= (held > 0 ? held : 0) + SCX_MAX_MISSING)
      bitmap->pixels = static_cast<uint8_t*>(mem_alloc(size_t(count)));
    if (bitmap->pixels) {
      vfs_read(bitmap->pixels, int32_t(count), 1, file);
    } else {
      vfs_note_failure(path, "its declared size does not fit the file");
      mem_free(bitmap);
      bitmap = nullptr;
    }
  }
  vfs_close(file);
  return bitmap;
}

void scx_free(scx_bitmap* bitmap) {
  if (!bitmap)
    return;
  if (bitmap->pixels)
    mem_free(bitmap->pixels);
  mem_free(bitmap);
}
