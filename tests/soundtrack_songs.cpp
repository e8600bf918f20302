#include "soundtrack_songs.h"

#include "testkit.h"

#include <cstring>
#include <filesystem>
#include <sstream>

std::string soundtrack_song_path(const std::string& name) {
  return (std::filesystem::path(testkit_bin_dir()).parent_path() / "forge-tree" / "data" / name).string();
}

std::vector<soundtrack_tick> soundtrack_trace(const std::string& song) {
  std::string out;
  if (testkit_run(testkit_bin_dir() + "/songinfo --trace " + song, &out) != 0)
    return {};
  std::vector<soundtrack_tick> trace;
  std::istringstream in(out);
  soundtrack_tick t{};
  while (in >> t.tick >> t.order >> t.row)
    trace.push_back(t);
  return trace;
}

std::vector<int16_t> soundtrack_render(const std::string& song, const std::string& wav_path) {
  if (testkit_run(testkit_bin_dir() + "/songinfo --wav " + wav_path + " " + song) != 0)
    return {};
  const std::vector<uint8_t> bytes = testkit_read_file(wav_path);
  // Walk the RIFF chunks to the data.
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
    return {};
  size_t at = 12;
  while (at + 8 <= bytes.size()) {
    uint32_t size = 0;
    std::memcpy(&size, bytes.data() + at + 4, 4);
    if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
      const size_t n = std::min<size_t>(size, bytes.size() - at - 8) / 2;
      std::vector<int16_t> samples(n);
      std::memcpy(samples.data(), bytes.data() + at + 8, n * 2);
      return samples;
    }
    at += 8 + size + (size & 1);
  }
  return {};
}

int64_t soundtrack_first_tick(const std::vector<soundtrack_tick>& trace, int32_t order, int32_t row) {
  for (size_t i = 0; i < trace.size(); i++)
    if (trace[i].order > order || (trace[i].order == order && trace[i].row >= row))
      return int64_t(i);
  return -1;
}
