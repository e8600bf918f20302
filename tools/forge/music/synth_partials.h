// One-shot pitched sounds made of decaying partials: plucks, bells and an
// FM electric piano. Each is synthesised at 44,100 Hz at a given pitch.
#pragma once

#include "synth_wave.h"

#include <cstdint>
#include <vector>

struct synth_partial {
  double ratio; // frequency as a multiple of the pitch
  double amp;
  double tau; // decay time constant, seconds
};

// Sum of decaying sine partials at the given pitch, with a linear attack.
synth_signal synth_partials(const std::vector<synth_partial>& partials, double pitch, double attack, double length,
                            uint64_t seed);

// A plucked string-like tone: harmonics up to limit_hz, the higher ones
// dying faster.
synth_signal synth_pluck(double pitch, double limit_hz, double length, uint64_t seed);

// A glassy bell: a few harmonic and inharmonic partials.
synth_signal synth_bell(double pitch, double length);

// Electric piano by two-operator FM: a carrier and a modulator at the same
// frequency with a falling index, and a short high tine.
synth_signal synth_epiano(double pitch, double length);

// A sample of a one-shot made at pitch: C-4 plays it at middle C's pitch
// relative to the pitch it was made at.
xm_sample synth_make_pitched(const char* name, const synth_signal* s, double pitch);
