// The tests' own reading of an XM song (independent of the writer): the
// header, the order table, the unpacked patterns and the instruments with
// their samples' formats.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct txm_cell {
  uint8_t note, instrument, volume, effect, param;
};

struct txm_pattern {
  int32_t rows = 0;
  std::vector<txm_cell> cells; // rows x channels
};

struct txm_sample {
  uint32_t length = 0; // frames
  uint32_t loop_start = 0, loop_length = 0;
  int32_t loop_type = 0;
  int32_t bits = 8;
  int32_t volume = 0;
  int32_t relative_note = 0, finetune = 0;
};

struct txm_instrument {
  std::string name;
  bool volume_envelope = false;
  int32_t envelope_points = 0;
  std::vector<txm_sample> samples;
};

struct txm_song {
  std::string name;
  int32_t restart = 0, channels = 0, speed = 0, tempo = 0;
  std::vector<int32_t> orders;
  std::vector<txm_pattern> patterns;
  std::vector<txm_instrument> instruments;
};

// Returns 1, or 0 with error set when the bytes are not a whole XM song.
int txm_read(const std::vector<uint8_t>& bytes, txm_song* song, std::string* error);

// The pattern played at an order, and a cell of it.
const txm_pattern& txm_order_pattern(const txm_song& song, int32_t order);
const txm_cell& txm_at(const txm_song& song, int32_t order, int32_t row, int32_t channel);
// XM instrument number (from 1) of the instrument with that name, or 0.
int32_t txm_instrument_named(const txm_song& song, const std::string& name);
