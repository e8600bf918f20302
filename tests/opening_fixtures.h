// Shared pieces of the galaxy and intro tests: the build's data files, test
// archives made from them, a music clock driven by hand, pixmap handles.
#pragma once

#include "music.h"
#include "pixmap.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

using opening_files = std::map<std::string, std::vector<uint8_t>>;

// Every file of the build's data.dat, by entry name ("galaxy/pexil.pcx").
const opening_files& opening_build_files();

// Writes files as dir/data.dat and makes the archive device read it.
// Returns 1, or 0 with error set.
int opening_use_archive(const std::string& dir, const opening_files& files, std::string* error);
// Back to the standard file device.
void opening_release_archive();

// A broken copy of the build's files: one file left out (bytes empty) or
// replaced by bytes.
struct opening_variant {
  const char* what;
  std::string name;
  std::vector<uint8_t> bytes;
};

// For each variant in turn, serves its files through the archive device
// while check runs (under a trace naming the variant).
void opening_each_variant(const std::vector<opening_variant>& variants, const std::function<void()>& check);

// Sets the clock's frame delta, order and row.
void opening_clock_set(music_clock* clock, float frame_delta, uint32_t order, uint32_t row);

struct opening_pixmap_deleter {
  void operator()(pixmap* pm) const { pixmap_free(pm); }
};
using opening_pixmap = std::unique_ptr<pixmap, opening_pixmap_deleter>;

// A pixmap filled by a simple hash of the pixel index and seed.
opening_pixmap opening_noise(int32_t width, int32_t height, uint32_t seed, uint32_t flags = 0);
// A hash of a picture's colour bytes, to tell frames apart.
uint64_t opening_picture_hash(const pixmap* p);
// The share of a picture's pixels that are not black.
double opening_lit_share(const pixmap* p);

// The three colour bytes of a pixel.
inline uint32_t opening_rgb(uint32_t p) { return p & 0xFFFFFF; }
inline uint32_t opening_channel(uint32_t p, int k) { return (p >> (8 * k)) & 255; }
