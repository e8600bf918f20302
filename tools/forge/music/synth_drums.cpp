#include "synth_drums.h"

#include <cmath>

synth_signal synth_kick(const synth_kick_params* p) {
  synth_signal s;
  synth_signal_init(&s, p->length);
  art_rng rng;
  art_rng_seed(&rng, p->seed);
  synth_onepole hp;
  double phase = 0;
  for (size_t i = 0; i < s.v.size(); i++) {
    const double t = synth_time(&s, i);
    const double f = p->end_hz + (p->start_hz - p->end_hz) * std::exp(-t / p->sweep_tau);
    phase += f / s.rate;
    const double body = std::sin(2 * SYNTH_PI * phase) * synth_decay(t, 0.0015, p->decay_tau);
    const double click = synth_highpass(&hp, synth_noise(&rng), 2500, s.rate) * std::exp(-t / 0.004) * p->click;
    s.v[i] = synth_saturate(float(body + click), float(p->drive));
  }
  synth_fade_ends(&s, 0.0005, 0.03);
  synth_normalise(&s, 0.95f);
  return s;
}

synth_signal synth_snare(const synth_snare_params* p) {
  synth_signal s;
  synth_signal_init(&s, p->length);
  art_rng rng;
  art_rng_seed(&rng, p->seed);
  synth_onepole lo, hi;
  double p1 = 0, p2 = 0;
  for (size_t i = 0; i < s.v.size(); i++) {
    const double t = synth_time(&s, i);
    const double bend = 1.0 + 0.25 * std::exp(-t / 0.01);
    p1 += p->body_hz * bend / s.rate;
    p2 += p->body_hz * 1.78 * bend / s.rate;
    const double body = (std::sin(2 * SYNTH_PI * p1) + 0.55 * std::sin(2 * SYNTH_PI * p2)) *
                        synth_decay(t, 0.001, p->body_tau) * p->body;
    float n = synth_noise(&rng);
    n = synth_lowpass(&lo, n, p->noise_high, s.rate);
    n = synth_highpass(&hi, n, p->noise_low, s.rate);
    const double noise = n * synth_decay(t, 0.001, p->noise_tau) * p->noise * 1.8;
    s.v[i] = float(body + noise);
  }
  synth_fade_ends(&s, 0.0005, 0.05);
  synth_normalise(&s, 0.95f);
  return s;
}

synth_signal synth_clap(uint64_t seed) {
  synth_signal s;
  synth_signal_init(&s, 0.45);
  art_rng rng;
  art_rng_seed(&rng, seed);
  synth_svf band;
  const double bursts[4] = {0.0, 0.011, 0.022, 0.034};
  for (size_t i = 0; i < s.v.size(); i++) {
    const double t = synth_time(&s, i);
    double env = 0;
    for (int b = 0; b < 3; b++)
      env += synth_decay(t - bursts[b], 0.0008, 0.005) * (0.8 + 0.1 * b);
    env += synth_decay(t - bursts[3], 0.0008, 0.13);
    const synth_svf_out f = synth_svf_step(&band, synth_noise(&rng), 1150, 1.4, s.rate);
    s.v[i] = float(f.band * env);
  }
  synth_fade_ends(&s, 0.0003, 0.05);
  synth_normalise(&s, 0.95f);
  return s;
}

// Six square waves at inharmonic ratios: the metal of hats and cymbals.
static double synth_metal(double t) {
  static const double ratio[6] = {2.0, 3.0, 4.16, 5.43, 6.79, 8.21};
  double sum = 0;
  for (double r : ratio)
    sum += std::fmod(t * 205.3 * r * 2.0, 1.0) < 0.5 ? 1.0 : -1.0;
  return sum / 6.0;
}

synth_signal synth_hihat(double tau, double length, uint64_t seed) {
  synth_signal s;
  synth_signal_init(&s, length);
  art_rng rng;
  art_rng_seed(&rng, seed);
  synth_svf hp1, hp2;
  for (size_t i = 0; i < s.v.size(); i++) {
    const double t = synth_time(&s, i);
    const double x = 0.55 * synth_metal(t) + 0.6 * synth_noise(&rng);
    const double y = synth_svf_step(&hp1, float(x), 7200, 0.8, s.rate).high;
    const double z = synth_svf_step(&hp2, float(y), 9500, 0.9, s.rate).band * 0.6 + y;
    s.v[i] = float(z * synth_decay(t, 0.0007, tau));
  }
  synth_fade_ends(&s, 0.0002, std::min(0.02, length * 0.2));
  synth_normalise(&s, 0.95f);
  return s;
}

synth_signal synth_crash(double tau, double length, uint64_t seed) {
  synth_signal s;
  synth_signal_init(&s, length);
  art_rng rng;
  art_rng_seed(&rng, seed);
  synth_svf hp, peak;
  synth_onepole soften;
  for (size_t i = 0; i < s.v.size(); i++) {
    const double t = synth_time(&s, i);
    const double x = 0.4 * synth_metal(t * 1.37) + 0.8 * synth_noise(&rng);
    const double y = synth_svf_step(&hp, float(x), 3800, 0.7, s.rate).high;
    const double z = y + 0.5 * synth_svf_step(&peak, float(y), 6200, 1.2, s.rate).band;
    // The first moments are bright, the tail darker.
    const double dark = synth_lowpass(&soften, float(z), 5000 + 12000 * std::exp(-t / 0.25), s.rate);
    s.v[i] = float((0.4 * z * std::exp(-t / 0.08) + dark) * synth_decay(t, 0.002, tau));
  }
  synth_fade_ends(&s, 0.0003, 0.3);
  synth_normalise(&s, 0.95f);
  return s;
}

synth_signal synth_tom(uint64_t seed) {
  synth_signal s;
  synth_signal_init(&s, 0.55);
  art_rng rng;
  art_rng_seed(&rng, seed);
  synth_onepole lo;
  double phase = 0;
  for (size_t i = 0; i < s.v.size(); i++) {
    const double t = synth_time(&s, i);
    const double f = 118 + 70 * std::exp(-t / 0.06);
    phase += f / s.rate;
    const double body = std::sin(2 * SYNTH_PI * phase) * synth_decay(t, 0.001, 0.2);
    const double skin = synth_lowpass(&lo, synth_noise(&rng), 3000, s.rate) * synth_decay(t, 0.0005, 0.02) * 0.5;
    s.v[i] = synth_saturate(float(body + skin), 1.3f);
  }
  synth_fade_ends(&s, 0.0005, 0.05);
  synth_normalise(&s, 0.95f);
  return s;
}

synth_signal synth_shaker(uint64_t seed) {
  synth_signal s;
  synth_signal_init(&s, 0.14);
  art_rng rng;
  art_rng_seed(&rng, seed);
  synth_svf band;
  for (size_t i = 0; i < s.v.size(); i++) {
    const double t = synth_time(&s, i);
    const double env = t < 0.012 ? t / 0.012 : std::exp(-(t - 0.012) / 0.03);
    s.v[i] = float(synth_svf_step(&band, synth_noise(&rng), 6500, 1.1, s.rate).band * env);
  }
  synth_fade_ends(&s, 0.0, 0.02);
  synth_normalise(&s, 0.95f);
  return s;
}

synth_signal synth_rim(uint64_t seed) {
  synth_signal s;
  synth_signal_init(&s, 0.12);
  art_rng rng;
  art_rng_seed(&rng, seed);
  synth_svf band;
  double phase = 0;
  for (size_t i = 0; i < s.v.size(); i++) {
    const double t = synth_time(&s, i);
    phase += 1650.0 / s.rate;
    const double tone = std::sin(2 * SYNTH_PI * phase) * std::exp(-t / 0.018);
    const double click = synth_svf_step(&band, synth_noise(&rng), 3200, 2.0, s.rate).band * std::exp(-t / 0.004);
    s.v[i] = float(0.7 * tone + 1.2 * click);
  }
  synth_fade_ends(&s, 0.0002, 0.02);
  synth_normalise(&s, 0.95f);
  return s;
}

synth_signal synth_riser(double length, uint64_t seed) {
  synth_signal s;
  synth_signal_init(&s, length, 32000.0);
  art_rng rng;
  art_rng_seed(&rng, seed);
  synth_svf band;
  for (size_t i = 0; i < s.v.size(); i++) {
    const double u = synth_time(&s, i) / length;
    const double centre = 250.0 * std::pow(40.0, u);
    const double env = std::pow(u, 1.6) * (1.0 - std::exp(-(1.0 - u) * 60.0));
    s.v[i] = float(synth_svf_step(&band, synth_noise(&rng), centre, 2.5, s.rate).band * env);
  }
  synth_normalise(&s, 0.95f);
  return s;
}
