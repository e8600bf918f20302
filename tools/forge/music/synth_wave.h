// Sample synthesis basics: signals as float arrays at a known rate, noise,
// filters, envelopes, and the turn of a signal into a 16-bit XM sample tuned
// so that note C-4 plays it at the signal's own pitch.
#pragma once

#include "art_random.h"
#include "xm_writer.h"

#include <cstdint>
#include <vector>

constexpr double SYNTH_RATE = 44100.0;         // rate of one-shot signals
constexpr double SYNTH_C4 = 261.6255653005986; // middle C in Hz
constexpr double SYNTH_PI = 3.141592653589793;

// A signal: samples at rate samples per second.
struct synth_signal {
  double rate = SYNTH_RATE;
  std::vector<float> v;
};

void synth_signal_init(synth_signal* s, double seconds, double rate = SYNTH_RATE);
// Seconds of sample i.
inline double synth_time(const synth_signal* s, size_t i) { return double(i) / s->rate; }

// White noise in [-1, 1).
float synth_noise(art_rng* rng);

// Resonant state-variable filter (trapezoidal integration, stable at any
// cutoff below half the rate).
struct synth_svf {
  float ic1 = 0, ic2 = 0;
};
struct synth_svf_out {
  float low, band, high;
};
synth_svf_out synth_svf_step(synth_svf* f, float x, double cutoff, double q, double rate);

// One-pole low-pass and high-pass.
struct synth_onepole {
  float z = 0;
};
float synth_lowpass(synth_onepole* f, float x, double cutoff, double rate);
float synth_highpass(synth_onepole* f, float x, double cutoff, double rate);

// Exponential decay with time constant tau (seconds) after a linear attack.
double synth_decay(double t, double attack, double tau);

// Soft saturation that keeps small signals linear.
float synth_saturate(float x, float drive);

// Scales the signal so its largest magnitude is peak (0..1 of full scale).
void synth_normalise(synth_signal* s, float peak);
// Short fades at both ends so a one-shot starts and stops without a click.
void synth_fade_ends(synth_signal* s, double in_seconds, double out_seconds);

// Sets relative note and finetune so that C-4 plays the sample at rate_at_c4
// samples per second (linear frequency table, C-4 = 8363 Hz at no offset).
void synth_tune(xm_sample* sample, double rate_at_c4);

// A 16-bit sample from the signal (values taken as fractions of full scale,
// clamped), tuned so that C-4 plays it at the signal's own rate.
xm_sample synth_make_sample(const char* name, const synth_signal* s);
