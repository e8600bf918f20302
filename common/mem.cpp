#include "mem.h"

#include "pixel4.h"

#include <cstdlib>
#include <cstring>

const uint32_t mem_stats_flags = MEM_STAT_TOTAL | MEM_STAT_BLOCKS | MEM_STAT_TOTAL_PEAK | MEM_STAT_BLOCKS_PEAK;

uint32_t mem_total = 0;
uint32_t mem_blocks = 0;
uint32_t mem_total_peak = 0;
uint32_t mem_blocks_peak = 0;
int32_t mem_error = 0;

void* mem_alloc(size_t size) {
  if (mem_stats_flags & MEM_STAT_PAD) {
    if (size > SIZE_MAX - 1024) {
      mem_error = 1;
      return nullptr;
    }
    size += 1024;
  }
  // calloc(0) may legally return none; a zero-byte block is still a block.
  // calloc hands out fresh pages already zero, without touching them.
  void* block = std::calloc(size ? size : 1, 1);
  if (!block) {
    mem_error = 1;
    return nullptr;
  }
  if (mem_stats_flags & MEM_STAT_TOTAL)
    mem_total += static_cast<uint32_t>(size);
  if (mem_stats_flags & MEM_STAT_BLOCKS)
    mem_blocks += 1;
  if ((mem_stats_flags & MEM_STAT_TOTAL_PEAK) && mem_total > mem_total_peak)
    mem_total_peak = mem_total;
  if ((mem_stats_flags & MEM_STAT_BLOCKS_PEAK) && mem_blocks > mem_blocks_peak)
    mem_blocks_peak = mem_blocks;
  return block;
}

int mem_free(void* block) {
  if (!block) {
    mem_error = 2;
    return 0;
  }
  std::free(block);
  if (mem_stats_flags & MEM_STAT_BLOCKS)
    mem_blocks -= 1;
  return 1;
}

void* mem_realloc(void* block, size_t size) { return std::realloc(block, size); }

int mem_copy(void* dst, const void* src, size_t bytes) {
  if (!dst || !src) {
    mem_error = 2;
    return 0;
  }
  std::memmove(dst, src, bytes);
  return 1;
}

int mem_copy_words(void* dst, const void* src, size_t count) {
  std::memmove(dst, src, count * 4);
  return 1;
}

int mem_fill(void* dst, uint8_t value, size_t bytes) {
  if (!dst) {
    mem_error = 2;
    return 0;
  }
  std::memset(dst, value, bytes);
  return 1;
}

int mem_fill_words(void* dst, uint32_t value, size_t count) {
  uint32_t* p = static_cast<uint32_t*>(dst);
  const pixel4 four = pixel4{} + value;
  size_t i = 0;
  for (; i + 4 <= count; i += 4)
    pixel4_store(p + i, four);
  for (; i < count; i++)
    p[i] = value;
  return 1;
}
