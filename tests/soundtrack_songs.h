// The shipped songs (the build's forge tree) and what songinfo says of them:
// the tick-by-tick trace on the virtual clock and one pass rendered to WAV.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Path of data/<name> in the tree the build packed into data.dat.
std::string soundtrack_song_path(const std::string& name);

struct soundtrack_tick {
  int32_t tick, order, row;
};
// `songinfo --trace`; empty when it fails.
std::vector<soundtrack_tick> soundtrack_trace(const std::string& song);

// `songinfo --wav` into path, read back as interleaved stereo samples; empty
// when it fails.
std::vector<int16_t> soundtrack_render(const std::string& song, const std::string& wav_path);

// Index of the first tick at or past (order, row), or -1.
int64_t soundtrack_first_tick(const std::vector<soundtrack_tick>& trace, int32_t order, int32_t row);
