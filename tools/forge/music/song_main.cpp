// The main song, data/vorlane.xm: A minor, 125 beats a minute, one bar of
// 4/4 every 32 rows (a sixteenth note is two rows). It follows the show: a
// calm opening under the galaxy, a rising intro, a driving middle, a build
// through the tunnel into a drop for the magnet, a breakdown under the net,
// and a finale that ends on order 39 while the light object fades.
#include "score.h"
#include "score_parts.h"
#include "song_sounds.h"
#include "songs.h"

#include <algorithm>

namespace {

enum : int32_t {
  CH_KICK,
  CH_SNARE,
  CH_HAT,
  CH_CRASH,
  CH_BASS,
  CH_PAD0,
  CH_PAD1,
  CH_PAD2,
  CH_LEAD,
  CH_ECHO,
  CH_ARP,
  CH_ARP_ECHO,
  CH_FX,
  CH_BELL,
  CH_TOM,
  CH_CLAP,
  CH_CHOIR0,
  CH_CHOIR1,
  CH_CHOIR2,
  CHANNELS
};

constexpr int32_t BAR = 32; // rows per bar
constexpr int32_t BEAT = 8; // rows per beat
constexpr int32_t C4 = 49;  // XM note C-4

// Rows of every order; the comments name the effect that runs there.
const std::vector<int32_t> main_rows = {
    64,  64,  128, 96,      // galaxy
    64,  64,                // intro section 0
    128, 128,               // intro sections 1 and 2
    128, 128, 64,           // sequence zoomer, image cube
    128, 128,               // credits
    128, 128, 64,  64,      // mirror hall
    64,  64,  64,  64, 128, // tunnel flight
    128, 128, 128,          // magnet
    128, 64,  128,          // qube
    128, 128,               // net
    96,  96,  96,  96,      // hypervoxel
    96,  96,  128,          // diffuse cube
    128, 128, 96,           // light object
    128,                    // coda, leading back to the start
};

const std::vector<int32_t> main_sections = {0,  4,  6,  7,  8,  9,  10, 11, 13, 15, 17, 19,
                                            21, 22, 25, 26, 28, 29, 30, 34, 36, 37, 39, 40};

// The themes, in sixteenth-note steps. Theme A is the main tune (over
// Am F C G), A2 its answer; B is the lyrical second tune (over F G Em Am, then
// F G E Am); C the mirror hall's counter-melody (over Am G F E); D the
// hypervoxel's riff (over Dm F C G).
const char* const theme_a1 = "A4:3 C5:3 E5:2 D5:2 C5:2 A4:2 C5:2 | C5:3 F5:3 E5:2 C5:4 A4:4 |"
                             " G4:3 C5:3 E5:2 G5:4 E5:2 D5:2 | D5:6 B4:2 G4:4 A4:2 B4:2";
const char* const theme_a2 = "C5:3 E5:3 A5:2 G5:2 E5:2 D5:2 E5:2 | F5:3 E5:3 D5:2 C5:4 A4:4 |"
                             " G4:3 C5:3 E5:2 D5:4 C5:2 B4:2 | B4:6 C5:2 D5:8";
const char* const theme_b1 = "A5:6 G5:2 F5:4 E5:4 | D5:6 E5:2 G5:4 D5:4 | E5:6 D5:2 B4:4 G4:4 | A4:12 r:4";
const char* const theme_b2 = "A5:6 G5:2 F5:4 A5:4 | B5:6 A5:2 G5:4 D5:4 | G#5:6 E5:2 B4:4 D5:4 | C5:6 B4:2 A4:8";
const char* const theme_c = "E5:4 D5:2 C5:2 A4:4 C5:4 | D5:4 B4:2 A4:2 G4:8 | A4:4 C5:2 F5:2 E5:4 C5:4 |"
                            " B4:6 G#4:2 E4:8";
const char* const theme_c2 = "A5:4 G5:2 E5:2 C5:4 E5:4 | G5:4 F5:2 D5:2 B4:8 | C5:4 F5:2 A5:2 G5:4 F5:4 |"
                             " E5:6 D5:2 B4:4 G#4:4";
const char* const theme_d1 = "A4:2 D5:2 r:1 D5:1 F5:2 A5:2 F5:2 E5:2 D5:2 | A4:2 C5:2 r:1 C5:1 F5:2 C5:2 A4:2 C5:4 |"
                             " G4:2 C5:2 r:1 C5:1 E5:2 G5:3 E5:3 C5:2 | B4:3 D5:3 G5:2 F5:2 E5:2 D5:2 B4:2";
const char* const theme_d2 = "A5:2 F5:2 r:1 F5:1 D5:2 F5:2 A5:2 G5:2 F5:2 | C6:2 A5:2 r:1 A5:1 F5:2 G5:2 A5:2 C5:4 |"
                             " E5:2 G5:2 r:1 G5:1 C6:2 B5:3 G5:3 E5:2 | D5:3 G5:3 B5:4 A5:6";

// Drum patterns, one character per sixteenth.
const char* const kick_four = "X...x...x...x...";
const char* const kick_half = "X.......x.......";
const char* const clap_two_four = "....x.......x...";
const char* const hat_offbeat = "..o...o...o...o.";
const char* const hat_sixteenths = "-.o.-.o.-.o.-.o.";
const char* const hat_closed_between = "-o.o-o.o-o.o-o.o";
const char* const open_offbeat = "..x...x...x...x.";
const char* const snare_ghosts = "..........-..-.-";

struct main_writer {
  score s;
  std::vector<int32_t> pad_voicing, choir_voicing;
};

int32_t at(const main_writer* w, int32_t order, int32_t bar = 0) { return score_at(&w->s, order, bar * BAR); }

void crash(main_writer* w, int32_t row, int32_t volume = 40) {
  score_note(&w->s, row, CH_CRASH, C4, MAIN_CRASH, std::min(64, volume * 5 / 4), 150);
}

// Drums over `bars` bars from row.
enum groove : int32_t {
  GROOVE_KICK,     // four on the floor only
  GROOVE_BASIC,    // kick and offbeat hats
  GROOVE_FULL,     // kick, clap on two and four, sixteenth hats, open hats on the offbeat
  GROOVE_DRIVE,    // full with snare ghost notes and the snare doubling the clap
  GROOVE_HALF,     // kick on one and three, clap on three
  GROOVE_HALF_HAT, // half time with sixteenth hats
};

void drums(main_writer* w, int32_t row, int32_t bars, int32_t groove, double level = 1.0) {
  score* s = &w->s;
  const int32_t rows = bars * BAR;
  switch (groove) {
  case GROOVE_KICK:
    score_drums(s, CH_KICK, MAIN_KICK, row, rows, kick_four, 2, C4, -1, 0.85 * level);
    break;
  case GROOVE_BASIC:
    score_drums(s, CH_KICK, MAIN_KICK, row, rows, kick_four, 2, C4, -1, 0.85 * level);
    score_drums(s, CH_HAT, MAIN_HAT, row, rows, hat_offbeat, 2, C4, 170, 1.1 * level);
    break;
  case GROOVE_FULL:
  case GROOVE_DRIVE:
    score_drums(s, CH_KICK, MAIN_KICK, row, rows, kick_four, 2, C4, -1, 0.85 * level);
    score_drums(s, CH_CLAP, MAIN_CLAP, row, rows, clap_two_four, 2, C4, 120, 1.15 * level);
    score_drums(s, CH_HAT, MAIN_HAT, row, rows, hat_closed_between, 2, C4, 170, 0.9 * level);
    score_drums(s, CH_HAT, MAIN_OPEN_HAT, row, rows, open_offbeat, 2, C4, 170, 0.75 * level);
    if (groove == GROOVE_DRIVE) {
      score_drums(s, CH_SNARE, MAIN_SNARE, row, rows, clap_two_four, 2, C4, 136, 0.85 * level);
      score_drums(s, CH_SNARE, MAIN_SNARE, row, rows, snare_ghosts, 2, C4, 136, 0.9 * level);
    }
    break;
  case GROOVE_HALF:
  case GROOVE_HALF_HAT:
    score_drums(s, CH_KICK, MAIN_KICK, row, rows, kick_half, 2, C4, -1, 0.8 * level);
    score_drums(s, CH_CLAP, MAIN_CLAP, row, rows, "........x.......", 2, C4, 120, 1.1 * level);
    score_drums(s, CH_HAT, MAIN_HAT, row, rows, groove == GROOVE_HALF ? hat_offbeat : hat_sixteenths, 2, C4, 170,
                1.1 * level);
    break;
  default:
    break;
  }
}

// Clears one channel's cells over a span (a fill replaces the groove there).
void clear(main_writer* w, int32_t channel, int32_t row, int32_t rows) {
  for (int32_t r = row; r < row + rows; r++)
    if (xm_cell* c = score_cell(&w->s, r, channel))
      *c = xm_cell{};
}

// Fills in the bar that ends at `end`.
void fill_snare(main_writer* w, int32_t end) {
  // Sixteenths on the last two beats, thirty-seconds on the last one.
  const int32_t start = end - 2 * BEAT;
  clear(w, CH_SNARE, start, 2 * BEAT);
  score_roll(&w->s, CH_SNARE, MAIN_SNARE, start, BEAT, 2, 24, 36, C4, 136);
  score_roll(&w->s, CH_SNARE, MAIN_SNARE, start + BEAT, BEAT, 1, 36, 56, C4, 136);
}

void fill_toms(main_writer* w, int32_t end) {
  // Down the toms on the last two beats: high, middle, low, floor.
  static const int32_t notes[8] = {C4 + 7, C4 + 7, C4 + 3, C4 + 3, C4, C4, C4 - 5, C4 - 5};
  static const int32_t pans[8] = {190, 190, 160, 160, 110, 110, 70, 70};
  const int32_t start = end - 2 * BEAT;
  for (int32_t i = 0; i < 8; i++)
    score_note(&w->s, start + i * 2, CH_TOM, notes[i], MAIN_TOM, 40 + i * 2, pans[i]);
  clear(w, CH_CLAP, start + BEAT, BEAT);
}

// A snare build over `bars` bars: eighths through the first half, then
// sixteenths, and thirty-seconds on the last eighth of it, rising.
void build_snare(main_writer* w, int32_t row, int32_t bars) {
  clear(w, CH_SNARE, row, bars * BAR);
  const int32_t beats = bars * 4;
  for (int32_t b = 0; b < beats; b++) {
    const int32_t every = b >= beats - std::max(1, beats / 8) ? 1 : b >= beats / 2 ? 2 : 4;
    const int32_t v0 = 14 + 40 * b / beats, v1 = 14 + 40 * (b + 1) / beats;
    score_roll(&w->s, CH_SNARE, MAIN_SNARE, row + b * BEAT, BEAT, every, v0, v1, C4, 136);
  }
}

void riser(main_writer* w, int32_t row, int32_t bars) {
  // The sample lasts two bars at C-4; longer builds play it lower.
  const int32_t note = bars >= 4 ? C4 - 12 : bars == 3 ? C4 - 7 : bars == 2 ? C4 : C4 + 12;
  score_note(&w->s, row, CH_FX, note, MAIN_RISER, 34, 128);
}

// The players of the chord parts and the lead: channels, instrument and
// place; the volume and the figures are the calls' own.
const score_pad_style main_pad = {.channels = {CH_PAD0, CH_PAD1, CH_PAD2},
                                  .pans = {70, 128, 186},
                                  .instrument = MAIN_PAD,
                                  .low = C4 - 3,
                                  .high = C4 + 16};
const score_pad_style main_choir = {.channels = {CH_CHOIR0, CH_CHOIR1, CH_CHOIR2},
                                    .pans = {80, 128, 176},
                                    .instrument = MAIN_CHOIR,
                                    .low = C4 - 5,
                                    .high = C4 + 14};
// Roots from G-1 up to F#-2.
const score_bass_style main_bass = {.channel = CH_BASS, .instrument = MAIN_BASS, .low = 20};
const score_bass_style main_sub = {
    .channel = CH_BASS, .instrument = MAIN_SUB, .pattern = "R---------------", .low = 20};
// The pluck with a dotted-eighth echo.
const score_arp_style main_arp = {.channel = CH_ARP,
                                  .instrument = MAIN_PLUCK,
                                  .pan = 96,
                                  .echo = {.channel = CH_ARP_ECHO, .delay = 6, .volume_scale = 0.5, .pan = 176}};
const score_voice main_lead = {.channel = CH_LEAD,
                               .instrument = MAIN_LEAD,
                               .pan = 112,
                               .echo = {.channel = CH_ECHO, .delay = 6, .volume_scale = 0.42, .pan = 190}};

void pad(main_writer* w, int32_t row, const std::string& chords, int32_t volume = 16) {
  score_pad_style style = main_pad;
  style.volume = volume * 5 / 4;
  score_pad_chords(&w->s, &style, row, chords, BAR, &w->pad_voicing);
}

void choir(main_writer* w, int32_t row, const std::string& chords, int32_t volume = 22) {
  score_pad_style style = main_choir;
  style.volume = volume;
  score_pad_chords(&w->s, &style, row, chords, BAR, &w->choir_voicing);
}

// The bass with a pattern, or the sub's held roots.
void bass(main_writer* w, int32_t row, const std::string& chords, const char* pattern, int32_t volume = 42,
          const score_bass_style& player = main_bass) {
  score_bass_style style = player;
  if (pattern)
    style.pattern = pattern;
  style.volume = volume;
  score_bass_chords(&w->s, &style, row, chords, BAR);
}

void sub(main_writer* w, int32_t row, const std::string& chords, int32_t volume = 40) {
  bass(w, row, chords, nullptr, volume, main_sub);
}

void arp(main_writer* w, int32_t row, const std::string& chords, const std::vector<int32_t>& pattern, int32_t step_rows,
         int32_t low, int32_t volume, const char* accents = "xoxo") {
  score_arp_style style = main_arp;
  style.pattern = pattern;
  style.accents = accents;
  style.step_rows = step_rows;
  style.low = low;
  style.volume = volume;
  score_arp_chords(&w->s, &style, row, chords, BAR);
}

int melody(main_writer* w, int32_t channel, int32_t instrument, int32_t row, const char* text, int32_t volume,
           int32_t pan, int32_t transpose = 0, int32_t step_rows = 2) {
  const score_voice v = {.channel = channel,
                         .instrument = instrument,
                         .volume = volume,
                         .pan = pan,
                         .step_rows = step_rows,
                         .transpose = transpose};
  return score_melody(&w->s, &v, row, text);
}

// The lead with its echo, over the rows the melody takes.
int lead(main_writer* w, int32_t row, const char* text, int32_t volume = 36, int32_t transpose = 0,
         int32_t step_rows = 2) {
  score_voice v = main_lead;
  v.volume = volume;
  v.transpose = transpose;
  v.step_rows = step_rows;
  return score_melody(&w->s, &v, row, text);
}

// The bells an octave up in harmony under the lead, over the chords from row.
void harmony(main_writer* w, int32_t row, const std::string& chords, double scale = 0.55) {
  const score_chart chart = score_chart_make(chords, BAR);
  const int32_t rows = int32_t(chart.chords.size()) * BAR;
  score_harmony(&w->s, CH_LEAD, CH_BELL, row, row + rows + 1, row, &chart, MAIN_BELL, scale, 150, 12);
}

const std::vector<int32_t> arp_up = {0, 1, 2, 3, 4, 3, 2, 1};
const std::vector<int32_t> arp_trance = {0, 2, 1, 3, 2, 4, 3, 5, 4, 2, 3, 1, 2, 0, 1, 2};
const std::vector<int32_t> arp_gate = {0, 2, 4, 2, 1, 3, 5, 3};
const std::vector<int32_t> arp_wide = {0, 3, 1, 4, 2, 5, 3, 6};
const std::vector<int32_t> arp_slow = {0, 1, 2, 3, 2, 1};

// The band over one chord chart, a bar a chord: a crash on its first row
// (0: none), the drums, the bass, the pads and the arpeggio in sixteenths.
void band(main_writer* w, int32_t row, const std::string& chords, int32_t crash_volume, int32_t groove,
          const char* bass_pattern, int32_t bass_volume, int32_t pad_volume, const std::vector<int32_t>& arp_pattern,
          int32_t arp_low, int32_t arp_volume, const char* accents = "xoxo") {
  if (crash_volume)
    crash(w, row, crash_volume);
  drums(w, row, int32_t(score_chart_make(chords, BAR).chords.size()), groove);
  bass(w, row, chords, bass_pattern, bass_volume);
  pad(w, row, chords, pad_volume);
  arp(w, row, chords, arp_pattern, 2, arp_low, arp_volume, accents);
}

// ---- Sections ----

void galaxy(main_writer* w) {
  // Orders 0-3: choir and bells, no drums; a pluck arpeggio joins, then the
  // bass, and order 3 builds towards the intro.
  const int32_t r0 = at(w, 0);
  choir(w, r0, "Am Am F F C G Am F Dm Esus4 E", 15);
  melody(w, CH_BELL, MAIN_BELL, r0, "E5:4 r:2 A5:2 G5:4 E5:4 | D5:8 C5:4 r:4 | C5:4 r:2 F5:2 E5:4 C5:4 | A4:16", 20,
         100);
  score_echo(&w->s, CH_BELL, CH_ECHO, r0, at(w, 2), 6, 0.45, 180);
  arp(w, at(w, 1), "F F", arp_slow, 4, C4 - 3, 18, "ox");
  // Order 2: the logos. The bells quote the main tune's second half.
  const int32_t r2 = at(w, 2);
  arp(w, r2, "C G Am F", arp_up, 4, C4 - 3, 22, "xo");
  sub(w, r2, "C G Am F Dm E E", 24);
  melody(w, CH_BELL, MAIN_BELL, r2,
         "G4:3 C5:3 E5:2 G5:4 E5:2 D5:2 | D5:6 B4:2 G4:4 A4:2 B4:2 | A4:3 C5:3 E5:2 D5:2 C5:2 A4:2 C5:2 |"
         " C5:3 F5:3 E5:2 C5:4 A4:4",
         30, 100);
  score_echo(&w->s, CH_BELL, CH_ECHO, r2, at(w, 3), 6, 0.45, 180);
  // Order 3: the galaxy fades; the arpeggio quickens and the build begins.
  const int32_t r3 = at(w, 3);
  arp(w, r3, "Dm Esus4 E", arp_up, 2, C4 - 3, 22, "xooo");
  melody(w, CH_BELL, MAIN_BELL, r3, "D5:4 F5:4 A5:8 | B4:4 E5:4 A5:8 | G#5:16", 28, 100);
  riser(w, r3, 3);
  score_drums(&w->s, CH_KICK, MAIN_KICK, r3 + BAR, BAR, kick_half, 2, C4, -1, 0.6);
  build_snare(w, r3 + BAR, 2);
}

void intro(main_writer* w) {
  // Orders 4-5 (section 0): the beat and the bass arrive.
  const int32_t r4 = at(w, 4);
  crash(w, r4);
  drums(w, r4, 2, GROOVE_BASIC);
  drums(w, at(w, 5), 2, GROOVE_BASIC);
  score_drums(&w->s, CH_HAT, MAIN_HAT, at(w, 5), 2 * BAR, hat_sixteenths, 2, C4, 170, 0.6);
  bass(w, r4, "Am F C G", "..R...R...R...R.", 42);
  pad(w, r4, "Am F C G", 20);
  arp(w, r4, "Am F", arp_up, 4, C4 - 3, 24, "xo");
  arp(w, at(w, 5), "C G", arp_up, 2, C4 - 3, 24, "xooo");
  fill_snare(w, at(w, 6));

  // Order 6 (section 1): the full groove.
  const int32_t r6 = at(w, 6);
  band(w, r6, "Am F C G", 40, GROOVE_FULL, "..R...R...R...R.", 42, 16, arp_trance, C4 - 3, 24);
  fill_toms(w, at(w, 7));

  // Order 7 (section 2): the main tune enters.
  const int32_t r7 = at(w, 7);
  band(w, r7, "Am F C G", 40, GROOVE_FULL, ".ROR.ROR.ROR.ROR", 40, 16, arp_trance, C4 - 3, 20);
  lead(w, r7, theme_a1);
  fill_snare(w, at(w, 8));
}

void zoomer_and_cube(main_writer* w) {
  // Order 8: the answer of the tune, everything playing.
  const int32_t r8 = at(w, 8);
  band(w, r8, "Am F C G", 40, GROOVE_DRIVE, ".ROR.ROR.ROR.ROR", 42, 16, arp_trance, C4 - 3, 20);
  lead(w, r8, theme_a2);
  fill_toms(w, at(w, 9));

  // Order 9: the tune again, harmonised in thirds by the bells.
  const int32_t r9 = at(w, 9);
  band(w, r9, "Am F C G", 40, GROOVE_DRIVE, ".ROR.ROR.ROR.ROR", 42, 16, arp_gate, C4 + 9, 18);
  lead(w, r9, theme_a1);
  harmony(w, r9, "Am F C G", 0.6);

  // Order 10: a two-bar bridge to the credits.
  const int32_t r10 = at(w, 10);
  band(w, r10, "Dm E", 0, GROOVE_FULL, "R.R.R.R.R.R.R.R.", 40, 18, arp_up, C4 - 3, 20);
  lead(w, r10, "F5:6 E5:2 D5:4 A4:4 | G#4:6 B4:2 E5:4 G#5:4");
  fill_toms(w, at(w, 11));
  fill_snare(w, at(w, 11));
}

void credits(main_writer* w) {
  // Orders 11-12: the second tune over a new progression.
  const int32_t r11 = at(w, 11);
  band(w, r11, "F G Em Am", 40, GROOVE_FULL, "R..R..R...R..R..", 42, 18, arp_wide, C4 - 5, 18);
  lead(w, r11, theme_b1, 36, -12);

  const int32_t r12 = at(w, 12);
  crash(w, r12, 30);
  drums(w, r12, 2, GROOVE_FULL);
  // From row 64 the picture cross-fades: the beat thins to kick and hats.
  drums(w, r12 + 2 * BAR, 2, GROOVE_BASIC);
  bass(w, r12, "F G", "R..R..R...R..R..", 42);
  sub(w, r12 + 2 * BAR, "E Am", 36);
  pad(w, r12, "F G E Am", 18);
  arp(w, r12, "F G E Am", arp_wide, 2, C4 - 5, 18);
  lead(w, r12, theme_b2, 36, -12);
  riser(w, r12 + 3 * BAR, 1);
  fill_snare(w, at(w, 13));
}

void mirror_hall(main_writer* w) {
  // Orders 13-16: the Andalusian descent, a driving pluck riff, then a
  // counter-melody.
  const int32_t r13 = at(w, 13);
  band(w, r13, "Am G F E", 40, GROOVE_DRIVE, ".ROR.ROR.ROR.ROR", 42, 14, arp_gate, C4 + 9, 26, "Xoxo");
  melody(w, CH_BELL, MAIN_BELL, r13, "A5:16 | G5:16 | F5:16 | G#5:16", 20, 150);
  fill_toms(w, at(w, 14));

  const int32_t r14 = at(w, 14);
  band(w, r14, "Am G F E", 30, GROOVE_DRIVE, ".ROR.ROR.ROR.ROR", 42, 14, arp_gate, C4 + 9, 22, "Xoxo");
  lead(w, r14, theme_c);

  const int32_t r15 = at(w, 15);
  band(w, r15, "Dm E F E", 30, GROOVE_DRIVE, ".ROR.ROR.ROR.ROR", 42, 16, arp_gate, C4 + 9, 22, "Xoxo");
  lead(w, r15, "F5:6 E5:2 D5:4 A4:4 | B4:6 D5:2 E5:4 G#5:4 | A5:6 G5:2 F5:4 C5:4 | B4:8 G#4:8");
  fill_toms(w, at(w, 16));
  fill_snare(w, at(w, 17));
}

void tunnel(main_writer* w) {
  // Orders 17-20: steady flight; the bells carry the tune an octave up from
  // order 19. Order 21 builds to the drop.
  const int32_t r17 = at(w, 17);
  band(w, r17, "Am F C G Am F C G", 40, GROOVE_FULL, ".RRO.RRO.RRO.RRO", 40, 16, arp_trance, C4 + 9, 20);
  const int32_t r19 = at(w, 19);
  crash(w, r19, 30);
  lead(w, r19, theme_a1, 30);
  melody(w, CH_BELL, MAIN_BELL, r19, theme_a1, 20, 150, 12);
  fill_snare(w, at(w, 21));

  const int32_t r21 = at(w, 21);
  crash(w, r21, 30);
  drums(w, r21, 3, GROOVE_BASIC);
  score_drums(&w->s, CH_KICK, MAIN_KICK, r21 + 3 * BAR, BAR, "X...............", 2, C4, -1, 0.8);
  build_snare(w, r21, 4);
  riser(w, r21, 4);
  bass(w, r21, "F G E E", "RRRRRRRRRRRRRRRR", 38);
  pad(w, r21, "F G E E", 18);
  arp(w, r21, "F G E E", arp_up, 2, C4 + 9, 20, "xoxo");
  lead(w, r21, "A5:6 G5:2 F5:4 C5:4 | B4:6 C5:2 D5:4 G5:4 | G#5:16 | B5:16", 30);
}

void magnet(main_writer* w) {
  // Orders 22-24: the drop. The whole tune with its harmony, then again an
  // octave up on the bells.
  const int32_t r22 = at(w, 22);
  const std::string chords = "Am F C G Am F C G Am F C G";
  band(w, r22, chords, 48, GROOVE_DRIVE, ".ROR.ROR.ROR.ROR", 44, 18, arp_trance, C4 + 9, 20);
  for (int32_t o = 22; o <= 24; o++)
    crash(w, at(w, o, 2), 26);
  choir(w, r22, chords, 16);
  lead(w, r22, theme_a1, 38);
  harmony(w, r22, "Am F C G");
  const int32_t r23 = at(w, 23);
  crash(w, r23, 36);
  lead(w, r23, theme_a2, 38);
  harmony(w, r23, "Am F C G");
  const int32_t r24 = at(w, 24);
  crash(w, r24, 36);
  lead(w, r24, theme_a1, 38);
  melody(w, CH_BELL, MAIN_BELL, r24, theme_a1, 24, 150, 12);
  fill_toms(w, at(w, 25));
  fill_snare(w, at(w, 25));
}

void qube(main_writer* w) {
  // Orders 25-27: the second tune at full height; from row 64 of order 27 the
  // beat falls away into the breakdown.
  const int32_t r25 = at(w, 25);
  band(w, r25, "F G Em Am F G E Am", 44, GROOVE_FULL, "R..R..R...R..R..", 42, 18, arp_wide, C4 + 7, 20);
  lead(w, r25, theme_b1, 38);
  const int32_t r26 = at(w, 26);
  crash(w, r26, 36);
  lead(w, r26, theme_b2, 38);
  melody(w, CH_BELL, MAIN_BELL, r26, theme_b2, 18, 150, 12);
  const int32_t r27b = at(w, 27, 2);
  drums(w, r27b, 2, GROOVE_HALF);
  score_drums(&w->s, CH_KICK, MAIN_KICK, r27b, 2 * BAR, kick_four, 2, C4, -1, 0.5);
  choir(w, r27b, "F G", 22);
  sub(w, r27b, "F G", 38);
  arp(w, r27b, "F G", arp_up, 4, C4 + 7, 18, "xo");
  riser(w, r27b, 2);
}

void net(main_writer* w) {
  // Orders 28-29: the breakdown. The bells sing the tune's opening at half
  // speed over the choir; the beat comes back in order 29.
  const int32_t r28 = at(w, 28);
  crash(w, r28, 34);
  choir(w, r28, "Am Am F F C G Dm E", 20);
  sub(w, r28, "Am Am F F C G Dm E", 34);
  melody(w, CH_BELL, MAIN_BELL, r28, "A4:3 C5:3 E5:2 D5:2 C5:2 A4:2 C5:2 | C5:3 F5:3 E5:2 C5:4 A4:4", 30, 110, 12, 4);
  score_echo(&w->s, CH_BELL, CH_ECHO, r28, at(w, 29), 8, 0.45, 180);
  arp(w, r28 + 2 * BAR, "F F", arp_slow, 4, C4 - 3, 16, "xo");
  const int32_t r29 = at(w, 29);
  crash(w, r29, 28);
  score_drums(&w->s, CH_KICK, MAIN_KICK, r29, 2 * BAR, kick_half, 2, C4, -1, 0.75);
  drums(w, r29 + 2 * BAR, 2, GROOVE_BASIC);
  arp(w, r29, "C G Dm E", arp_up, 2, C4 - 3, 20, "xooo");
  melody(w, CH_BELL, MAIN_BELL, r29, "G4:3 C5:3 E5:2 G5:4 E5:2 D5:2 | D5:6 B4:2 G4:4 A4:2 B4:2 | A4:16 | G#4:16", 28,
         110, 12);
  lead(w, r29 + 2 * BAR, "F5:16 | E5:8 G#5:8", 28);
  riser(w, r29 + 2 * BAR, 2);
  build_snare(w, r29 + 2 * BAR, 2);
}

void hypervoxel(main_writer* w) {
  // Orders 30-33: twelve bars of a new riff over Dm F C G: the groove, the
  // riff, then the riff's answer with the bells.
  const int32_t r30 = at(w, 30);
  band(w, r30, "Dm F C G Dm F C G Dm F C G", 44, GROOVE_FULL, "R.RO.RR.R.RO.RR.", 42, 16, arp_wide, C4 - 3, 20);
  crash(w, r30 + 4 * BAR, 30);
  crash(w, r30 + 8 * BAR, 30);
  lead(w, r30 + 4 * BAR, theme_d1, 36);
  lead(w, r30 + 8 * BAR, theme_d2, 34);
  melody(w, CH_BELL, MAIN_BELL, r30 + 8 * BAR, theme_d1, 18, 150, 12);
  fill_toms(w, at(w, 34));
  fill_snare(w, at(w, 34));
}

void finale(main_writer* w) {
  // Orders 34-38: the main tune one last time, in full, harmonised, with the
  // choir over the pads; order 39 is the final chord.
  const int32_t r34 = at(w, 34);
  band(w, r34, "Am F C G F G", 48, GROOVE_DRIVE, ".ROR.ROR.ROR.ROR", 44, 18, arp_trance, C4 + 9, 20);
  choir(w, r34, "Am F C G F G", 16);
  lead(w, r34, theme_a1, 38);
  harmony(w, r34, "Am F C G");
  lead(w, r34 + 4 * BAR, "F5:6 E5:2 C5:4 A4:4 | D5:6 E5:2 G5:4 B5:4", 36);
  fill_snare(w, at(w, 36));

  const int32_t r36 = at(w, 36);
  const std::string chords = "Am F C G Am F C G Am F C G";
  band(w, r36, chords, 44, GROOVE_DRIVE, ".ROR.ROR.ROR.ROR", 44, 18, arp_trance, C4 + 9, 20);
  for (int32_t b = 4; b < 12; b += 4)
    crash(w, r36 + b * BAR, 34);
  choir(w, r36, chords, 16);
  lead(w, r36, theme_a2, 38);
  harmony(w, r36, "Am F C G");
  lead(w, r36 + 4 * BAR, theme_a1, 38);
  melody(w, CH_BELL, MAIN_BELL, r36 + 4 * BAR, theme_a1, 22, 150, 12);
  lead(w, r36 + 8 * BAR, theme_a2, 38);
  melody(w, CH_BELL, MAIN_BELL, r36 + 8 * BAR, theme_a2, 22, 150, 12);
  fill_toms(w, at(w, 39));
  fill_snare(w, at(w, 39));

  // Order 39: the last chord rings while the kick beats ever softer.
  const int32_t r39 = at(w, 39);
  crash(w, r39, 50);
  for (int32_t i = 0; i < 6; i++)
    score_note(&w->s, r39 + i * 16, CH_KICK, C4, MAIN_KICK, 56 - i * 7, -1);
  choir(w, r39, "Am Am Am", 24);
  sub(w, r39, "Am Am Am", 40);
  melody(w, CH_LEAD, MAIN_LEAD, r39, "A5:24 r:24", 34, 112);
  melody(w, CH_BELL, MAIN_BELL, r39, "E6:4 C6:4 A5:4 E5:4 | C5:4 A4:4 E4:4 A4:4 | A4:16", 26, 150);
  score_echo(&w->s, CH_BELL, CH_ECHO, r39, at(w, 40), 6, 0.45, 180);
}

void coda(main_writer* w) {
  // Order 40: the opening's choir and bells again, leading back to order 0.
  const int32_t r40 = at(w, 40);
  choir(w, r40, "Am Am F F", 22);
  sub(w, r40, "Am Am F F", 30);
  melody(w, CH_BELL, MAIN_BELL, r40, "E5:4 r:2 A5:2 G5:4 E5:4 | D5:8 C5:4 r:4 | C5:4 r:2 F5:2 E5:4 C5:4 | A4:16", 26,
         100);
  score_echo(&w->s, CH_BELL, CH_ARP_ECHO, r40, r40 + 4 * BAR, 6, 0.45, 180);
}

} // namespace

const std::vector<int32_t>& song_main_sections() { return main_sections; }

int song_main_build(xm_song* song, std::string* error) {
  main_writer w;
  score_init(&w.s, CHANNELS, main_rows);
  galaxy(&w);
  intro(&w);
  zoomer_and_cube(&w);
  credits(&w);
  mirror_hall(&w);
  tunnel(&w);
  magnet(&w);
  qube(&w);
  net(&w);
  hypervoxel(&w);
  finale(&w);
  coda(&w);

  // Tempo 250: 10 ms song ticks, 60 ms rows, 125 beats a minute.
  score_make_song(&w.s, "vorlane", 6, 250, song);
  song_sounds_main(&song->instruments, 0.01);
  // Every order Space sets but the last effect's starts a section.
  for (const timeline_state& t : timeline_states)
    if (t.state != TIMELINE_LOBJ &&
        std::find(main_sections.begin(), main_sections.end(), t.skip_order) == main_sections.end()) {
      if (error)
        *error = "skip order " + std::to_string(t.skip_order) + " is not a section start";
      return 0;
    }
  return song_check(song, song_main_cues, sizeof(song_main_cues) / sizeof(song_main_cues[0]), error);
}
