#include "song_sounds.h"

#include "instrument.h"
#include "synth_additive.h"
#include "synth_drums.h"
#include "synth_partials.h"

namespace {

// Drums and effects: the decay is the sample's own, the envelope follows it
// and closes after it; a key-off fades out at once, as it cuts a note
// without an envelope.
xm_instrument one_shot(const char* name, const synth_signal& s, double tick) {
  instrument_shape shape;
  shape.envelope = false;
  xm_instrument ins = instrument_make(name, {synth_make_sample(name, &s)}, {}, &shape, tick);
  ins.volume_envelope = instrument_one_shot_envelope(&ins.samples[0], tick);
  ins.fadeout = 0xFFF;
  return ins;
}

// Supersaw: seven saws a few cycles apart in a long loop, warm corner.
synth_tone supersaw(const char* name, float cutoff, uint64_t seed) {
  synth_tone t;
  t.name = name;
  t.period = 128;
  t.loop_cycles = 256;
  t.detune = {-3, -2, -1, 0, 1, 2, 3};
  t.voice_gain = {0.6f, 0.75f, 0.9f, 1.0f, 0.9f, 0.75f, 0.6f};
  t.harmonics = 24;
  t.timbre.cutoff_start = t.timbre.cutoff_end = cutoff;
  t.timbre.order = 2;
  t.seed = seed;
  return t;
}

// A vowel-like pad: detuned, soft, with formants of an open "ah".
synth_tone choir(const char* name, uint64_t seed) {
  synth_tone t;
  t.name = name;
  t.period = 128;
  t.loop_cycles = 256;
  t.detune = {-2, -1, 0, 1, 2};
  t.voice_gain = {0.7f, 0.9f, 1.0f, 0.9f, 0.7f};
  t.harmonics = 20;
  t.timbre.slope = 0.9f;
  t.timbre.cutoff_start = t.timbre.cutoff_end = 12;
  t.timbre.formants = {{2.7f, 1.2f, 1.0f}, {4.6f, 1.5f, 0.6f}, {10.0f, 2.5f, 0.25f}};
  t.timbre.fundamental = 0.6f;
  t.seed = seed;
  return t;
}

// Bass: saw and square, bright at the strike and closing quickly, as a
// plucked analogue bass with a filter envelope.
synth_tone bass(const char* name, float tau, float end_cutoff, uint64_t seed) {
  synth_tone t;
  t.name = name;
  t.period = 256;
  t.loop_cycles = 16;
  t.attack_cycles = 96;
  t.detune = {0};
  t.harmonics = 90;
  t.timbre.even = 0.65f;
  t.timbre.cutoff_start = 40;
  t.timbre.cutoff_end = end_cutoff;
  t.timbre.cutoff_tau = tau;
  t.timbre.order = 2;
  t.timbre.resonance = 0.5f;
  t.timbre.fundamental = 1.4f;
  t.seed = seed;
  return t;
}

} // namespace

void song_sounds_main(std::vector<xm_instrument>* out, double tick) {
  out->clear();
  synth_kick_params kick;
  out->push_back(one_shot("kick", synth_kick(&kick), tick));
  synth_snare_params snare;
  out->push_back(one_shot("snare", synth_snare(&snare), tick));
  out->push_back(one_shot("clap", synth_clap(13), tick));
  out->push_back(one_shot("hat", synth_hihat(0.035, 0.15, 14), tick));
  out->push_back(one_shot("open hat", synth_hihat(0.22, 0.6, 15), tick));
  out->push_back(one_shot("crash", synth_crash(1.1, 2.6, 16), tick));
  out->push_back(one_shot("tom", synth_tom(17), tick));
  out->push_back(one_shot("riser", synth_riser(3.84, 18), tick));
  {
    const synth_tone t = bass("bass", 0.018f, 7.0f, 19);
    instrument_shape shape;
    shape.decay = 0.35;
    shape.sustain = 0.7;
    shape.release = 0.05;
    out->push_back(instrument_make("bass", {synth_tone_make(&t)}, {}, &shape, tick));
  }
  {
    const synth_tone t = supersaw("pad", 7.0f, 20);
    instrument_shape shape;
    shape.attack = 0.12;
    shape.decay = 0.6;
    shape.sustain = 0.85;
    shape.release = 0.5;
    out->push_back(instrument_make("pad", {synth_tone_make(&t)}, {}, &shape, tick));
  }
  {
    const synth_tone t = choir("choir", 21);
    instrument_shape shape;
    shape.attack = 0.6;
    shape.release = 1.2;
    shape.vibrato_depth = 2;
    shape.vibrato_rate = 6;
    shape.vibrato_sweep = 60;
    out->push_back(instrument_make("choir", {synth_tone_make(&t)}, {}, &shape, tick));
  }
  {
    synth_tone t;
    t.name = "lead";
    t.period = 128;
    t.loop_cycles = 128;
    t.attack_cycles = 32;
    t.detune = {0, 1, -1};
    t.voice_gain = {1.0f, 0.8f, 0.5f};
    t.harmonics = 28;
    t.timbre.even = 0.8f;
    t.timbre.cutoff_start = 22;
    t.timbre.cutoff_end = 11;
    t.timbre.cutoff_tau = 0.06f;
    t.timbre.resonance = 0.5f;
    t.seed = 22;
    instrument_shape shape;
    shape.attack = 0.006;
    shape.decay = 0.4;
    shape.sustain = 0.75;
    shape.release = 0.18;
    shape.vibrato_depth = 3;
    shape.vibrato_rate = 10;
    shape.vibrato_sweep = 40;
    out->push_back(instrument_make("lead", {synth_tone_make(&t)}, {}, &shape, tick));
  }
  {
    // Plucks at two pitches so high notes keep their top below the limit.
    const synth_signal low = synth_pluck(SYNTH_C4, 12000, 0.9, 23);
    const synth_signal high = synth_pluck(SYNTH_C4 * 2, 14000, 0.7, 24);
    instrument_shape shape;
    shape.release = 0.12;
    out->push_back(instrument_make(
        "pluck",
        {synth_make_pitched("pluck low", &low, SYNTH_C4), synth_make_pitched("pluck high", &high, SYNTH_C4 * 2)}, {61},
        &shape, tick));
  }
  {
    const synth_signal b = synth_bell(SYNTH_C4 * 2, 2.2);
    instrument_shape shape;
    shape.release = 0.6;
    out->push_back(instrument_make("bell", {synth_make_pitched("bell", &b, SYNTH_C4 * 2)}, {}, &shape, tick));
  }
  {
    synth_tone t;
    t.name = "sub";
    t.period = 256;
    t.loop_cycles = 16;
    t.harmonics = 3;
    t.timbre.slope = 2.5f;
    t.timbre.cutoff_start = t.timbre.cutoff_end = 3;
    t.seed = 25;
    instrument_shape shape;
    shape.attack = 0.03;
    shape.release = 0.4;
    out->push_back(instrument_make("sub", {synth_tone_make(&t)}, {}, &shape, tick));
  }
}

void song_sounds_end(std::vector<xm_instrument>* out, double tick) {
  out->clear();
  synth_kick_params kick;
  kick.start_hz = 120;
  kick.end_hz = 50;
  kick.decay_tau = 0.22;
  kick.click = 0.12;
  kick.drive = 1.2;
  kick.seed = 31;
  out->push_back(one_shot("soft kick", synth_kick(&kick), tick));
  synth_snare_params snare;
  snare.body_hz = 200;
  snare.body = 0.4;
  snare.noise_low = 2000;
  snare.noise_high = 7000;
  snare.noise_tau = 0.2;
  snare.seed = 32;
  out->push_back(one_shot("brush snare", synth_snare(&snare), tick));
  out->push_back(one_shot("rim", synth_rim(33), tick));
  out->push_back(one_shot("shaker", synth_shaker(34), tick));
  out->push_back(one_shot("hat", synth_hihat(0.05, 0.2, 35), tick));
  out->push_back(one_shot("crash", synth_crash(1.6, 3.0, 36), tick));
  {
    const synth_tone t = bass("round bass", 0.03f, 4.0f, 37);
    instrument_shape shape;
    shape.attack = 0.004;
    shape.decay = 0.8;
    shape.sustain = 0.6;
    shape.release = 0.12;
    out->push_back(instrument_make("round bass", {synth_tone_make(&t)}, {}, &shape, tick));
  }
  {
    const synth_signal low = synth_epiano(SYNTH_C4 / 2, 2.6);
    const synth_signal high = synth_epiano(SYNTH_C4, 2.2);
    instrument_shape shape;
    shape.release = 0.35;
    out->push_back(instrument_make(
        "e-piano",
        {synth_make_pitched("e-piano low", &low, SYNTH_C4 / 2), synth_make_pitched("e-piano", &high, SYNTH_C4)}, {49},
        &shape, tick));
  }
  {
    const synth_tone t = supersaw("soft pad", 4.0f, 38);
    instrument_shape shape;
    shape.attack = 0.5;
    shape.release = 1.0;
    out->push_back(instrument_make("soft pad", {synth_tone_make(&t)}, {}, &shape, tick));
  }
  {
    synth_tone t;
    t.name = "flute";
    t.period = 128;
    t.loop_cycles = 64;
    t.detune = {0};
    t.harmonics = 6;
    t.timbre.slope = 1.8f;
    t.timbre.even = 0.5f;
    t.timbre.cutoff_start = t.timbre.cutoff_end = 4;
    t.seed = 39;
    instrument_shape shape;
    shape.attack = 0.05;
    shape.decay = 0.3;
    shape.sustain = 0.85;
    shape.release = 0.2;
    shape.vibrato_depth = 4;
    shape.vibrato_rate = 9;
    shape.vibrato_sweep = 50;
    out->push_back(instrument_make("flute", {synth_tone_make(&t)}, {}, &shape, tick));
  }
  {
    const synth_signal b = synth_bell(SYNTH_C4 * 2, 2.4);
    instrument_shape shape;
    shape.release = 0.7;
    out->push_back(instrument_make("bell", {synth_make_pitched("bell", &b, SYNTH_C4 * 2)}, {}, &shape, tick));
  }
  {
    const synth_signal low = synth_pluck(SYNTH_C4, 9000, 0.9, 40);
    const synth_signal high = synth_pluck(SYNTH_C4 * 2, 12000, 0.7, 41);
    instrument_shape shape;
    shape.release = 0.15;
    out->push_back(instrument_make(
        "pluck",
        {synth_make_pitched("pluck low", &low, SYNTH_C4), synth_make_pitched("pluck high", &high, SYNTH_C4 * 2)}, {61},
        &shape, tick));
  }
}
