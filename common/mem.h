// Memory helpers: every allocation of the system goes through mem_alloc, which
// returns zero-filled blocks and keeps allocation statistics.
#pragma once

#include <cstddef>
#include <cstdint>

// Statistics switches (fixed at build time).
enum : uint32_t {
  MEM_STAT_TOTAL = 0x01,       // keep mem_total (bytes ever allocated)
  MEM_STAT_BLOCKS = 0x02,      // keep mem_blocks (live blocks)
  MEM_STAT_TOTAL_PEAK = 0x04,  // keep mem_total_peak
  MEM_STAT_BLOCKS_PEAK = 0x08, // keep mem_blocks_peak
  MEM_STAT_PAD = 0x10,         // add 1024 bytes to every allocation
};

extern const uint32_t mem_stats_flags;

// Counters wrap as unsigned 32-bit values: a long run allocates more than
// 4 GiB in total. Main thread only.
extern uint32_t mem_total;
extern uint32_t mem_blocks;
extern uint32_t mem_total_peak;
extern uint32_t mem_blocks_peak;

// 0 = fine, 1 = an allocation failed, 2 = a release, copy or fill got no block.
extern int32_t mem_error;

void* mem_alloc(size_t size);
int mem_free(void* block);
void* mem_realloc(void* block, size_t size);
int mem_copy(void* dst, const void* src, size_t bytes);
int mem_copy_words(void* dst, const void* src, size_t count);
int mem_fill(void* dst, uint8_t value, size_t bytes);
int mem_fill_words(void* dst, uint32_t value, size_t count);

// Allocates count elements of T, zero-filled (T must be trivially constructible).
template <typename T> T* mem_alloc_array(size_t count) {
  if (count > SIZE_MAX / sizeof(T)) {
    mem_error = 1;
    return nullptr;
  }
  return static_cast<T*>(mem_alloc(count * sizeof(T)));
}
