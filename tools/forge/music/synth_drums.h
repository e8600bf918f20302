// Drum and effect sounds, synthesised at 44,100 Hz as one-shot signals: the
// note C-4 plays them at their own pitch.
#pragma once

#include "synth_wave.h"

#include <cstdint>

// Kick: a sine whose pitch falls from start_hz to end_hz, a click on top, a
// little saturation.
struct synth_kick_params {
  double start_hz = 165, end_hz = 47, sweep_tau = 0.032;
  double decay_tau = 0.28, length = 0.5;
  double click = 0.35, drive = 1.6;
  uint64_t seed = 11;
};
synth_signal synth_kick(const synth_kick_params* p);

// Snare: a two-tone drum body and a band of noise.
struct synth_snare_params {
  double body_hz = 185, body_tau = 0.055, body = 0.65;
  double noise_low = 1200, noise_high = 9000, noise_tau = 0.14, noise = 0.9;
  double length = 0.4;
  uint64_t seed = 12;
};
synth_signal synth_snare(const synth_snare_params* p);

// Clap: a few quick bursts of band-passed noise and a short tail.
synth_signal synth_clap(uint64_t seed);

// Hi-hat: six detuned square partials and noise, high-passed; tau sets how
// long it rings (short: closed, long: open).
synth_signal synth_hihat(double tau, double length, uint64_t seed);

// Crash cymbal: bright noise and metallic partials with a long decay.
synth_signal synth_crash(double tau, double length, uint64_t seed);

// Tom: a falling sine with a little noise; notes above and below C-4 give
// higher and lower toms.
synth_signal synth_tom(uint64_t seed);

// Shaker: short bursts of high noise.
synth_signal synth_shaker(uint64_t seed);

// Rim shot: a click with a short hollow tone.
synth_signal synth_rim(uint64_t seed);

// Riser: noise through a band that sweeps up over the length, swelling.
synth_signal synth_riser(double length, uint64_t seed);
