// Accompaniment written from a chord chart: sustained pads with voice
// leading, arpeggios and bass lines. A chart is one chord name per span of
// `rows_each` rows.
#pragma once

#include "score.h"

#include <string>
#include <vector>

struct score_chart {
  std::vector<std::string> chords; // e.g. {"Am", "F", "C", "G"}
  int32_t rows_each = 32;
};

// Splits "Am F C G" into a chart.
score_chart score_chart_make(const std::string& chords, int32_t rows_each);

// Pads: one channel per voice. A voice whose note stays from one chord to
// the next is not struck again. The last chord is released at the end.
struct score_pad_style {
  std::vector<int32_t> channels;
  std::vector<int32_t> pans;
  int32_t instrument = 0;
  int32_t low = 49, high = 68; // range of the voicing (XM notes)
  int32_t volume = 24;
  bool release_at_end = true;
};
void score_pad(score* s, const score_pad_style* style, int32_t start_row, const score_chart* chart,
               std::vector<int32_t>* voicing);

// Arpeggio: pattern entries index the chord's tones stacked up from `low`
// (negative: rest); one entry per step, the pattern runs on across chords.
// Accents, one character per step as in score_drums, scale the volume. The
// last note is released where the chart ends.
struct score_arp_style {
  int32_t channel = 0, instrument = 0, pan = -1;
  std::vector<int32_t> pattern{};
  std::string accents = "x";
  int32_t step_rows = 2;
  int32_t low = 57;
  int32_t volume = 30;
  score_echo_style echo{}; // over the chart's rows
};
void score_arp(score* s, const score_arp_style* style, int32_t start_row, const score_chart* chart);

// A harmony under the melody on channel src in rows [from, to): for every
// note, the highest tone of the chord sounding there (the chart starts at
// chart_row) that lies at least a minor third below it, on channel dst.
// Note-offs are copied.
void score_harmony(score* s, int32_t src, int32_t dst, int32_t from, int32_t to, int32_t chart_row,
                   const score_chart* chart, int32_t instrument, double volume_scale, int32_t pan,
                   int32_t transpose = 0);

// Bass line: one character per step, repeated through every chord span:
// 'R' root, 'r' soft root, 'O' octave up, 'o' soft octave, '5' fifth, '3'
// third, '7' minor seventh, 'n' the next chord's root, '-' holds, '.' ends
// the sounding note (a rest). The root is the chord's bass note in the
// octave from `low`.
struct score_bass_style {
  int32_t channel = 0, instrument = 0, pan = -1;
  std::string pattern = "R.R.R.R.R.R.R.R.";
  int32_t step_rows = 2;
  int32_t low = 25;
  int32_t volume = 44;
};
void score_bass(score* s, const score_bass_style* style, int32_t start_row, const score_chart* chart);

// The pads, the arpeggio and the bass over chord names ("Am F C G"), one
// chord every rows_each rows (score_chart_make).
void score_pad_chords(score* s, const score_pad_style* style, int32_t start_row, const std::string& chords,
                      int32_t rows_each, std::vector<int32_t>* voicing);
void score_arp_chords(score* s, const score_arp_style* style, int32_t start_row, const std::string& chords,
                      int32_t rows_each);
void score_bass_chords(score* s, const score_bass_style* style, int32_t start_row, const std::string& chords,
                       int32_t rows_each);
