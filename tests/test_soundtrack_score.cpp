// The composer's toolkit and the synthesis underneath the songs: notes,
// melodies, echoes, chords and voice leading, bass lines, drums, the cut into
// patterns, tuning, seamless loops and instrument envelopes.
#include "instrument.h"
#include "score.h"
#include "score_parts.h"
#include "synth_additive.h"
#include "synth_drums.h"
#include "synth_partials.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
score grid(int32_t channels, std::vector<int32_t> rows) {
  score s;
  score_init(&s, uint16_t(channels), rows);
  return s;
}
const xm_cell& cell(score& s, int32_t row, int32_t ch) { return *score_cell(&s, row, ch); }
int32_t volume_of(const xm_cell& c) { return c.volume >= 0x10 && c.volume <= 0x50 ? c.volume - 0x10 : -1; }
} // namespace

TEST(SoundtrackScore, PitchNames) {
  EXPECT_EQ(score_pitch("C0"), 1);
  EXPECT_EQ(score_pitch("C4"), 49);
  EXPECT_EQ(score_pitch("A4"), 58);
  EXPECT_EQ(score_pitch("C#5"), 62);
  EXPECT_EQ(score_pitch("Bb3"), 47);
  EXPECT_EQ(score_pitch("B7"), 96);
  for (const char* bad : {"", "A", "H4", "A8", "Cb0", "A#", "a4", "C44"})
    EXPECT_EQ(score_pitch(bad), 0) << bad;
}

TEST(SoundtrackScore, GridRowsAndCellsStayInside) {
  score s = grid(3, {16, 32});
  EXPECT_EQ(s.total_rows, 48);
  EXPECT_EQ(score_at(&s, 1, 5), 21);
  EXPECT_EQ(score_cell(&s, -1, 0), nullptr);
  EXPECT_EQ(score_cell(&s, 48, 0), nullptr);
  EXPECT_EQ(score_cell(&s, 0, 3), nullptr);
  // Writes outside the grid are dropped, not made.
  score_note(&s, 48, 0, 49, 1, 64);
  score_note(&s, 0, 0, 0, 1, 64);
  score_note(&s, 0, 0, 97, 1, 64);
  score_off(&s, -3, 1);
  for (const xm_cell& c : s.grid)
    EXPECT_EQ(c.note, 0);
}

TEST(SoundtrackScore, NotesCarryVolumeAndPanWithoutHidingEffects) {
  score s = grid(2, {8});
  score_note(&s, 0, 0, 58, 3, 70, 200);
  EXPECT_EQ(cell(s, 0, 0).note, 58);
  EXPECT_EQ(cell(s, 0, 0).instrument, 3);
  EXPECT_EQ(volume_of(cell(s, 0, 0)), 64) << "volumes stop at 64";
  EXPECT_EQ(cell(s, 0, 0).effect, 0x08);
  EXPECT_EQ(cell(s, 0, 0).param, 200);
  score_effect(&s, 1, 0, 0x03, 0x20); // portamento stays
  score_note(&s, 1, 0, 60, 3, 10, 50);
  EXPECT_EQ(cell(s, 1, 0).effect, 0x03);
  EXPECT_EQ(cell(s, 1, 0).param, 0x20);
  score_note(&s, 2, 0, 60, 3, -1);
  EXPECT_EQ(cell(s, 2, 0).volume, 0) << "negative volume: the sample's own";
  // A note-off never replaces a note.
  score_off(&s, 2, 0);
  EXPECT_EQ(cell(s, 2, 0).note, 60);
  score_off(&s, 3, 0);
  EXPECT_EQ(cell(s, 3, 0).note, XM_NOTE_OFF);
}

TEST(SoundtrackScore, MelodiesFromTheNotation) {
  score s = grid(1, {64});
  score_voice v;
  v.instrument = 2;
  v.volume = 40;
  v.transpose = 12;
  // A4 for two steps, a rest, C5 held for 1 + 3 steps, an accent, a soft one.
  EXPECT_EQ(score_melody(&s, &v, 4, "A4:2 | r:2 C5 -:3 E5:1! G5~"), 2 * (2 + 2 + 1 + 3 + 1 + 1));
  EXPECT_EQ(cell(s, 4, 0).note, 58 + 12);
  EXPECT_EQ(volume_of(cell(s, 4, 0)), 40);
  EXPECT_EQ(cell(s, 8, 0).note, XM_NOTE_OFF) << "the rest ends A4";
  EXPECT_EQ(cell(s, 12, 0).note, 61 + 12);
  EXPECT_EQ(cell(s, 14, 0).note, 0) << "the hold strikes nothing";
  EXPECT_EQ(cell(s, 20, 0).note, 65 + 12);
  EXPECT_EQ(volume_of(cell(s, 20, 0)), 50);
  EXPECT_EQ(cell(s, 22, 0).note, 68 + 12);
  EXPECT_EQ(volume_of(cell(s, 22, 0)), 26);
  EXPECT_EQ(cell(s, 24, 0).note, XM_NOTE_OFF) << "the phrase's last note is released";
  for (const char* bad : {"Q4", "A4:x", "A4:", "A4:-2"})
    EXPECT_EQ(score_melody(&s, &v, 0, bad), -1) << bad;
}

TEST(SoundtrackScore, EchoesFollowLaterAndSofter) {
  score s = grid(2, {32});
  score_note(&s, 0, 0, 58, 1, 40);
  score_off(&s, 4, 0);
  score_note(&s, 30, 0, 60, 1, 40);
  score_echo(&s, 0, 1, 0, 32, 6, 0.5, 180);
  EXPECT_EQ(cell(s, 6, 1).note, 58);
  EXPECT_EQ(volume_of(cell(s, 6, 1)), 20);
  EXPECT_EQ(cell(s, 6, 1).param, 180);
  EXPECT_EQ(cell(s, 10, 1).note, XM_NOTE_OFF);
  EXPECT_EQ(cell(s, 0, 1).note, 0);
  // The echo of row 30 would fall beyond the grid: dropped.
  int32_t notes = 0;
  for (int32_t r = 0; r < 32; r++)
    notes += cell(s, r, 1).note != 0;
  EXPECT_EQ(notes, 2);
}

TEST(SoundtrackScore, PartsWriteTheirOwnEchoes) {
  score s = grid(4, {64});
  score_voice v;
  v.echo = {.channel = 1, .delay = 6, .volume_scale = 0.5, .pan = 180};
  EXPECT_EQ(score_melody(&s, &v, 0, "A4:2 C5:2"), 8);
  EXPECT_EQ(cell(s, 6, 1).note, 58);
  EXPECT_EQ(cell(s, 10, 1).note, 61);
  EXPECT_EQ(cell(s, 14, 1).note, 0) << "the release falls after the melody's rows";
  // The arpeggio's echo covers the chart's rows: not a note after them.
  score_note(&s, 40, 2, 50, 1, 40);
  score_arp_style a;
  a.channel = 2;
  a.pattern = {0};
  a.step_rows = 8;
  a.echo = {.channel = 3, .delay = 2};
  score_arp_chords(&s, &a, 0, "Am", 32);
  for (int32_t r = 0; r < 32; r += 8)
    EXPECT_EQ(cell(s, r + 2, 3).note, 58) << r;
  EXPECT_EQ(cell(s, 42, 3).note, 0);
}

TEST(SoundtrackScore, ChordsAndVoiceLeading) {
  const score_chord am = score_chord_parse("Am");
  EXPECT_EQ(am.root, 9);
  EXPECT_EQ(am.tones, (std::vector<int32_t>{0, 3, 7}));
  EXPECT_EQ(score_chord_parse("Fmaj7").tones, (std::vector<int32_t>{0, 4, 7, 11}));
  EXPECT_EQ(score_chord_parse("G#").root, 8);
  EXPECT_EQ(score_chord_parse("Bb").root, 10);
  EXPECT_EQ(score_chord_bass("C/E"), 4);
  EXPECT_EQ(score_chord_bass("Am"), 9);
  EXPECT_EQ(score_chord_tone(&am, 49, 0), 49) << "C-4 is Am's first tone from C-4";
  EXPECT_EQ(score_chord_tone(&am, 50, 0), 53) << "from C#-4 it is E-4";
  EXPECT_EQ(score_chord_tone(&am, 49, 3), 61) << "then E-4, A-4, C-5";

  // Am, F, C, G, Am: every voicing in range, every chord tone present, and
  // common tones held (A and C stay from Am to F).
  std::vector<int32_t> v;
  const int32_t low = 46, high = 65;
  const char* names[5] = {"Am", "F", "C", "G", "Am"};
  std::vector<int32_t> previous;
  for (const char* name : names) {
    const score_chord c = score_chord_parse(name);
    score_voicing(&c, low, high, 3, &v);
    ASSERT_EQ(v.size(), 3u) << name;
    for (int32_t n : v) {
      EXPECT_GE(n, low);
      EXPECT_LE(n, high);
    }
    for (int32_t t : c.tones) {
      bool present = false;
      for (int32_t n : v)
        present = present || (n - 1) % 12 == (c.root + t) % 12;
      EXPECT_TRUE(present) << name << " lacks a tone";
    }
    if (!previous.empty()) {
      int32_t moved = 0;
      for (size_t i = 0; i < 3; i++)
        moved += std::abs(v[i] - previous[i]);
      EXPECT_LE(moved, 5) << "smooth motion into " << name;
    }
    previous = v;
  }
}

TEST(SoundtrackScore, PadsHoldCommonTonesAndReleaseAtTheEnd) {
  score s = grid(3, {64});
  score_pad_style style;
  style.channels = {0, 1, 2};
  style.instrument = 4;
  style.low = 46;
  style.high = 65;
  std::vector<int32_t> voicing;
  const score_chart chart = score_chart_make("Am F", 32);
  score_pad(&s, &style, 0, &chart, &voicing);
  int32_t struck = 0;
  for (int32_t ch = 0; ch < 3; ch++)
    struck += cell(s, 32, ch).note >= 1 && cell(s, 32, ch).note <= 96;
  EXPECT_EQ(struck, 1) << "only E moves (to F); A and C ring on";
  EXPECT_EQ(score_cell(&s, 64, 0), nullptr);
}

TEST(SoundtrackScore, BassLinesFollowTheChords) {
  score s = grid(1, {64});
  score_bass_style style;
  style.instrument = 5;
  style.pattern = "R.O.5.3.7.n.r---";
  style.low = 20; // G-1
  const score_chart chart = score_chart_make("Am C/E", 32);
  score_bass(&s, &style, 0, &chart);
  const int32_t a = 22; // A-1
  EXPECT_EQ(cell(s, 0, 0).note, a);
  EXPECT_EQ(cell(s, 2, 0).note, XM_NOTE_OFF);
  EXPECT_EQ(cell(s, 4, 0).note, a + 12);
  EXPECT_EQ(cell(s, 8, 0).note, a + 7);
  EXPECT_EQ(cell(s, 12, 0).note, a + 3) << "minor third";
  EXPECT_EQ(cell(s, 16, 0).note, a + 10);
  EXPECT_EQ(cell(s, 20, 0).note, 29) << "the next chord's bass: E-2";
  EXPECT_LT(volume_of(cell(s, 24, 0)), volume_of(cell(s, 0, 0)));
  EXPECT_EQ(cell(s, 32, 0).note, 29) << "C/E has E in the bass";
  EXPECT_EQ(cell(s, 44, 0).note, 29 + 4) << "major third over the root's octave";
}

TEST(SoundtrackScore, DrumPatternsAndRolls) {
  score s = grid(2, {32});
  score_drums(&s, 0, 1, 0, 32, "X.x.|o.-.", 2);
  const int32_t want[8] = {64, -1, 50, -1, 36, -1, 22, -1};
  for (int32_t step = 0; step < 16; step++) {
    const xm_cell& c = cell(s, step * 2, 0);
    const int32_t w = want[step % 8];
    EXPECT_EQ(c.note != 0, w >= 0) << "step " << step;
    if (w >= 0) {
      EXPECT_EQ(volume_of(c), w) << "step " << step;
    }
    EXPECT_EQ(cell(s, step * 2 + 1, 0).note, 0);
  }
  score_roll(&s, 1, 2, 8, 8, 1, 10, 50);
  EXPECT_EQ(volume_of(cell(s, 8, 1)), 10);
  EXPECT_EQ(volume_of(cell(s, 15, 1)), 50);
  for (int32_t r = 9; r < 15; r++)
    EXPECT_GT(volume_of(cell(s, r, 1)), volume_of(cell(s, r - 1, 1)));
}

// Requests with nothing to do write nothing, and never loop for ever or
// index an empty list.
TEST(SoundtrackScore, EmptyRequestsWriteNothing) {
  const score_chord am = score_chord_parse("Am");
  for (int32_t voices : {0, -2}) {
    std::vector<int32_t> v = {46, 49, 53};
    score_voicing(&am, 46, 65, voices, &v);
    EXPECT_TRUE(v.empty()) << voices;
  }
  score s = grid(2, {32});
  for (int32_t step : {0, -2}) {
    score_drums(&s, 0, 1, 0, 32, "X.x.", step);
    score_roll(&s, 1, 2, 0, 16, step, 10, 50);
  }
  for (int32_t r = 0; r < 32; r++)
    for (int32_t ch = 0; ch < 2; ch++)
      EXPECT_EQ(cell(s, r, ch).note, 0) << r << " " << ch;
}

TEST(SoundtrackScore, TheGridIsCutIntoOnePatternPerOrder) {
  score s = grid(2, {16, 48, 32});
  score_note(&s, 15, 1, 50, 1, 30);
  score_note(&s, 16, 0, 51, 1, 30);
  score_note(&s, 95, 1, 52, 1, 30);
  xm_song song;
  score_to_song(&s, &song);
  ASSERT_EQ(song.patterns.size(), 3u);
  EXPECT_EQ(song.orders, (std::vector<uint8_t>{0, 1, 2}));
  EXPECT_EQ(song.patterns[1].rows, 48);
  EXPECT_EQ(xm_pattern_cell(song.patterns[0], 2, 15, 1).note, 50);
  EXPECT_EQ(xm_pattern_cell(song.patterns[1], 2, 0, 0).note, 51);
  EXPECT_EQ(xm_pattern_cell(song.patterns[2], 2, 31, 1).note, 52);
  std::vector<uint8_t> bytes;
  std::string error;
  song.instruments.resize(1);
  EXPECT_EQ(xm_writer_encode(song, &bytes, &error), 1) << error;
}

TEST(SoundtrackSynth, TuningPutsTheRateOnMiddleC) {
  for (double rate : {8363.0, 16726.0, 22050.0, 33488.1, 44100.0, 66976.2, 4000.0}) {
    xm_sample s;
    synth_tune(&s, rate);
    const double got = 8363.0 * std::pow(2.0, (s.relative_note + s.finetune / 128.0) / 12.0);
    EXPECT_NEAR(1200.0 * std::log2(got / rate), 0.0, 0.5) << rate;
  }
  xm_sample s;
  synth_tune(&s, 16726.0);
  EXPECT_EQ(s.relative_note, 12);
  EXPECT_EQ(s.finetune, 0);
}

TEST(SoundtrackSynth, LoopedTonesJoinWithoutASeam) {
  synth_tone t;
  t.period = 64;
  t.loop_cycles = 32;
  t.attack_cycles = 8;
  t.detune = {-1, 0, 2};
  t.voice_gain = {0.5f, 1.0f, 0.7f};
  t.harmonics = 20;
  t.timbre.cutoff_start = 18;
  t.timbre.cutoff_end = 5;
  const xm_sample s = synth_tone_make(&t);
  ASSERT_EQ(s.loop_type, XM_LOOP_FORWARD);
  EXPECT_EQ(s.loop_start, 64u * 8);
  EXPECT_EQ(s.loop_length, 64u * 32);
  ASSERT_EQ(s.data.size(), size_t(s.loop_start + s.loop_length));
  // Across the loop point the wave moves as it does anywhere inside it.
  int32_t biggest = 0;
  for (size_t i = s.loop_start + 1; i < s.data.size(); i++)
    biggest = std::max(biggest, std::abs(s.data[i] - s.data[i - 1]));
  EXPECT_LE(std::abs(s.data[s.loop_start] - s.data.back()), biggest);
  int32_t peak = 0;
  for (int16_t v : s.data)
    peak = std::max(peak, std::abs(int32_t(v)));
  EXPECT_NEAR(peak, 0.9 * 32767, 2);
  // C-4 plays one nominal cycle at middle C.
  const double rate = 8363.0 * std::pow(2.0, (s.relative_note + s.finetune / 128.0) / 12.0);
  EXPECT_NEAR(rate / t.period, SYNTH_C4, SYNTH_C4 * 0.002);
}

TEST(SoundtrackSynth, ToneVoicesWithoutGainsPlayAtFullGain) {
  synth_tone t;
  t.period = 32;
  t.loop_cycles = 8;
  t.detune = {0, 1};
  t.voice_gain = {1.0f};
  const xm_sample full = synth_tone_make(&t);
  t.voice_gain.clear();
  const xm_sample none = synth_tone_make(&t);
  ASSERT_EQ(none.data.size(), size_t(32 * 8));
  EXPECT_EQ(none.data, full.data);
}

TEST(SoundtrackSynth, OneShotsDecayToSilenceAndStayInRange) {
  synth_kick_params kick;
  const synth_signal signals[] = {synth_kick(&kick),
                                  synth_clap(3),
                                  synth_hihat(0.03, 0.15, 4),
                                  synth_crash(1.0, 2.0, 5),
                                  synth_tom(6),
                                  synth_pluck(SYNTH_C4, 9000, 0.8, 7),
                                  synth_bell(SYNTH_C4, 1.5),
                                  synth_epiano(SYNTH_C4, 1.5)};
  for (const synth_signal& s : signals) {
    ASSERT_GT(s.v.size(), 1000u);
    float peak = 0;
    for (float x : s.v) {
      ASSERT_TRUE(std::isfinite(x));
      peak = std::max(peak, std::fabs(x));
    }
    EXPECT_LE(peak, 0.951f);
    EXPECT_GT(peak, 0.5f);
    EXPECT_LT(std::fabs(s.v.back()), 0.01f) << "ends silent, without a click";
  }
  // The same seed gives the same noise.
  EXPECT_EQ(synth_clap(3).v, synth_clap(3).v);
  EXPECT_NE(synth_clap(3).v, synth_clap(4).v);
}

// A one-shot's envelope stays fully open while its baked decay sounds, even
// an octave below C-4, and closes to 0 after the sample's end.
TEST(SoundtrackSynth, OneShotEnvelopesFollowTheBakedDecay) {
  synth_kick_params kick;
  const synth_signal signals[3] = {synth_kick(&kick), synth_crash(1.1, 2.6, 16), synth_hihat(0.035, 0.15, 14)};
  for (const synth_signal& signal : signals) {
    const xm_sample sample = synth_make_sample("drum", &signal);
    int32_t peak = 0;
    size_t last_loud = 0;
    for (size_t i = 0; i < sample.data.size(); i++)
      peak = std::max(peak, std::abs(int32_t(sample.data[i])));
    for (size_t i = 0; i < sample.data.size(); i++)
      if (std::abs(int32_t(sample.data[i])) * 100 >= peak)
        last_loud = i;
    const double tick = 0.01;
    const xm_envelope env = instrument_one_shot_envelope(&sample, tick);
    EXPECT_EQ(env.flags, XM_ENVELOPE_ON) << "no sustain: the note ends by itself";
    ASSERT_EQ(env.points.size(), 3u);
    EXPECT_EQ(env.points[0].x, 0);
    EXPECT_EQ(env.points[0].y, 64);
    EXPECT_EQ(env.points[1].y, 64);
    EXPECT_EQ(env.points[2].y, 0);
    EXPECT_LT(env.points[1].x, env.points[2].x);
    // The sample is at 44,100 Hz, tuned to C-4; an octave below it lasts twice as long.
    const double loud_ticks = 2.0 * double(last_loud) / signal.rate / tick;
    const double sample_ticks = 2.0 * double(sample.data.size()) / signal.rate / tick;
    EXPECT_GE(env.points[1].x, loud_ticks);
    EXPECT_GE(env.points[2].x + 1.0, sample_ticks);
    EXPECT_LE(env.points[2].x, sample_ticks + 2.0);
  }
}

TEST(SoundtrackSynth, InstrumentEnvelopesAndKeyboardSplits) {
  instrument_shape shape;
  shape.attack = 0.1;
  shape.hold = 0.05;
  shape.decay = 0.2;
  shape.sustain = 0.5;
  shape.release = 0.3;
  shape.fadeout = 0.5;
  std::vector<xm_sample> samples(3);
  const xm_instrument ins = instrument_make("x", samples, {37, 61}, &shape, 0.01);
  const auto& p = ins.volume_envelope.points;
  ASSERT_EQ(p.size(), 5u);
  EXPECT_EQ(p[0].y, 0);
  EXPECT_EQ(p[1].x, 10);
  EXPECT_EQ(p[1].y, 64);
  EXPECT_EQ(p[2].x, 15);
  EXPECT_EQ(p[3].x, 35);
  EXPECT_EQ(p[3].y, 32);
  EXPECT_EQ(ins.volume_envelope.sustain, 3);
  EXPECT_EQ(p[4].x, 65);
  EXPECT_EQ(p[4].y, 0);
  EXPECT_EQ(ins.volume_envelope.flags, XM_ENVELOPE_ON | XM_ENVELOPE_SUSTAIN);
  EXPECT_NEAR(ins.fadeout, 32768.0 / 50.0, 1.0);
  EXPECT_EQ(ins.sample_map[35], 0);
  EXPECT_EQ(ins.sample_map[36], 1) << "note 37 starts the second sample";
  EXPECT_EQ(ins.sample_map[59], 1);
  EXPECT_EQ(ins.sample_map[60], 2);
  EXPECT_EQ(ins.sample_map[95], 2);

  // Very short times still give rising envelope ticks.
  instrument_shape quick;
  quick.attack = 0.0001;
  quick.decay = 0.0001;
  quick.sustain = 0.7;
  quick.release = 0.0001;
  const xm_instrument q = instrument_make("q", {xm_sample{}}, {}, &quick, 0.02);
  for (size_t i = 1; i < q.volume_envelope.points.size(); i++)
    EXPECT_GT(q.volume_envelope.points[i].x, q.volume_envelope.points[i - 1].x);
  std::vector<uint8_t> bytes;
  std::string error;
  xm_song song;
  song.patterns = {xm_pattern_make(1, song.channels)};
  song.orders = {0};
  song.instruments = {ins, q};
  song.instruments[0].samples = {xm_sample{}, xm_sample{}, xm_sample{}};
  song.instruments[1].samples = {xm_sample{}};
  EXPECT_EQ(xm_writer_encode(song, &bytes, &error), 1) << error;
}
