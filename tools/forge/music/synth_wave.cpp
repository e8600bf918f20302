#include "synth_wave.h"

#include <algorithm>
#include <cmath>

void synth_signal_init(synth_signal* s, double seconds, double rate) {
  s->rate = rate;
  s->v.assign(size_t(std::max(1.0, std::ceil(seconds * rate))), 0.0f);
}

float synth_noise(art_rng* rng) { return float(int32_t(art_rng_next(rng) >> 8) - (1 << 23)) / float(1 << 23); }

synth_svf_out synth_svf_step(synth_svf* f, float x, double cutoff, double q, double rate) {
  const double c = std::min(cutoff, rate * 0.49);
  const double g = std::tan(SYNTH_PI * c / rate);
  const double k = 1.0 / q;
  const double a1 = 1.0 / (1.0 + g * (g + k));
  const double a2 = g * a1;
  const double a3 = g * a2;
  const double v3 = x - f->ic2;
  const double v1 = a1 * f->ic1 + a2 * v3;
  const double v2 = f->ic2 + a2 * f->ic1 + a3 * v3;
  f->ic1 = float(2.0 * v1 - f->ic1);
  f->ic2 = float(2.0 * v2 - f->ic2);
  return {float(v2), float(v1), float(x - k * v1 - v2)};
}

float synth_lowpass(synth_onepole* f, float x, double cutoff, double rate) {
  const double a = 1.0 - std::exp(-2.0 * SYNTH_PI * cutoff / rate);
  f->z = float(f->z + a * (x - f->z));
  return f->z;
}

float synth_highpass(synth_onepole* f, float x, double cutoff, double rate) {
  return x - synth_lowpass(f, x, cutoff, rate);
}

double synth_decay(double t, double attack, double tau) {
  if (t < 0)
    return 0;
  if (t < attack)
    return t / attack;
  return std::exp(-(t - attack) / tau);
}

float synth_saturate(float x, float drive) { return float(std::tanh(double(x) * drive) / std::tanh(double(drive))); }

void synth_normalise(synth_signal* s, float peak) {
  float m = 0;
  for (float x : s->v)
    m = std::max(m, std::fabs(x));
  if (m <= 0)
    return;
  const float k = peak / m;
  for (float& x : s->v)
    x *= k;
}

void synth_fade_ends(synth_signal* s, double in_seconds, double out_seconds) {
  const size_t n = s->v.size();
  const size_t a = std::min(n, size_t(in_seconds * s->rate));
  const size_t b = std::min(n, size_t(out_seconds * s->rate));
  for (size_t i = 0; i < a; i++)
    s->v[i] *= float(i) / float(a);
  for (size_t i = 0; i < b; i++)
    s->v[n - 1 - i] *= float(i) / float(b);
}

void synth_tune(xm_sample* sample, double rate_at_c4) {
  const double semitones = 12.0 * std::log2(rate_at_c4 / 8363.0);
  const double whole = std::floor(semitones + 0.5);
  const double fine = std::floor((semitones - whole) * 128.0 + 0.5);
  sample->relative_note = int8_t(std::clamp(whole, -96.0, 95.0));
  sample->finetune = int8_t(std::clamp(fine, -128.0, 127.0));
}

xm_sample synth_make_sample(const char* name, const synth_signal* s) {
  xm_sample out;
  out.name = name;
  out.bits = 16;
  out.data.resize(s->v.size());
  for (size_t i = 0; i < s->v.size(); i++) {
    const double x = std::clamp(double(s->v[i]), -1.0, 1.0) * 32767.0;
    out.data[i] = int16_t(std::floor(x + 0.5));
  }
  synth_tune(&out, s->rate);
  return out;
}
