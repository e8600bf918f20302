// XM instruments from synthesised samples: a volume envelope given in
// seconds (turned into song ticks), fade-out, automatic vibrato, and a split
// of the keyboard between several samples.
#pragma once

#include "xm_writer.h"

#include <cstdint>
#include <vector>

struct instrument_shape {
  bool envelope = true; // off: the sample plays out (one-shots)
  double attack = 0.002, hold = 0, decay = 0, sustain = 1.0, release = 0.08;
  double fadeout = 0; // seconds from key-off to silence by fade-out (0: none)
  uint8_t vibrato_depth = 0, vibrato_rate = 0, vibrato_sweep = 0;
};

// splits[i] is the first XM note (1..96) that plays sample i + 1; notes below
// splits[0] play sample 0.
xm_instrument instrument_make(const char* name, std::vector<xm_sample> samples, const std::vector<int32_t>& splits,
                              const instrument_shape* shape, double tick_seconds);

// Volume envelope of a one-shot whose decay is baked into its sample: fully
// open while the sample sounds, closing to 0 over its quiet tail (from where
// it stays below 1/100 of its peak to its end), so it keeps the sound and
// gives the note an end of its own. Times are taken an octave below C-4, so
// notes down to there play whole.
xm_envelope instrument_one_shot_envelope(const xm_sample* sample, double tick_seconds);
