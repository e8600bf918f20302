// Whole-file reads of the engine's loaders, through the file calls, into a
// block of the standard allocator.
#pragma once

#include <cstdint>

// The file's bytes (size set, one zero byte after them), or none when it
// cannot be opened or read. The caller frees the block with std::free.
uint8_t* scene_read_file(const char* path, const char* mode, int32_t* size);
