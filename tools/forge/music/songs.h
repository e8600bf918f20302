// The show's two songs, composed: data/vorlane.xm (the main show) and
// data/endpart.xm (the end part). Building is deterministic: the same bytes
// on every run.
#pragma once

#include "song_cues.h"
#include "xm_writer.h"

#include <cstdint>
#include <string>
#include <vector>

// Composes the song. Returns 1, or 0 with error set when the composition
// misses one of its cues (song_check).
int song_main_build(xm_song* song, std::string* error);
int song_end_build(xm_song* song, std::string* error);

// The song's orders and rows at every 14 ms tick of the virtual clock,
// computed from its rows, speed and tempo as libopenmpt plays it: tick k
// falls at sample k * 3087 / 5, row r starts at sample r * speed * 110250 /
// tempo, and a tick reads the row of the last sample rendered before it.
// For ticks k = 1, 2, ... up to one pass through the orders.
struct song_position {
  int32_t order, row;
};
std::vector<song_position> song_timeline(const xm_song* song);

// Checks the cues against the computed timeline and the patterns (a beat is
// a note of the instrument named "kick" or "soft kick"). Returns 1, or 0 with
// the first missed cue in error.
int song_check(const xm_song* song, const song_cue* cues, size_t count, std::string* error);

// The orders where the main song's sections begin, as composed.
const std::vector<int32_t>& song_main_sections();
