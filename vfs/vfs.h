// Virtual file system: a fixed registry of file devices, one active at a
// time, and the file calls every loader uses instead of standard streams.
#pragma once

#include <cstdint>

struct vfs_file;

// Control codes of a device's control operation.
enum : int32_t {
  VFS_EOF = 4097,
  VFS_TELL = 4098,
  VFS_SETPOS = 4099, // arms a pending set-position; the next call carries it
  VFS_SIZE = 4100,
  VFS_SEEK_SET = 4101, // arm a pending seek from the start
  VFS_SEEK_CUR = 4102, // ... from the current position
  VFS_SEEK_END = 4103, // ... from the end
};

// Device flags.
enum : uint32_t {
  VFS_DEVICE_STDIO = 1,
  VFS_DEVICE_ARCHIVE = 2,
  VFS_DEVICE_READY = 4, // set once the device's init has run
};

struct vfs_device {
  const char* name;
  const char* author;
  const char* version;
  const char* parameter;
  uint32_t flags;
  vfs_file* (*open)(const char* name, const char* mode, int32_t reserved);
  int32_t (*close)(vfs_file* file);
  int32_t (*read)(vfs_file* file, void* buffer, int32_t count);
  int32_t (*write)(vfs_file* file, const void* buffer, int32_t count);
  // Carries either a control code or, after an arming code, its value.
  int32_t (*control)(vfs_file* file, intptr_t code_or_value);
  int32_t (*reserved1)();
  int32_t (*init)(int32_t reserved);
  int32_t (*reserved2)();
};

// An open file. Handle records are pooled (see vfs_handle_new): a closed
// handle stays valid memory with every field zero, so calls on it fail
// cleanly instead of touching freed memory.
struct vfs_file {
  intptr_t dev_word1; // archive: open-file slot number (0 = none)
  void* dev_word2;    // stdio: the standard stream
  int32_t dev_word3;
  int32_t size; // bytes, set by open
  int32_t reserved;
  vfs_device* device; // set by vfs_open; none once closed
  int32_t spare;
};

extern vfs_device stdio_device;
extern vfs_device pfs_device;

// Error flags of the registry and of the file layer (1 = failed).
extern int32_t vfs_device_error;
extern int32_t vfs_file_error;

vfs_device** vfs_device_list(int32_t* count);
vfs_device* vfs_device_active();
int32_t vfs_device_enable(vfs_device* device, int32_t reserved);
int32_t vfs_device_init(vfs_device* device, int32_t reserved1, int32_t reserved2);

vfs_file* vfs_open(const char* name, const char* mode);
int32_t vfs_close(vfs_file* file);
int32_t vfs_read(void* buffer, int32_t size, int32_t count, vfs_file* file);
uint32_t vfs_read_u8(vfs_file* file);
uint32_t vfs_getc(vfs_file* file); // second entry point of vfs_read_u8
uint32_t vfs_read_u16(vfs_file* file);
uint32_t vfs_read_u32(vfs_file* file);
float vfs_read_float(vfs_file* file);
void* vfs_read_all(const char* name, int32_t* size);
int32_t vfs_size(vfs_file* file);
int32_t vfs_tell(vfs_file* file);
int32_t vfs_seek(vfs_file* file, int32_t offset, int32_t whence);
int32_t vfs_eof(vfs_file* file);

// The last file that could not be loaded, and why, for the line the show
// prints before a fatal message. The file layer notes a file it cannot open,
// the readers a file whose contents they refuse, the effects a picture they
// cannot use. Only the first note on a name counts until the next clear, so
// a reader's general reason does not hide the file layer's precise one.
void vfs_note_failure(const char* name, const char* why);
// "NAME could not be loaded: WHY", or none when nothing was noted since the
// last clear.
const char* vfs_failure_text();
void vfs_clear_failure();

// Handle pool shared by the devices: new gives a zeroed record, release
// zeroes it and keeps it for reuse.
vfs_file* vfs_handle_new();
void vfs_handle_release(vfs_file* file);

// Archive device: closes every open slot, forgets the directory and clears
// the ready flag, so the next open or init reads the archive again (tests).
void pfs_device_reset();
