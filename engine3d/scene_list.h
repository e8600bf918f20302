// The growing lists of pointers the scene readers and the render scene keep.
#pragma once

#include "mem.h"

#include <cstddef>
#include <cstdint>

// Appends item to a list of count pointers that grows by one. 1, or 0 when
// memory runs out (the list stays as it was).
template <typename T> int scene_list_append(T*** list, int32_t* count, T* item) {
  const size_t bytes = (size_t(*count) + 1) * sizeof(T*);
  T** grown = static_cast<T**>(*list ? mem_realloc(*list, bytes) : mem_alloc(bytes));
  if (!grown)
    return 0;
  grown[*count] = item;
  *list = grown;
  (*count)++;
  return 1;
}
