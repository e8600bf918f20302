#include "synth_partials.h"

#include <cmath>

synth_signal synth_partials(const std::vector<synth_partial>& partials, double pitch, double attack, double length,
                            uint64_t seed) {
  synth_signal s;
  synth_signal_init(&s, length);
  art_rng rng;
  art_rng_seed(&rng, seed, 0x9A27);
  for (const synth_partial& p : partials) {
    const double f = pitch * p.ratio;
    if (f >= s.rate * 0.45)
      continue;
    const double w = 2 * SYNTH_PI * f / s.rate;
    const double phase0 = 2 * SYNTH_PI * art_rng_float(&rng);
    // Rotate a phasor rather than call sin per sample; renormalise now and
    // then so rounding cannot let it grow.
    double c = std::cos(phase0), d = std::sin(phase0);
    const double cw = std::cos(w), sw = std::sin(w);
    double env = 1;
    const double fall = std::exp(-1.0 / (p.tau * s.rate));
    for (size_t i = 0; i < s.v.size(); i++) {
      const double t = synth_time(&s, i);
      const double a = t < attack ? t / attack : 1.0;
      s.v[i] += float(p.amp * env * a * d);
      env *= fall;
      const double nc = c * cw - d * sw;
      d = c * sw + d * cw;
      c = nc;
      if ((i & 1023) == 1023) {
        const double m = 1.0 / std::sqrt(c * c + d * d);
        c *= m;
        d *= m;
      }
    }
  }
  synth_fade_ends(&s, 0.0, 0.02);
  synth_normalise(&s, 0.9f);
  return s;
}

synth_signal synth_pluck(double pitch, double limit_hz, double length, uint64_t seed) {
  std::vector<synth_partial> parts;
  for (int32_t h = 1; pitch * h < limit_hz; h++) {
    const double hh = double(h);
    // Odd harmonics a little stronger, as a string plucked near its end.
    const double amp = (h & 1 ? 1.0 : 0.6) / std::pow(hh, 1.1) / (1.0 + std::pow(hh / 14.0, 2.0));
    parts.push_back({hh * (1.0 + 0.0004 * hh), amp, 0.45 / (1.0 + 0.35 * hh)});
  }
  return synth_partials(parts, pitch, 0.0012, length, seed);
}

synth_signal synth_bell(double pitch, double length) {
  const std::vector<synth_partial> parts = {
      {1.0, 1.0, 1.6},   {2.0, 0.45, 1.0},  {3.0, 0.22, 0.55},  {4.0, 0.12, 0.4},
      {5.43, 0.1, 0.25}, {6.8, 0.06, 0.15}, {8.93, 0.04, 0.08},
  };
  return synth_partials(parts, pitch, 0.002, length, 0x8E11);
}

synth_signal synth_epiano(double pitch, double length) {
  synth_signal s;
  synth_signal_init(&s, length);
  const double w = 2 * SYNTH_PI * pitch / s.rate;
  for (size_t i = 0; i < s.v.size(); i++) {
    const double t = synth_time(&s, i);
    const double n = double(i);
    const double index = 1.5 * std::exp(-t / 0.3) + 0.35;
    const double mod = std::sin(w * n) * index;
    const double body = std::sin(w * n + mod) * synth_decay(t, 0.002, 1.4);
    const double tine = std::sin(w * 14.0 * n + 0.8 * std::sin(w * n)) * std::exp(-t / 0.025) * 0.18;
    const double warm = std::sin(w * n) * synth_decay(t, 0.002, 2.2) * 0.5;
    s.v[i] = float(body + tine + warm);
  }
  synth_fade_ends(&s, 0.0, 0.1);
  synth_normalise(&s, 0.9f);
  return s;
}

xm_sample synth_make_pitched(const char* name, const synth_signal* s, double pitch) {
  xm_sample out = synth_make_sample(name, s);
  synth_tune(&out, s->rate * SYNTH_C4 / pitch);
  return out;
}
