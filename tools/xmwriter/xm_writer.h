// Writer of XM songs (the tracker format the show's music is kept in): header,
// order list, packed patterns, instruments with envelopes and delta-coded 8- or
// 16-bit samples.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum : uint8_t {
  XM_NOTE_OFF = 97, // key off; notes 1..96 are C-0..B-7
};

enum : uint8_t {
  XM_LOOP_NONE = 0,
  XM_LOOP_FORWARD = 1,
  XM_LOOP_PINGPONG = 2,
};

// Envelope flags.
enum : uint8_t {
  XM_ENVELOPE_ON = 1,
  XM_ENVELOPE_SUSTAIN = 2,
  XM_ENVELOPE_LOOP = 4,
};

// One pattern cell; 0 in a field means "nothing there".
struct xm_cell {
  uint8_t note;       // 1..96, XM_NOTE_OFF, or 0
  uint8_t instrument; // 1..number of instruments, or 0
  uint8_t volume;     // volume column byte (0x10..0x50 = volume 0..64, effects above)
  uint8_t effect;     // effect type (0x00..0x23)
  uint8_t param;      // effect parameter
};

struct xm_pattern {
  uint16_t rows = 64;         // 1..256
  std::vector<xm_cell> cells; // rows x channels, row by row
};

struct xm_envelope_point {
  uint16_t x; // tick
  uint16_t y; // 0..64
};

struct xm_envelope {
  std::vector<xm_envelope_point> points; // at most 12, x rising
  uint8_t sustain = 0;
  uint8_t loop_start = 0;
  uint8_t loop_end = 0;
  uint8_t flags = 0; // XM_ENVELOPE_*
};

struct xm_sample {
  std::string name;          // at most 22 bytes
  uint8_t bits = 8;          // 8 or 16
  std::vector<int16_t> data; // sample frames; 8-bit samples keep -128..127
  uint32_t loop_start = 0;   // in frames
  uint32_t loop_length = 0;  // in frames; 0 = no loop
  uint8_t loop_type = 0;     // XM_LOOP_*
  uint8_t volume = 64;       // 0..64
  int8_t finetune = 0;       // -128..127 (1/128 semitone)
  uint8_t panning = 128;     // 0..255
  int8_t relative_note = 0;  // semitones; 0 plays C-4 at 8363 Hz
};

struct xm_instrument {
  std::string name;               // at most 22 bytes
  std::vector<xm_sample> samples; // at most 16
  uint8_t sample_map[96] = {};    // sample number per note (index into samples)
  xm_envelope volume_envelope;
  xm_envelope panning_envelope;
  uint8_t vibrato_type = 0;
  uint8_t vibrato_sweep = 0;
  uint8_t vibrato_depth = 0;
  uint8_t vibrato_rate = 0;
  uint16_t fadeout = 0; // 0..0xFFF
};

struct xm_song {
  std::string name = "";                  // at most 20 bytes
  std::string tracker = "xmwriter";       // at most 20 bytes
  uint16_t channels = 4;                  // 1..32
  uint16_t restart = 0;                   // order to loop back to
  bool linear_frequencies = true;         // else Amiga periods
  uint16_t speed = 6;                     // ticks per row, 1..31
  uint16_t tempo = 125;                   // BPM, 32..255
  std::vector<uint8_t> orders;            // 1..256 pattern numbers
  std::vector<xm_pattern> patterns;       // at most 256
  std::vector<xm_instrument> instruments; // at most 128
};

// A pattern of the given rows with every cell empty.
xm_pattern xm_pattern_make(uint16_t rows, uint16_t channels);
// The cell at (row, channel); the caller keeps both in range.
xm_cell& xm_pattern_cell(xm_pattern& pattern, uint16_t channels, uint16_t row, uint16_t channel);

// Encodes the song. Returns 1, or 0 with a message in error when the song
// breaks a limit of the format (counts, ranges, references).
int xm_writer_encode(const xm_song& song, std::vector<uint8_t>* out, std::string* error);
// Encodes and writes to path. Returns 1, or 0 with error set.
int xm_writer_write(const char* path, const xm_song& song, std::string* error);
