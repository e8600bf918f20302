// An in-memory file device for the fuzz targets: serves a few named byte
// blocks through the file calls, so the readers run on fuzz input without a
// round trip through the disk. It keeps its own handle records (not the
// shared pool), so a reader that leaks a handle shows up in open_files.
#pragma once

#include "vfs.h"

#include <cstddef>
#include <cstdint>

extern vfs_device mem_device;

// Forgets every block (the bytes belong to the caller and are not copied).
void mem_device_clear();
// Serves size bytes at data under name (exact match) until the next clear.
// 0 when the table is full.
int mem_device_add(const char* name, const uint8_t* data, size_t size);
// Serves only size bytes at data under name, and makes the device the active one.
void mem_device_serve(const char* name, const uint8_t* data, size_t size);
// Handles opened on the device and not closed yet.
int32_t mem_device_open_files();
