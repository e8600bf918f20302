// Looped tones built from harmonics. Every voice runs a whole number of cycles
// within the loop, so the loop joins without a seam; voices a few cycles
// apart beat slowly against each other (the chorus of a pad). Before the loop
// an attack part lets the timbre move, as a filter envelope would.
#pragma once

#include "synth_wave.h"

#include <cstdint>
#include <vector>

// Harmonic amplitudes: weight of odd and even harmonics, a slope (1 = saw-like
// 1/h), and a low-pass corner in harmonics that glides from cutoff_start to
// cutoff_end with time constant cutoff_tau (seconds at C-4) during the attack.
// Formant peaks (centre in harmonics at C-4, width, gain) shape vowel-like
// spectra.
struct synth_formant {
  float centre, width, gain;
};

struct synth_timbre {
  float odd = 1, even = 1;
  float slope = 1;
  float cutoff_start = 16, cutoff_end = 16;
  float cutoff_tau = 0.1f;
  int32_t order = 2;
  float resonance = 0; // boost just below the corner
  std::vector<synth_formant> formants;
  float fundamental = 1; // extra weight of harmonic 1
};

struct synth_tone {
  const char* name = "tone";
  int32_t period = 128;      // samples per cycle of the nominal pitch
  int32_t loop_cycles = 64;  // cycles of the nominal pitch in the loop
  int32_t attack_cycles = 0; // cycles before the loop
  std::vector<int32_t> detune = {0};
  std::vector<float> voice_gain = {1}; // per voice; the last one for the rest, 1 when empty
  int32_t harmonics = 32;
  synth_timbre timbre;
  uint64_t seed = 1;
  float peak = 0.9f;
  double pitch = SYNTH_C4; // pitch the sample has at C-4
};

// Harmonic h's amplitude at t seconds (C-4 time).
float synth_timbre_amplitude(const synth_timbre* timbre, int32_t h, double t);

// The looped 16-bit sample (loop = the last period * loop_cycles samples).
xm_sample synth_tone_make(const synth_tone* tone);
