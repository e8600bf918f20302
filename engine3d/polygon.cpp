#include "polygon.h"

#include "mem.h"

int32_t polygon_error = 0;

polygon* polygon_create() {
  polygon* p = mem_alloc_array<polygon>(1);
  if (!p)
    polygon_error = 1;
  return p;
}

void polygon_free(polygon* p) {
  if (p)
    mem_free(p);
}
