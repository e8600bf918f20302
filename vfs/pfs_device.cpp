// pfs_device: read-only file device serving the entries of the packed archive
// data.dat. Each open inflates its entry whole into memory, so the loaders'
// many small reads are plain memory copies.
#include "install_path.h"
#include "mem.h"
#include "pfs_archive.h"
#include "vfs.h"

#include <cstring>
#include <string>

namespace {
constexpr int PFS_SLOTS = 512; // slot 0 is never handed out
constexpr int32_t PFS_MODE_READ = 1;
constexpr int32_t PFS_MODE_BINARY = 4;

struct pfs_slot {
  int32_t in_use;
  char* name;
  int32_t size;
  int32_t mode;
  int32_t position;
  uint8_t* data;
  const pfs_entry* entry;
  vfs_file* handle;
};

pfs_archive pfs_global;
pfs_slot pfs_slots[PFS_SLOTS];
int32_t pfs_pending = 0;

// The slot of an open handle, or none when the handle is not open.
pfs_slot* pfs_slot_of(vfs_file* file) {
  const intptr_t n = file->dev_word1;
  if (n <= 0 || n >= PFS_SLOTS || !pfs_slots[n].in_use || pfs_slots[n].handle != file)
    return nullptr;
  return &pfs_slots[n];
}

void pfs_slot_release(pfs_slot* slot) {
  if (slot->data)
    mem_free(slot->data);
  if (slot->name)
    mem_free(slot->name);
  *slot = pfs_slot{};
}
} // namespace

static int32_t pfs_init(int32_t) {
  if (pfs_device.flags & VFS_DEVICE_READY)
    return 1;
  pfs_device.flags |= VFS_DEVICE_READY;
  if (!pfs_archive_open(&pfs_global, install_find(pfs_device.parameter).c_str(), nullptr))
    return 0;
  for (pfs_slot& slot : pfs_slots)
    slot.in_use = 0;
  return 1;
}

static vfs_file* pfs_open(const char* name, const char* mode, int32_t) {
  if (!(pfs_device.flags & VFS_DEVICE_READY))
    pfs_init(0);
  int n = 1;
  while (n < PFS_SLOTS && (pfs_slots[n].in_use || pfs_slots[n].handle))
    n++;
  if (n == PFS_SLOTS)
    return nullptr;
  vfs_file* file = vfs_handle_new();
  if (!file)
    return nullptr;
  pfs_slot& slot = pfs_slots[n];
  slot.mode = 0;
  slot.size = 0;
  if (mode) {
    for (const char* c = mode; *c; c++) {
      const char l = char(*c | 0x20);
      if (l == 'r')
        slot.mode = PFS_MODE_READ;
      else if (l == 'b')
        slot.mode |= PFS_MODE_BINARY;
    }
  } else {
    slot.mode = PFS_MODE_READ;
  }
  file->dev_word1 = n;
  file->dev_word2 = nullptr;

  const char* entry_name = pfs_entry_name(name);
  const size_t len = std::strlen(entry_name);
  slot.name = static_cast<char*>(mem_alloc(len + 1));
  if (slot.name)
    std::memcpy(slot.name, entry_name, len);
  const pfs_entry* entry = slot.name ? pfs_archive_find(&pfs_global, slot.name) : nullptr;
  std::string reason = "out of memory";
  if (slot.name && !entry)
    reason = "no such entry in " + pfs_global.path;
  uint8_t* data = entry ? pfs_archive_inflate(&pfs_global, entry, &reason) : nullptr;
  if (!data) {
    // The archive's reasons about an entry begin with its name.
    if (entry && reason.rfind(entry->name + ": ", 0) == 0)
      reason.erase(0, entry->name.size() + 2);
    vfs_note_failure(name, reason.c_str());
    pfs_slot_release(&slot);
    vfs_handle_release(file);
    return nullptr;
  }
  slot.data = data;
  slot.entry = entry;
  slot.size = int32_t(entry->unpacked_size > 0x7FFFFFFFu ? 0x7FFFFFFFu : entry->unpacked_size);
  slot.in_use = 1;
  slot.position = 0;
  slot.handle = file;
  file->size = slot.size;
  return file;
}

static int32_t pfs_close(vfs_file* file) {
  pfs_slot* slot = pfs_slot_of(file);
  if (!slot)
    return 0;
  pfs_slot_release(slot);
  vfs_handle_release(file);
  return 1;
}

static int32_t pfs_read(vfs_file* file, void* buffer, int32_t count) {
  pfs_slot* slot = pfs_slot_of(file);
  if (!slot)
    return -1;
  if (slot->position >= slot->size)
    return 0;
  if (!(slot->mode & PFS_MODE_READ))
    return -2;
  int32_t n = slot->size - slot->position;
  if (count < n)
    n = count;
  if (n <= 0)
    return 0;
  std::memcpy(buffer, slot->data + slot->position, size_t(n));
  slot->position += n;
  return n;
}

static int32_t pfs_write(vfs_file*, const void*, int32_t) { return -1; }

static int32_t pfs_control(vfs_file* file, intptr_t code) {
  pfs_slot* slot = pfs_slot_of(file);
  if (!slot) {
    // A closed handle takes the armed command with it, so the next call on
    // another handle is not read as an offset.
    pfs_pending = 0;
    return -1;
  }
  if (pfs_pending) {
    int64_t pos = int64_t(int32_t(code));
    if (pfs_pending == VFS_SEEK_CUR)
      pos += slot->position;
    else if (pfs_pending == VFS_SEEK_END)
      pos += slot->size;
    pfs_pending = 0;
    slot->position = int32_t(pos < 0 ? 0 : pos > slot->size ? slot->size : pos);
    return -2;
  }
  switch (code) {
  case VFS_EOF:
    return slot->position >= slot->size ? 1 : 0;
  case VFS_TELL:
    return slot->position;
  case VFS_SETPOS:
    pfs_pending = VFS_SETPOS;
    return 1;
  case VFS_SIZE:
    return slot->size;
  case VFS_SEEK_SET:
  case VFS_SEEK_CUR:
  case VFS_SEEK_END:
    pfs_pending = int32_t(code);
    return -2;
  default:
    return -2;
  }
}

static int32_t pfs_one() { return 1; }

vfs_device pfs_device = {
    .name = "pfs_device",
    .author = "Tamsk of Pexil",
    .version = "Version 0.01b READ only",
    .parameter = "data.dat",
    .flags = VFS_DEVICE_ARCHIVE,
    .open = pfs_open,
    .close = pfs_close,
    .read = pfs_read,
    .write = pfs_write,
    .control = pfs_control,
    .reserved1 = pfs_one,
    .init = pfs_init,
    .reserved2 = pfs_one,
};

void pfs_device_reset() {
  for (pfs_slot& slot : pfs_slots) {
    if (slot.handle && slot.in_use)
      vfs_handle_release(slot.handle);
    pfs_slot_release(&slot);
  }
  pfs_global.entries.clear();
  pfs_global.path.clear();
  pfs_global.file_size = 0;
  pfs_pending = 0;
  pfs_device.flags &= ~VFS_DEVICE_READY;
}
