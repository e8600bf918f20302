// The composer's toolkit: a song is written into one long grid of rows, order
// after order, so phrases may run across pattern boundaries; the grid is then
// cut into one pattern per order. Helpers write notes, note-offs and effects,
// melodies from a small text notation, chords with voice leading, arpeggios,
// bass lines, drum patterns, rolls and tracker echoes.
#pragma once

#include "xm_writer.h"

#include <cstdint>
#include <string>
#include <vector>

struct score {
  uint16_t channels = 0;
  std::vector<int32_t> order_rows;  // rows of each order
  std::vector<int32_t> order_start; // first grid row of each order
  int32_t total_rows = 0;
  std::vector<xm_cell> grid; // total_rows x channels
};

void score_init(score* s, uint16_t channels, const std::vector<int32_t>& order_rows);
// Grid row of (order, row).
int32_t score_at(const score* s, int32_t order, int32_t row = 0);
// The cell at a grid row and channel, or null outside the grid.
xm_cell* score_cell(score* s, int32_t row, int32_t channel);

// Volumes are 0..64 (negative: the sample's own); pan 0..255 (negative: none)
// goes into the effect column as 8xx unless another effect is there.
void score_note(score* s, int32_t row, int32_t channel, int32_t note, int32_t instrument, int32_t volume,
                int32_t pan = -1);
// A note-off, unless a note already starts in that cell.
void score_off(score* s, int32_t row, int32_t channel);
void score_effect(score* s, int32_t row, int32_t channel, uint8_t effect, uint8_t param);
// A volume-column command (volume 0..64 as 0x10 + v, slides and the rest).
void score_volume(score* s, int32_t row, int32_t channel, uint8_t volume_byte);

// Cuts the grid into one pattern per order and sets the order list.
void score_to_song(const score* s, xm_song* song);
// A new song of the score: the name, the tracker "forge", speed (ticks a
// row) and tempo, played again from order 0, and the score's patterns.
void score_make_song(const score* s, const char* name, int32_t speed, int32_t tempo, xm_song* song);

// XM note number of a pitch name such as "A4", "C#5" or "Bb3" (C-0 = 1), or
// 0 when the name is not a pitch.
int32_t score_pitch(const std::string& name);

// A chord: root pitch class (C = 0) and its tones in semitones above the root.
struct score_chord {
  int32_t root = 0;
  std::vector<int32_t> tones;
};
// Names such as "Am", "F", "G/B" (bass note after the slash is ignored here),
// "Esus4", "Fmaj7", "Am7", "Cadd9", "E7", "Dm".
score_chord score_chord_parse(const std::string& name);
// Space-separated chord names.
std::vector<score_chord> score_progression(const std::string& text);
// The chord's bass pitch class (the slash note when given, else the root).
int32_t score_chord_bass(const std::string& name);

// Chooses `voices` notes of the chord between low and high (XM notes) that
// move least from `current` (empty: centred in the range), and stores them
// there in rising order. The root, third and fifth are kept where there are
// enough voices. No voices (0 or fewer) leaves `current` empty.
void score_voicing(const score_chord* chord, int32_t low, int32_t high, int32_t voices, std::vector<int32_t>* current);
// Chord tones from low upwards: tones[i] for i = 0, 1, ... across octaves.
int32_t score_chord_tone(const score_chord* chord, int32_t low, int32_t index);

// An echo a part writes of itself once written: its notes again on
// `channel`, `delay` rows later, volume scaled, with their own pan (as
// score_echo does it). A channel below 0 writes none.
struct score_echo_style {
  int32_t channel = -1;
  int32_t delay = 0;
  double volume_scale = 0.5;
  int32_t pan = -1;
};

// A voice a melody is written for.
struct score_voice {
  int32_t channel = 0;
  int32_t instrument = 0;
  int32_t volume = 48;
  int32_t pan = -1;
  int32_t step_rows = 2;   // rows per step of the notation
  int32_t transpose = 0;   // semitones
  bool release = true;     // note-off at the end of a note followed by a rest
  score_echo_style echo{}; // over the rows the melody takes
};

// Writes a melody in steps. Tokens, separated by spaces: a pitch with an
// optional length in steps ("A4:3", default 1) and marks '!' (accent) or '~'
// (soft); "r:n" rests; "-:n" holds the previous note longer; "|" is ignored
// (bar lines for the reader). Returns the rows written, or -1 for a bad token
// (then without the echo).
int32_t score_melody(score* s, const score_voice* voice, int32_t start_row, const std::string& text);

// Copies channel src's notes in [from, to) to channel dst, delay rows later,
// volume scaled, with its own pan.
void score_echo(score* s, int32_t src, int32_t dst, int32_t from, int32_t to, int32_t delay, double volume_scale,
                int32_t pan);

// Drum pattern: one character per step: 'X' loud, 'x' normal, 'o' soft,
// '-' ghost, '.' nothing; '|' ignored. The text is repeated to fill `rows`.
// A step of 0 rows or fewer writes nothing.
void score_drums(score* s, int32_t channel, int32_t instrument, int32_t start_row, int32_t rows,
                 const std::string& text, int32_t step_rows, int32_t note = 49, int32_t pan = -1,
                 double volume_scale = 1.0);

// A roll: a hit every `every` rows over `rows` rows, volume gliding; nothing
// when `every` is 0 or less.
void score_roll(score* s, int32_t channel, int32_t instrument, int32_t start_row, int32_t rows, int32_t every,
                int32_t volume_from, int32_t volume_to, int32_t note = 49, int32_t pan = -1);
