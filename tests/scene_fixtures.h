// Object and scene files made by hand for the reader tests: LightWave
// chunks built byte by byte, and the helpers the scene tests share.
#pragma once

#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using scene_bytes = std::vector<uint8_t>;

// Big-endian pieces of a LightWave file.
struct lwo_bytes {
  scene_bytes b;
  lwo_bytes& u8(uint32_t v);
  lwo_bytes& u16(uint32_t v);
  lwo_bytes& u32(uint32_t v);
  lwo_bytes& f32(float v);
  lwo_bytes& id(const char* four);
  // The string, its terminator, and a zero to make the length even.
  lwo_bytes& name(const std::string& s);
  // The string and its terminator only.
  lwo_bytes& text(const std::string& s);
  lwo_bytes& raw(const scene_bytes& more);
};

scene_bytes lwo_chunk(const char* id, const scene_bytes& data);
// "FORM", the size of what follows, "LWOB", then the chunks.
scene_bytes lwo_form(const std::vector<scene_bytes>& chunks);

struct lwo_point {
  float x, y, z;
};
scene_bytes lwo_points(const std::vector<lwo_point>& points);
scene_bytes lwo_surface_names(const std::vector<std::string>& names);

// One polygon record; with details, bit 15 of the surface number is set and
// the details follow their count.
struct lwo_polygon {
  std::vector<uint32_t> index;
  uint32_t surface = 1;
  std::vector<lwo_polygon> details;
};
scene_bytes lwo_polygons(const std::vector<lwo_polygon>& polygons);

// A sub-chunk of a surface chunk (16-bit size), and the surface chunk.
scene_bytes lwo_sub(const char* id, const scene_bytes& data);
scene_bytes lwo_surf(const std::string& name, const std::vector<scene_bytes>& subs);

// Captures standard output for its lifetime.
struct scene_stdout {
  bool taken = false;
  scene_stdout() { testing::internal::CaptureStdout(); }
  std::string text() {
    taken = true;
    return testing::internal::GetCapturedStdout();
  }
  ~scene_stdout() {
    if (!taken)
      text();
  }
};

// Memory blocks of the memory helpers and open file descriptors now.
struct scene_watch {
  uint32_t blocks;
  int fds;
};
scene_watch scene_watch_now();
::testing::AssertionResult scene_released(const scene_watch& before);

// Every cut of the file (lengths 0 .. size - 1) and the file with bytes
// changed at many places. Runs check on each variant written to path.
void scene_mutate(const std::string& path, const scene_bytes& file, uint32_t seed,
                  const std::function<void(const scene_bytes&)>& check);

// A small hand-written ASCII scene: two materials, one geometry object of a
// square in two triangles with texture faces and an animation block, a
// camera with two node transforms and tracks, a helper, nested groups, and
// blocks the reader does not know.
std::string ase_sample_text();
