#include "synth_additive.h"

#include <algorithm>
#include <cmath>

float synth_timbre_amplitude(const synth_timbre* timbre, int32_t h, double t) {
  const double hh = double(h);
  double a = (h & 1) ? timbre->odd : timbre->even;
  a /= std::pow(hh, double(timbre->slope));
  if (h == 1)
    a *= timbre->fundamental;
  const double c = timbre->cutoff_end + (timbre->cutoff_start - timbre->cutoff_end) * std::exp(-t / timbre->cutoff_tau);
  const double r = hh / std::max(0.5, c);
  a /= std::sqrt(1.0 + std::pow(r, 2.0 * timbre->order));
  if (timbre->resonance > 0)
    a *= 1.0 + timbre->resonance * std::exp(-std::pow((r - 0.9) / 0.25, 2.0));
  if (!timbre->formants.empty()) {
    double f = 0.05;
    for (const synth_formant& p : timbre->formants)
      f += p.gain * std::exp(-std::pow((hh - p.centre) / p.width, 2.0));
    a *= f;
  }
  return float(a);
}

xm_sample synth_tone_make(const synth_tone* tone) {
  const int32_t loop = tone->period * tone->loop_cycles;
  const int32_t attack = tone->period * tone->attack_cycles;
  const double rate = double(tone->period) * tone->pitch;
  const size_t voices = tone->detune.size();
  // Harmonics stay below half the sample's own rate for every voice.
  int32_t top = tone->harmonics;
  for (int32_t d : tone->detune)
    top = std::min(top, (loop / 2 - 1) / (tone->loop_cycles + d));

  std::vector<float> table(static_cast<size_t>(loop));
  for (int32_t i = 0; i < loop; i++)
    table[size_t(i)] = float(std::sin(2.0 * SYNTH_PI * double(i) / double(loop)));

  art_rng rng;
  art_rng_seed(&rng, tone->seed, 0x70AE);
  std::vector<uint32_t> phase(voices * size_t(top)), step(voices * size_t(top));
  for (size_t v = 0; v < voices; v++)
    for (int32_t h = 1; h <= top; h++) {
      const size_t k = v * size_t(top) + size_t(h - 1);
      phase[k] = art_rng_next(&rng) % uint32_t(loop);
      step[k] = uint32_t(h * (tone->loop_cycles + tone->detune[v])) % uint32_t(loop);
    }

  synth_signal s;
  s.rate = rate;
  s.v.assign(size_t(attack + loop), 0.0f);
  std::vector<float> amp(static_cast<size_t>(top));
  const int32_t block = 64;
  for (int32_t n = 0; n < attack + loop; n++) {
    if (n % block == 0 || n == attack) {
      const double t = double(std::min(n, attack)) / rate;
      for (int32_t h = 1; h <= top; h++)
        amp[size_t(h - 1)] = synth_timbre_amplitude(&tone->timbre, h, t);
    }
    float sum = 0;
    for (size_t v = 0; v < voices; v++) {
      const float g = tone->voice_gain.empty() ? 1.0f : tone->voice_gain[std::min(v, tone->voice_gain.size() - 1)];
      float part = 0;
      for (int32_t h = 0; h < top; h++) {
        const size_t k = v * size_t(top) + size_t(h);
        part += amp[size_t(h)] * table[phase[k]];
        phase[k] += step[k];
        if (phase[k] >= uint32_t(loop))
          phase[k] -= uint32_t(loop);
      }
      sum += g * part;
    }
    s.v[size_t(n)] = sum;
  }
  synth_normalise(&s, tone->peak);
  xm_sample out = synth_make_sample(tone->name, &s);
  out.loop_start = uint32_t(attack);
  out.loop_length = uint32_t(loop);
  out.loop_type = XM_LOOP_FORWARD;
  return out;
}
