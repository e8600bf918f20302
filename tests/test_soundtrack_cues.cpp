// The cues of the two songs as libopenmpt plays them on the virtual clock:
// every order, row and span the show's effects rely on, the sections the
// skip orders land on, the length of every part of the show and of the show.
#include "song_cues.h"
#include "songs.h"
#include "soundtrack_songs.h"
#include "soundtrack_xm.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace {

struct shipped_song {
  std::vector<uint8_t> bytes;
  txm_song xm;
  std::vector<soundtrack_tick> trace;
};

shipped_song* main_song = nullptr;
shipped_song* end_song = nullptr;

shipped_song* load(const std::string& name) {
  auto* s = new shipped_song;
  const std::string path = soundtrack_song_path(name);
  s->bytes = testkit_read_file(path);
  std::string error;
  EXPECT_EQ(txm_read(s->bytes, &s->xm, &error), 1) << name << ": " << error;
  s->trace = soundtrack_trace(path);
  EXPECT_FALSE(s->trace.empty()) << name;
  return s;
}

struct soundtrack_cues : ::testing::Test {
  static void SetUpTestSuite() {
    main_song = load("vorlane.xm");
    end_song = load("endpart.xm");
  }
  static void TearDownTestSuite() {
    delete main_song;
    delete end_song;
  }
};

int32_t rows_of(const txm_song& song, int32_t order) { return txm_order_pattern(song, order).rows; }

bool is_kick(const txm_song& song, const txm_cell& c) {
  if (c.note < 1 || c.note > 96 || c.instrument == 0 || c.instrument > song.instruments.size())
    return false;
  const std::string& name = song.instruments[c.instrument - 1u].name;
  return name == "kick" || name == "soft kick";
}

// Checks one cue against the trace and the song's patterns; empty when met.
std::string check_cue(const shipped_song& s, const song_cue& cue) {
  const int32_t orders = int32_t(s.xm.orders.size());
  const int32_t last = cue.to_order < 0 ? orders - 1 : cue.to_order;
  if (last >= orders || cue.order >= orders)
    return "the song has only " + std::to_string(orders) + " orders";
  std::ostringstream why;
  switch (cue.kind) {
  case SONG_CUE_SPAN: {
    const int64_t a = soundtrack_first_tick(s.trace, cue.order, cue.row);
    const int64_t b = soundtrack_first_tick(s.trace, cue.to_order, cue.to_row);
    if (a < 0 || b < 0)
      return "a position is never reached";
    // Reached means that order at that row: not a later one.
    if (s.trace[size_t(a)].order != cue.order)
      why << "order " << cue.order << " never shows row " << cue.row << "; ";
    if (b - a < cue.amount)
      why << (b - a) << " ticks, needs " << cue.amount;
    break;
  }
  case SONG_CUE_ROWS:
    for (int32_t o = cue.order; o <= last; o++)
      if (rows_of(s.xm, o) < cue.amount)
        why << "order " << o << " has " << rows_of(s.xm, o) << " rows; ";
    break;
  case SONG_CUE_BARS: {
    int32_t bars = 0;
    for (int32_t o = cue.order; o <= last; o++)
      bars += rows_of(s.xm, o) / 16;
    if (bars < cue.amount)
      why << bars << " bars";
    break;
  }
  case SONG_CUE_BEATS:
    for (int32_t o = cue.order; o <= last; o++)
      for (int32_t r = 0; r < rows_of(s.xm, o); r += cue.amount) {
        bool beat = false;
        for (int32_t c = 0; c < s.xm.channels; c++)
          beat = beat || is_kick(s.xm, txm_at(s.xm, o, r, c));
        if (!beat)
          why << "no kick at order " << o << " row " << r << "; ";
      }
    break;
  default:
    why << "unknown cue kind";
  }
  return why.str();
}

// Tick at which each part of the main show ends, from its start.
int64_t part_end(const std::vector<soundtrack_tick>& trace, const song_part& part, int64_t start) {
  int64_t end = start + part.min_ticks;
  const int32_t until_order = timeline_end_order(part.state);
  if (until_order != TIMELINE_NO_ORDER) {
    int64_t reached = -1;
    for (size_t i = size_t(start); i < trace.size() && reached < 0; i++)
      if (trace[i].order >= until_order)
        reached = int64_t(i);
    if (reached < 0)
      return -1;
    end = std::max(end, reached);
  }
  return end + part.after_ticks;
}

} // namespace

TEST_F(soundtrack_cues, TheShippedSongsAreTheComposersByteForByteOnEveryRun) {
  for (int pass = 0; pass < 2; pass++) {
    xm_song song;
    std::string error;
    ASSERT_EQ(song_main_build(&song, &error), 1) << error;
    std::vector<uint8_t> bytes;
    ASSERT_EQ(xm_writer_encode(song, &bytes, &error), 1) << error;
    EXPECT_TRUE(bytes == main_song->bytes) << "main song, pass " << pass;
    ASSERT_EQ(song_end_build(&song, &error), 1) << error;
    ASSERT_EQ(xm_writer_encode(song, &bytes, &error), 1) << error;
    EXPECT_TRUE(bytes == end_song->bytes) << "end song, pass " << pass;
  }
}

TEST_F(soundtrack_cues, SonginfoListsTheOrderTableTheFileHolds) {
  for (const auto& [name, s] : {std::pair{"vorlane.xm", main_song}, std::pair{"endpart.xm", end_song}}) {
    SCOPED_TRACE(name);
    std::string out;
    ASSERT_EQ(testkit_run(testkit_bin_dir() + "/songinfo " + soundtrack_song_path(name), &out), 0);
    std::istringstream in(out);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "orders: " + std::to_string(s->xm.orders.size()));
    for (size_t o = 0; o < s->xm.orders.size(); o++) {
      std::getline(in, line);
      EXPECT_EQ(line, "order " + std::to_string(o) + ": pattern " + std::to_string(s->xm.orders[o]) + ", " +
                          std::to_string(rows_of(s->xm, int32_t(o))) + " rows");
    }
  }
  EXPECT_GE(main_song->xm.orders.size(), 41u);
  EXPECT_GE(end_song->xm.orders.size(), 18u);
}

TEST_F(soundtrack_cues, SonginfoGivesTheSongsLength) {
  for (const auto& [name, s] : {std::pair{"vorlane.xm", main_song}, std::pair{"endpart.xm", end_song}}) {
    SCOPED_TRACE(name);
    // The songs keep their speed and tempo and play every row once (no
    // speed, tempo, jump, break, loop or delay effects), so a pass lasts
    // rows x speed x 2.5 / tempo seconds.
    int32_t rows = 0;
    for (int32_t o = 0; o < int32_t(s->xm.orders.size()); o++) {
      rows += rows_of(s->xm, o);
      for (int32_t r = 0; r < rows_of(s->xm, o); r++)
        for (int32_t c = 0; c < s->xm.channels; c++) {
          const txm_cell& cell = txm_at(s->xm, o, r, c);
          const bool flow = cell.effect == 0x0B || cell.effect == 0x0D || cell.effect == 0x0F ||
                            (cell.effect == 0x0E && (cell.param >> 4 == 0x6 || cell.param >> 4 == 0xE));
          ASSERT_FALSE(flow) << "order " << o << " row " << r << " channel " << c;
        }
    }
    ASSERT_GT(s->xm.tempo, 0);
    const double seconds = rows * s->xm.speed * 2.5 / s->xm.tempo;
    std::string out;
    ASSERT_EQ(testkit_run(testkit_bin_dir() + "/songinfo " + soundtrack_song_path(name), &out), 0);
    const size_t at = out.find("duration: ");
    ASSERT_NE(at, std::string::npos) << out;
    double printed = -1;
    ASSERT_EQ(std::sscanf(out.c_str() + at, "duration: %lf seconds", &printed), 1);
    EXPECT_NEAR(printed, seconds, 0.0005);
    // The trace of one pass lasts as long, to within a tick.
    EXPECT_NEAR(double(s->trace.size()) * 0.014, seconds, 0.014);
  }
}

TEST_F(soundtrack_cues, TheTraceIsOnePassThroughEveryOrderAndRowInTurn) {
  for (const shipped_song* s : {main_song, end_song}) {
    ASSERT_FALSE(s->trace.empty());
    EXPECT_EQ(s->trace.front().order, 0);
    EXPECT_EQ(s->trace.front().row, 0);
    // Which rows of every order some tick shows.
    std::vector<std::vector<bool>> seen(s->xm.orders.size());
    for (size_t o = 0; o < seen.size(); o++)
      seen[o].assign(size_t(rows_of(s->xm, int32_t(o))), false);
    seen[0][0] = true;
    for (size_t i = 1; i < s->trace.size(); i++) {
      const soundtrack_tick& a = s->trace[i - 1];
      const soundtrack_tick& b = s->trace[i];
      ASSERT_TRUE(b.order == a.order ? b.row >= a.row : b.order == a.order + 1 && b.row == 0) << "tick " << b.tick;
      ASSERT_LT(b.row, rows_of(s->xm, b.order));
      seen[size_t(b.order)][size_t(b.row)] = true;
    }
    for (size_t o = 0; o < seen.size(); o++)
      for (size_t r = 0; r < seen[o].size(); r++)
        EXPECT_TRUE(seen[o][r]) << "order " << o << " row " << r << " never shows";
  }
}

TEST_F(soundtrack_cues, TheComposersTimingModelIsTheClocksTrace) {
  // The generator checks its cues on a computed timeline; it must be the one
  // libopenmpt plays on the virtual clock, tick for tick.
  using builder = int (*)(xm_song*, std::string*);
  for (auto [s, build] : {std::pair<shipped_song*, builder>{main_song, song_main_build},
                          std::pair<shipped_song*, builder>{end_song, song_end_build}}) {
    xm_song song;
    std::string error;
    ASSERT_EQ(build(&song, &error), 1) << error;
    const std::vector<song_position> model = song_timeline(&song);
    ASSERT_EQ(model.size(), s->trace.size());
    for (size_t i = 0; i < model.size(); i++) {
      ASSERT_EQ(model[i].order, s->trace[i].order) << "tick " << s->trace[i].tick;
      ASSERT_EQ(model[i].row, s->trace[i].row) << "tick " << s->trace[i].tick;
    }
  }
}

// An effect that acts "after row N" starts on row N + 1, one "from row N" on
// row N: a span measured from the wrong row passes too easily.
TEST_F(soundtrack_cues, SpansStartOnTheRowTheirEffectActsOn) {
  int32_t named = 0;
  auto check = [&](const song_cue& cue) {
    if (cue.kind != SONG_CUE_SPAN)
      return;
    const std::string what = cue.what;
    for (const auto& [word, offset] : {std::pair{"after row ", 1}, std::pair{"from row ", 0}}) {
      const size_t at = what.find(word);
      if (at == std::string::npos)
        continue;
      named++;
      EXPECT_EQ(cue.row, std::atoi(what.c_str() + at + std::strlen(word)) + offset) << what;
    }
  };
  for (const song_cue& cue : song_main_cues)
    check(cue);
  for (const song_cue& cue : song_end_cues)
    check(cue);
  EXPECT_GE(named, 4);
}

TEST_F(soundtrack_cues, EveryCueOfTheMainSongIsMet) {
  for (const song_cue& cue : song_main_cues)
    EXPECT_EQ(check_cue(*main_song, cue), "") << cue.what;
}

TEST_F(soundtrack_cues, EveryCueOfTheEndSongIsMet) {
  for (const song_cue& cue : song_end_cues)
    EXPECT_EQ(check_cue(*end_song, cue), "") << cue.what;
}

TEST_F(soundtrack_cues, TheCheckCatchesASongThatMissesItsCues) {
  // A tunnel order too short for the white fade, and a magnet bar without
  // its beat: the generator's check refuses both.
  xm_song song;
  std::string error;
  ASSERT_EQ(song_main_build(&song, &error), 1) << error;
  xm_song short_tunnel = song;
  xm_pattern& p21 = short_tunnel.patterns[short_tunnel.orders[21]];
  p21.rows = 96;
  p21.cells.resize(size_t(96) * short_tunnel.channels);
  EXPECT_EQ(song_check(&short_tunnel, song_main_cues, std::size(song_main_cues), &error), 0);
  EXPECT_NE(error.find("tunnel flight"), std::string::npos) << error;

  xm_song no_beat = song;
  xm_pattern& p23 = no_beat.patterns[no_beat.orders[23]];
  for (uint16_t c = 0; c < no_beat.channels; c++)
    p23.cells[size_t(32) * no_beat.channels + c] = xm_cell{};
  EXPECT_EQ(song_check(&no_beat, song_main_cues, std::size(song_main_cues), &error), 0);
  EXPECT_NE(error.find("magnet"), std::string::npos) << error;
  EXPECT_NE(error.find("order 23 row 32"), std::string::npos) << error;
}

TEST_F(soundtrack_cues, SpaceLandsOnTheStartOfASection) {
  // Each skip order begins with a crash on its first row, as every section
  // of the song does, and its first bar brings a new chord or beat.
  const int32_t crash = txm_instrument_named(main_song->xm, "crash");
  ASSERT_GT(crash, 0);
  for (size_t i = 0; i + 1 < std::size(timeline_states); i++) {
    const int32_t order = timeline_states[i].skip_order;
    bool struck = false;
    for (int32_t c = 0; c < main_song->xm.channels; c++) {
      const txm_cell& cell = txm_at(main_song->xm, order, 0, c);
      struck = struck || (cell.instrument == crash && cell.note >= 1 && cell.note <= 96);
    }
    EXPECT_TRUE(struck) << "skip order " << order;
    int32_t notes = 0;
    for (int32_t c = 0; c < main_song->xm.channels; c++)
      notes += txm_at(main_song->xm, order, 0, c).note != 0;
    EXPECT_GE(notes, 3) << "skip order " << order << " starts with a downbeat";
  }
}

TEST_F(soundtrack_cues, EveryPartLastsSevenSecondsAndTheShowFiveToSevenMinutes) {
  const std::vector<soundtrack_tick>& t = main_song->trace;
  int64_t start = 0;
  for (const song_part& part : song_main_parts) {
    const int64_t end = part_end(t, part, start);
    ASSERT_GE(end, 0) << part.effect << " never ends";
    EXPECT_GE(end - start, song_min_part_ticks) << part.effect;
    start = end;
  }
  const int64_t end_part =
      soundtrack_first_tick(end_song->trace, TIMELINE_END_SONG_LAST_ORDER, TIMELINE_END_SONG_LAST_ROW);
  ASSERT_GT(end_part, 0);
  EXPECT_GE(end_part, song_min_part_ticks) << "end part";
  const double seconds = double(start + end_part) / song_ticks_per_second;
  EXPECT_GE(seconds, song_show_min_seconds);
  EXPECT_LE(seconds, song_show_max_seconds);
  // The main song plays on past order 40 for as long as order 40 lasts.
  EXPECT_EQ(t.back().order, int32_t(main_song->xm.orders.size()) - 1);
  EXPECT_GE(main_song->xm.orders.size(), 41u);
  EXPECT_LT(main_song->xm.restart, 40) << "after its end the song goes back to an earlier order";
}

TEST_F(soundtrack_cues, TheSongsHaveTheirVoices) {
  // Both songs are made of synthesised 16-bit samples; the main song has at
  // least a kick, snare, hi-hat, bass, pad, lead and arpeggio voice, and
  // every voice a volume envelope.
  for (const char* name : {"kick", "snare", "hat", "bass", "pad", "lead", "pluck"})
    EXPECT_GT(txm_instrument_named(main_song->xm, name), 0) << name;
  for (const char* name : {"soft kick", "rim", "shaker", "round bass", "e-piano", "soft pad", "flute"})
    EXPECT_GT(txm_instrument_named(end_song->xm, name), 0) << name;
  for (const shipped_song* s : {main_song, end_song})
    for (const txm_instrument& ins : s->xm.instruments) {
      ASSERT_FALSE(ins.samples.empty()) << ins.name;
      for (const txm_sample& sm : ins.samples) {
        EXPECT_EQ(sm.bits, 16) << ins.name;
        EXPECT_GT(sm.length, 1000u) << ins.name;
        if (sm.loop_type != 0) {
          EXPECT_LE(sm.loop_start + sm.loop_length, sm.length) << ins.name;
        }
      }
      // Every voice has a volume envelope: tonal ones to end their notes,
      // one-shots one that follows their baked decay.
      EXPECT_TRUE(ins.volume_envelope) << ins.name;
      EXPECT_GE(ins.envelope_points, 2) << ins.name;
    }
}

namespace {
// What each instrument does in the songs, by its name.
enum voice_role { ROLE_OTHER, ROLE_MELODY, ROLE_BASS, ROLE_CHORD };
voice_role role_of(const std::string& name) {
  if (name == "lead" || name == "flute" || name == "bell")
    return ROLE_MELODY;
  if (name == "bass" || name == "round bass" || name == "sub")
    return ROLE_BASS;
  if (name == "pad" || name == "choir" || name == "soft pad" || name == "e-piano")
    return ROLE_CHORD;
  return ROLE_OTHER;
}
} // namespace

TEST_F(soundtrack_cues, MelodiesBassAndChordsAgree) {
  // On every beat: no melody note struck a minor ninth above the bass (held
  // notes and echoes may be suspended over a new chord), and a bass note
  // struck on a beat belongs to the chord the pads hold there.
  for (const shipped_song* s : {main_song, end_song}) {
    const txm_song& x = s->xm;
    std::vector<int32_t> note(size_t(x.channels), 0), role(size_t(x.channels), ROLE_OTHER);
    int32_t beats = 0, struck = 0;
    for (int32_t o = 0; o < int32_t(x.orders.size()); o++)
      for (int32_t r = 0; r < rows_of(x, o); r++) {
        std::vector<bool> fresh(size_t(x.channels), false);
        for (int32_t c = 0; c < x.channels; c++) {
          const txm_cell& cell = txm_at(x, o, r, c);
          if (cell.note == 97)
            note[size_t(c)] = 0;
          else if (cell.note >= 1 && cell.note <= 96) {
            note[size_t(c)] = cell.note;
            fresh[size_t(c)] = true;
            if (cell.instrument >= 1 && cell.instrument <= x.instruments.size())
              role[size_t(c)] = role_of(x.instruments[cell.instrument - 1u].name);
          }
        }
        if (r % 8 != 0)
          continue;
        int32_t bass = 0;
        bool bass_fresh = false;
        std::vector<int32_t> chord;
        for (int32_t c = 0; c < x.channels; c++) {
          if (!note[size_t(c)])
            continue;
          if (role[size_t(c)] == ROLE_BASS)
            bass = note[size_t(c)], bass_fresh = fresh[size_t(c)];
          if (role[size_t(c)] == ROLE_CHORD)
            chord.push_back((note[size_t(c)] - 1) % 12);
        }
        if (!bass)
          continue;
        for (int32_t c = 0; c < x.channels; c++)
          if (fresh[size_t(c)] && role[size_t(c)] == ROLE_MELODY) {
            beats++;
            EXPECT_NE(((note[size_t(c)] - bass) % 12 + 12) % 12, 1) << x.name << " order " << o << " row " << r;
          }
        if (bass_fresh && !chord.empty()) {
          struck++;
          EXPECT_NE(std::find(chord.begin(), chord.end(), (bass - 1) % 12), chord.end())
              << x.name << " order " << o << " row " << r << ": the bass leaves the chord";
        }
      }
    EXPECT_GT(beats, 100) << x.name;
    EXPECT_GT(struck, 50) << x.name;
  }
}
