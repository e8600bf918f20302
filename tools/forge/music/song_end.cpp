// The end song, data/endpart.xm: a calm piece in C major and A minor at 90
// beats a minute (32 rows a bar) for the end screen's scroll: an electric
// piano, a soft pad, a round bass, a flute-like lead, bells and a light
// half-time beat. It quotes the main tune before its last choruses and ends
// on a ringing chord in order 17.
#include "score.h"
#include "score_parts.h"
#include "song_sounds.h"
#include "songs.h"

namespace {

enum : int32_t {
  CH_KICK,
  CH_SNARE,
  CH_SHAKER,
  CH_CRASH,
  CH_BASS,
  CH_KEY0,
  CH_KEY1,
  CH_KEY2,
  CH_KEY3,
  CH_PAD0,
  CH_PAD1,
  CH_PAD2,
  CH_LEAD,
  CH_ECHO,
  CH_BELL,
  CH_ARP,
  CH_ARP_ECHO,
  CHANNELS
};

constexpr int32_t BAR = 32;
constexpr int32_t BEAT = 8;
constexpr int32_t C4 = 49;

const std::vector<int32_t> end_rows = {
    32,  32,  32,            // black, then the fade-in
    128, 128, 128, 128, 160, // verses and the first chorus
    128, 128, 128,           // interlude and the main tune, slowly
    128, 128, 160,           // a verse and the second chorus
    160, 128,                // bridge and the last chorus
    128,                     // outro
    64,                      // the last chord
};

const char* const verse_1 = "A4:6 C5:2 E5:8 | D5:6 B4:2 G4:8 | G4:4 B4:4 E5:4 D5:4 | C5:8 A4:8";
const char* const verse_2 = "C5:6 E5:2 A5:8 | G5:6 D5:2 B4:8 | C5:4 E5:4 A5:4 G5:4 | E5:16";
const char* const chorus_1 = "F5:4 E5:4 C5:4 A4:4 | D5:4 C5:4 B4:4 G4:4 | E5:8 G5:4 C6:4 | A5:12 r:4";
const char* const chorus_2 = "F5:4 E5:4 C5:4 A4:4 | D5:4 C5:4 B4:4 D5:4 | E5:6 G#5:2 B5:8 | A5:16";
const char* const theme_a1 = "A4:3 C5:3 E5:2 D5:2 C5:2 A4:2 C5:2 | C5:3 F5:3 E5:2 C5:4 A4:4 |"
                             " G4:3 C5:3 E5:2 G5:4 E5:2 D5:2 | D5:6 B4:2 G4:4 A4:2 B4:2";
const char* const theme_a2 = "C5:3 E5:3 A5:2 G5:2 E5:2 D5:2 E5:2 | F5:3 E5:3 D5:2 C5:4 A4:4 |"
                             " G4:3 C5:3 E5:2 D5:4 C5:2 B4:2 | B4:6 C5:2 D5:8";

struct end_writer {
  score s;
  std::vector<int32_t> key_voicing, pad_voicing;
};

int32_t at(const end_writer* w, int32_t order, int32_t bar = 0) { return score_at(&w->s, order, bar * BAR); }

// Electric piano comping: the chord struck on the steps marked in `rhythm`
// (one character per sixteenth as in score_drums), four voices.
void keys(end_writer* w, int32_t row, const std::string& chords, const char* rhythm, int32_t volume = 16) {
  const score_chart chart = score_chart_make(chords, BAR);
  const int32_t channels[4] = {CH_KEY0, CH_KEY1, CH_KEY2, CH_KEY3};
  const int32_t pans[4] = {84, 112, 144, 172};
  const std::string r = rhythm;
  for (size_t i = 0; i < chart.chords.size(); i++) {
    const score_chord chord = score_chord_parse(chart.chords[i]);
    score_voicing(&chord, C4 - 8, C4 + 12, 4, &w->key_voicing);
    if (w->key_voicing.size() != 4)
      continue;
    for (int32_t step = 0; step < BAR / 2; step++) {
      const char c = r[size_t(step) % r.size()];
      const int32_t v = c == 'X' ? volume + 6 : c == 'x' ? volume : c == 'o' ? volume * 3 / 4 : -1;
      if (v < 0)
        continue;
      for (int32_t k = 0; k < 4; k++)
        // A slight spread, lowest voice first, as a hand plays a chord.
        score_note(&w->s, row + int32_t(i) * BAR + step * 2, channels[k], w->key_voicing[size_t(k)], END_EPIANO, v - k,
                   pans[k]);
    }
  }
}

// The players of the chord parts and the lead: channels, instrument and
// place; the volume and the figures are the calls' own.
const score_pad_style end_pad = {.channels = {CH_PAD0, CH_PAD1, CH_PAD2},
                                 .pans = {60, 128, 196},
                                 .instrument = END_PAD,
                                 .low = C4 - 1,
                                 .high = C4 + 16};
// Roots from A-1 up to G#-2.
const score_bass_style end_bass = {.channel = CH_BASS, .instrument = END_BASS, .low = 22};
const score_arp_style end_arp = {.channel = CH_ARP,
                                 .instrument = END_PLUCK,
                                 .pan = 100,
                                 .accents = "xo",
                                 .step_rows = 4,
                                 .low = C4 + 7,
                                 .echo = {.channel = CH_ARP_ECHO, .delay = 12, .volume_scale = 0.5, .pan = 170}};
const score_voice end_lead = {.channel = CH_LEAD,
                              .instrument = END_FLUTE,
                              .pan = 120,
                              .echo = {.channel = CH_ECHO, .delay = 12, .volume_scale = 0.35, .pan = 180}};
const score_voice end_bells = {.channel = CH_BELL, .instrument = END_BELL, .pan = 150};

// The piano's comping, the pad and the bass over one chord chart.
void chords_band(end_writer* w, int32_t row, const std::string& chords, const char* rhythm, const char* bass_pattern,
                 int32_t keys_volume = 16, int32_t pad_volume = 12, int32_t bass_volume = 40) {
  keys(w, row, chords, rhythm, keys_volume);
  score_pad_style pad = end_pad;
  pad.volume = pad_volume;
  score_pad_chords(&w->s, &pad, row, chords, BAR, &w->pad_voicing);
  score_bass_style bass = end_bass;
  bass.pattern = bass_pattern;
  bass.volume = bass_volume;
  score_bass_chords(&w->s, &bass, row, chords, BAR);
}

void arp(end_writer* w, int32_t row, const std::string& chords, const std::vector<int32_t>& pattern, int32_t volume) {
  score_arp_style style = end_arp;
  style.pattern = pattern;
  style.volume = volume;
  score_arp_chords(&w->s, &style, row, chords, BAR);
}

void beat(end_writer* w, int32_t row, int32_t bars, double level = 1.0) {
  score* s = &w->s;
  const int32_t rows = bars * BAR;
  score_drums(s, CH_KICK, END_KICK, row, rows, "X.........x.....", 2, C4, -1, 0.9 * level);
  score_drums(s, CH_SNARE, END_RIM, row, rows, "........x.......", 2, C4, 140, 0.6 * level);
  score_drums(s, CH_SHAKER, END_SHAKER, row, rows, "-.o.-.o.-.o.-.ox", 2, C4, 180, 0.5 * level);
}

// The fuller beat of the choruses: the brush snare on three, hats on the
// eighths.
void beat_full(end_writer* w, int32_t row, int32_t bars) {
  score* s = &w->s;
  const int32_t rows = bars * BAR;
  score_drums(s, CH_KICK, END_KICK, row, rows, "X.........x...o.", 2, C4, -1, 0.9);
  score_drums(s, CH_SNARE, END_SNARE, row, rows, "........x.......", 2, C4, 140, 0.55);
  score_drums(s, CH_SHAKER, END_HAT, row, rows, "o.x.o.x.o.x.o.x.", 2, C4, 180, 0.4);
}

// The flute with its echo, or the bells.
int lead(end_writer* w, int32_t row, const char* text, int32_t volume = 26, const score_voice& player = end_lead) {
  score_voice v = player;
  v.volume = volume;
  return score_melody(&w->s, &v, row, text);
}

int bells(end_writer* w, int32_t row, const char* text, int32_t volume = 24) {
  return lead(w, row, text, volume, end_bells);
}

void crash(end_writer* w, int32_t row, int32_t volume = 26) {
  score_note(&w->s, row, CH_CRASH, C4, END_CRASH, volume, 150);
}

const std::vector<int32_t> arp_up = {0, 1, 2, 3, 2, 1, 2, 3};
const std::vector<int32_t> arp_wave = {0, 2, 1, 3, 2, 4, 3, 1};

const char* const comp_soft = "x...............";
const char* const comp_verse = "x.....o.....o...";
const char* const comp_chorus = "x.....x...o.x...";

void compose(end_writer* w) {
  // Orders 0-2: the screen is black, then fades in: the pad swells, the
  // piano and the bells sound.
  const int32_t r0 = at(w, 0);
  chords_band(w, r0, "Fmaj7 G Am", comp_soft, "R---------------", 18, 16, 36);
  bells(w, at(w, 1), "B5:8 D6:8 | E6:4 C6:4 A5:8", 22);

  // Orders 3-4: the verse on the piano and the flute; a light beat joins.
  const std::string verse = "Fmaj7 G Em Am Fmaj7 G Am Am";
  const int32_t r3 = at(w, 3);
  chords_band(w, r3, verse, comp_verse, "R-----R-R-----5-");
  score_drums(&w->s, CH_SHAKER, END_SHAKER, r3, 4 * BAR, "-.o.-.o.-.o.-.o.", 2, C4, 180, 0.45);
  lead(w, r3, verse_1, 22);
  const int32_t r4 = at(w, 4);
  beat(w, r4, 4);
  lead(w, r4, verse_2, 22);
  // Orders 5-6: the verse again, the pluck joining.
  const int32_t r5 = at(w, 5);
  chords_band(w, r5, verse, comp_verse, "R-----R-R-----5-");
  beat(w, r5, 8);
  lead(w, r5, verse_1);
  lead(w, at(w, 6), verse_2);
  arp(w, r5, verse, arp_up, 18);

  // Order 7: the first chorus, four bars and a bar to turn round.
  const int32_t r7 = at(w, 7);
  const std::string chorus = "F G C Am F G E Am";
  crash(w, r7);
  chords_band(w, r7, "F G C Am G", comp_chorus, "R-----R-R---O-R-");
  beat_full(w, r7, 5);
  lead(w, r7, chorus_1);
  bells(w, r7 + 4 * BAR, "D6:4 B5:4 G5:4 D5:4");
  score_roll(&w->s, CH_SNARE, END_SNARE, r7 + 4 * BAR + 2 * BEAT, 2 * BEAT, 2, 14, 34, C4, 140);

  // Order 8: an interlude without the beat: bells over piano and pad.
  const int32_t r8 = at(w, 8);
  chords_band(w, r8, "Am F C G", comp_soft, "R---------------", 17, 16, 38);
  bells(w, r8, "E5:4 r:2 A5:2 G5:4 E5:4 | C6:8 A5:8 | G5:4 r:2 C6:2 B5:4 G5:4 | D6:16");
  arp(w, r8, "Am F C G", arp_wave, 16);

  // Orders 9-10: the main show's tune, slow, on the flute.
  const int32_t r9 = at(w, 9);
  crash(w, r9, 20);
  const std::string tune = "Am F C G Am F C G";
  chords_band(w, r9, tune, comp_verse, "R-----R-R-----5-");
  beat(w, r9, 8);
  lead(w, r9, theme_a1);
  lead(w, at(w, 10), theme_a2);

  // Orders 11-13: a verse, then the chorus twice.
  const int32_t r11 = at(w, 11);
  chords_band(w, r11, "Fmaj7 G Am Am", comp_verse, "R-----R-R-----5-");
  beat(w, r11, 4);
  lead(w, r11, verse_2);
  arp(w, r11, "Fmaj7 G Am Am", arp_up, 16);
  const int32_t r12 = at(w, 12);
  crash(w, r12);
  chords_band(w, r12, chorus + " G", comp_chorus, "R-----R-R---O-R-");
  beat_full(w, r12, 9);
  lead(w, r12, chorus_1);
  lead(w, at(w, 13), chorus_2);
  arp(w, r12, chorus, arp_wave, 16);
  bells(w, at(w, 13, 4), "D6:4 B5:4 G5:4 D5:4");
  score_roll(&w->s, CH_SNARE, END_SNARE, at(w, 13, 4) + 2 * BEAT, 2 * BEAT, 2, 14, 34, C4, 140);

  // Order 14: the bridge, quiet: pad, bells and the bass, waiting on E.
  const int32_t r14 = at(w, 14);
  chords_band(w, r14, "Dm G Em Am E", comp_soft, "R-------R-------", 17, 18, 38);
  score_drums(&w->s, CH_SHAKER, END_SHAKER, r14, 5 * BAR, "-.o.-.o.-.o.-.o.", 2, C4, 180, 0.4);
  bells(w, r14, "A5:8 F5:8 | B5:8 G5:8 | G5:8 E5:8 | E5:12 C6:4 | B5:8 G#5:8");

  // Order 15: the last chorus, the bells doubling the flute.
  const int32_t r15 = at(w, 15);
  crash(w, r15);
  chords_band(w, r15, "F G C Am", comp_chorus, "R-----R-R---O-R-");
  beat_full(w, r15, 4);
  lead(w, r15, chorus_1, 30);
  bells(w, r15, chorus_1, 16);
  arp(w, r15, "F G C Am", arp_wave, 16);

  // Order 16: the outro, thinning out.
  const int32_t r16 = at(w, 16);
  chords_band(w, r16, "F G E Am", comp_verse, "R-----R-R-----5-", 15, 16);
  beat(w, r16, 4, 0.8);
  lead(w, r16, chorus_2, 24);

  // Order 17: the last chord rings out while the picture fades.
  const int32_t r17 = at(w, 17);
  chords_band(w, r17, "Fmaj7 Cadd9", comp_soft, "R---------------", 18, 16, 38);
  score_note(&w->s, r17, CH_KICK, C4, END_KICK, 40, -1);
  crash(w, r17 + BAR, 18);
  bells(w, r17, "A5:4 C6:4 E6:8 | G5:4 C6:4 E6:8", 22);
}

} // namespace

int song_end_build(xm_song* song, std::string* error) {
  end_writer w;
  score_init(&w.s, CHANNELS, end_rows);
  compose(&w);
  // Tempo 150: 735 samples a tick, 83.3 ms rows, 90 beats a minute.
  score_make_song(&w.s, "vorlane end", 5, 150, song);
  song_sounds_end(&song->instruments, 2.5 / 150.0);
  return song_check(song, song_end_cues, sizeof(song_end_cues) / sizeof(song_end_cues[0]), error);
}
