#include "fuzz_seed_art.h"

#include "pixmap.h"

static uint32_t art_noise(uint32_t* state) {
  *state = *state * 1664525u + 1013904223u;
  return *state >> 24;
}

forge_picture fuzz_art_picture(int32_t width, int32_t height, uint32_t seed) {
  forge_picture pic;
  picture_init(&pic, width, height, 0);
  for (int32_t y = 0; y < height; y++)
    for (int32_t x = 0; x < width; x++) {
      uint32_t r = uint32_t(x * 255 / (width > 1 ? width - 1 : 1));
      uint32_t g = uint32_t(y * 255 / (height > 1 ? height - 1 : 1));
      uint32_t b = 128;
      if (x > width / 2 && y > height / 2) // a noisy corner
        r = art_noise(&seed), g = art_noise(&seed), b = art_noise(&seed);
      pic.pixels[size_t(y) * size_t(width) + size_t(x)] = picture_rgba(r, g, b, art_noise(&seed));
    }
  return pic;
}

indexed_picture fuzz_art_indexed(int32_t width, int32_t height, int32_t colours, uint32_t seed) {
  indexed_picture pic;
  indexed_init(&pic, width, height, colours);
  for (int32_t i = 0; i < colours; i++) {
    pic.palette[size_t(i) * 3] = uint8_t(i * 7);
    pic.palette[size_t(i) * 3 + 1] = uint8_t(255 - i);
    pic.palette[size_t(i) * 3 + 2] = uint8_t(art_noise(&seed));
  }
  for (int32_t y = 0; y < height; y++)
    for (int32_t x = 0; x < width; x++) {
      const uint32_t v = x < width / 2 ? uint32_t(y) : art_noise(&seed);
      pic.indices[size_t(y) * size_t(width) + size_t(x)] = uint8_t(v % uint32_t(colours));
    }
  return pic;
}

int fuzz_pixmap_release(pixmap* pm) {
  if (!pm)
    return 0;
  volatile uint32_t sum = 0; // kept, so the reads stay
  const int64_t count = pm->width > 0 && pm->height > 0 ? int64_t(pm->width) * pm->height : 0;
  for (int64_t i = 0; i < count; i++)
    sum = sum + pm->pixels[i];
  (void)sum;
  pixmap_free(pm);
  return 1;
}
