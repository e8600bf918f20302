#include "instrument.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

xm_instrument instrument_make(const char* name, std::vector<xm_sample> samples, const std::vector<int32_t>& splits,
                              const instrument_shape* shape, double tick_seconds) {
  xm_instrument ins;
  ins.name = name;
  ins.samples = std::move(samples);
  for (int32_t n = 1; n <= 96; n++) {
    uint8_t which = 0;
    for (size_t i = 0; i < splits.size() && i + 1 < ins.samples.size(); i++)
      if (n >= splits[i])
        which = uint8_t(i + 1);
    ins.sample_map[n - 1] = which;
  }
  if (shape->envelope) {
    auto ticks = [&](double seconds) { return int32_t(std::lround(seconds / tick_seconds)); };
    std::vector<xm_envelope_point> points;
    auto add = [&](int32_t x, double level) {
      const uint16_t y = uint16_t(std::clamp(std::lround(level * 64.0), 0L, 64L));
      if (!points.empty() && x <= points.back().x)
        x = points.back().x + 1;
      points.push_back({uint16_t(x), y});
    };
    int32_t x = 0;
    add(0, shape->attack > tick_seconds ? 0.0 : 1.0);
    x += ticks(shape->attack);
    if (shape->attack > tick_seconds)
      add(x, 1.0);
    if (shape->hold > 0) {
      x += ticks(shape->hold);
      add(x, 1.0);
    }
    if (shape->decay > 0) {
      x = std::max(x + 1, x + ticks(shape->decay));
      add(x, shape->sustain);
    }
    ins.volume_envelope.sustain = uint8_t(points.size() - 1);
    x = points.back().x + std::max(1, ticks(shape->release));
    add(x, 0.0);
    ins.volume_envelope.points = points;
    ins.volume_envelope.flags = XM_ENVELOPE_ON | XM_ENVELOPE_SUSTAIN;
  }
  if (shape->fadeout > 0) {
    // Fade-out takes 32768 / value ticks to reach silence.
    const double value = 32768.0 / std::max(1.0, shape->fadeout / tick_seconds);
    ins.fadeout = uint16_t(std::clamp(std::lround(value), 1L, 0xFFFL));
  }
  ins.vibrato_depth = shape->vibrato_depth;
  ins.vibrato_rate = shape->vibrato_rate;
  ins.vibrato_sweep = shape->vibrato_sweep;
  return ins;
}

xm_envelope instrument_one_shot_envelope(const xm_sample* sample, double tick_seconds) {
  int32_t peak = 0;
  for (int16_t v : sample->data)
    peak = std::max(peak, std::abs(int32_t(v)));
  size_t quiet = sample->data.size();
  while (quiet > 0 && std::abs(int32_t(sample->data[quiet - 1])) * 100 < peak)
    quiet--;
  // Seconds per frame an octave below C-4 (the sample's tuning gives its rate at C-4).
  const double rate = 8363.0 * std::pow(2.0, (sample->relative_note + sample->finetune / 128.0) / 12.0);
  const double frame_ticks = 2.0 / (rate * std::max(tick_seconds, 1e-6));
  // Rounded up, and a tick later still: the envelope is stepped once a tick,
  // so it must not start closing inside the tick where the sample still sounds.
  const int32_t open = int32_t(std::ceil(double(quiet) * frame_ticks)) + 1;
  const int32_t end = std::max(open + 1, int32_t(std::ceil(double(sample->data.size()) * frame_ticks)) + 1);
  xm_envelope env;
  env.points = {{0, 64}, {uint16_t(std::min(open, 0xFFFE)), 64}, {uint16_t(std::min(end, 0xFFFF)), 0}};
  env.flags = XM_ENVELOPE_ON;
  return env;
}
