// The songs as sound: both load in libopenmpt, one pass of each renders
// without clipping and without silence inside, the instruments are in tune,
// the main song has a beat at 125 beats a minute and a full spectrum, and
// its sections build and break with the show.
#include "songs.h"
#include "soundtrack_songs.h"
#include "testkit.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <cmath>

namespace {

constexpr double RATE = 44100.0;

struct rendered {
  std::vector<int16_t> samples; // interleaved stereo
  std::vector<soundtrack_tick> trace;
};

rendered* main_render = nullptr;
rendered* end_render = nullptr;

rendered* render(const std::string& name) {
  auto* r = new rendered;
  testkit_tempdir dir;
  r->samples = soundtrack_render(soundtrack_song_path(name), dir.file("song.wav"));
  r->trace = soundtrack_trace(soundtrack_song_path(name));
  return r;
}

struct soundtrack_audio : ::testing::Test {
  static void SetUpTestSuite() {
    main_render = render("vorlane.xm");
    end_render = render("endpart.xm");
  }
  static void TearDownTestSuite() {
    delete main_render;
    delete end_render;
  }
};

// Mono mix of frames [a, b).
std::vector<float> mono(const rendered& r, size_t a, size_t b) {
  std::vector<float> out;
  for (size_t i = a; i < b && 2 * i + 1 < r.samples.size(); i++)
    out.push_back(float((r.samples[2 * i] + r.samples[2 * i + 1]) * 0.5 / 32768.0));
  return out;
}

// First frame of an order (from the trace), or the end.
size_t order_frame(const rendered& r, int32_t order) {
  const int64_t t = soundtrack_first_tick(r.trace, order, 0);
  return t < 0 ? r.samples.size() / 2 : size_t(uint64_t(r.trace[size_t(t)].tick) * 3087 / 5);
}

// Level in dB of full scale after a 150 Hz high-pass (so that sub-bass
// energy, which the ear hears little of, does not decide it).
double loudness(const std::vector<float>& x) {
  const double a = std::exp(-2.0 * M_PI * 150.0 / RATE);
  double low = 0, sum = 0;
  for (float v : x) {
    low = a * low + (1 - a) * v;
    const double h = v - low;
    sum += h * h;
  }
  return 10.0 * std::log10(sum / double(std::max<size_t>(1, x.size())) + 1e-20);
}

double loudness_orders(const rendered& r, int32_t first, int32_t last) {
  return loudness(mono(r, order_frame(r, first), order_frame(r, last + 1)));
}

// Energy in dB of a band (second-order band-pass) of x.
double band_db(const std::vector<float>& x, double low_hz, double high_hz) {
  const double centre = std::sqrt(low_hz * high_hz), q = centre / (high_hz - low_hz);
  const double g = std::tan(M_PI * centre / RATE), k = 1 / q;
  const double a1 = 1 / (1 + g * (g + k)), a2 = g * a1, a3 = g * a2;
  double ic1 = 0, ic2 = 0, sum = 0;
  for (float v : x) {
    const double v3 = v - ic2, v1 = a1 * ic1 + a2 * v3, v2 = ic2 + a2 * ic1 + a3 * v3;
    ic1 = 2 * v1 - ic1;
    ic2 = 2 * v2 - ic2;
    sum += v1 * v1;
  }
  return 10.0 * std::log10(sum / double(std::max<size_t>(1, x.size())) + 1e-20);
}

// The fundamental of a steady tone by autocorrelation, in Hz.
double pitch_of(const std::vector<float>& x, size_t from, double low_hz, double high_hz) {
  const size_t n = 8192;
  const int32_t lo = int32_t(RATE / high_hz), hi = int32_t(RATE / low_hz);
  std::vector<double> r(size_t(hi) + 2, 0.0);
  for (int32_t lag = lo - 1; lag <= hi + 1; lag++)
    for (size_t i = 0; i < n; i++)
      r[size_t(lag)] += double(x[from + i]) * x[from + i + size_t(lag)];
  int32_t best = lo;
  for (int32_t lag = lo; lag <= hi; lag++)
    if (r[size_t(lag)] > r[size_t(best)])
      best = lag;
  const double a = r[size_t(best - 1)], b = r[size_t(best)], c = r[size_t(best + 1)];
  return RATE / (best + 0.5 * (a - c) / (a - 2 * b + c));
}

} // namespace

TEST_F(soundtrack_audio, BothSongsLoadInLibopenmptWithTheirOrders) {
  for (const char* name : {"vorlane.xm", "endpart.xm"}) {
    const std::vector<uint8_t> bytes = testkit_read_file(soundtrack_song_path(name));
    openmpt_module* m = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), nullptr, nullptr, nullptr,
                                                           nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(m, nullptr) << name;
    EXPECT_GE(openmpt_module_get_num_orders(m), 18) << name;
    EXPECT_GT(openmpt_module_get_duration_seconds(m), 150.0) << name;
    EXPECT_GE(openmpt_module_get_num_instruments(m), 10) << name;
    openmpt_module_destroy(m);
  }
}

TEST_F(soundtrack_audio, OnePassNeverClipsAndIsNeverSilent) {
  for (const rendered* r : {main_render, end_render}) {
    ASSERT_GT(r->samples.size(), size_t(2 * RATE * 150));
    int32_t peak = 0;
    for (int16_t v : r->samples)
      peak = std::max(peak, std::abs(int32_t(v)));
    EXPECT_LT(peak, 32000) << "peak below full scale";
    EXPECT_GT(peak, 8000) << "and not far below it";
    // Every tenth of a second from the first to the last holds sound.
    const size_t window = size_t(RATE / 10);
    double quietest = 0;
    size_t at = 0;
    for (size_t w = 0; (w + 1) * window <= r->samples.size() / 2; w++) {
      const double db = loudness(mono(*r, w * window, (w + 1) * window));
      if (db < quietest)
        quietest = db, at = w;
    }
    EXPECT_GT(quietest, -50.0) << "a silence at " << double(at) / 10 << " s";
  }
}

TEST_F(soundtrack_audio, SectionsBuildAndBreakWithTheShow) {
  const rendered& r = *main_render;
  const double galaxy = loudness_orders(r, 0, 1);
  const double intro = loudness_orders(r, 4, 5);
  const double drop = loudness_orders(r, 22, 24);
  const double breakdown = loudness_orders(r, 28, 28);
  const double finale = loudness_orders(r, 36, 38);
  const double end = loudness(mono(*end_render, 0, end_render->samples.size() / 2));
  EXPECT_LT(galaxy, intro - 2.5) << "a calm opening, then the intro rises";
  EXPECT_LT(intro, drop - 1.5) << "the drop is the loudest part so far";
  EXPECT_LT(breakdown, drop - 2.5) << "the breakdown falls back";
  EXPECT_GT(finale, drop - 1) << "the finale is as big as the drop";
  EXPECT_LT(end, drop - 1) << "the end song is calmer";
}

TEST_F(soundtrack_audio, TheDropHasABeatAt125AndAFullSpectrum) {
  const rendered& r = *main_render;
  const std::vector<float> x = mono(r, order_frame(r, 22), order_frame(r, 25));
  ASSERT_GT(x.size(), size_t(RATE * 10));
  // Band energies: bass, low mids, presence and air all carry the music.
  const double total = 10 * std::log10([&] {
                         double s = 0;
                         for (float v : x)
                           s += double(v) * v;
                         return s / double(x.size());
                       }());
  const double bands[4][2] = {{40, 160}, {160, 1600}, {1600, 6000}, {6000, 16000}};
  for (const auto& b : bands) {
    const double db = band_db(x, b[0], b[1]);
    EXPECT_GT(db, total - 30) << b[0] << "-" << b[1] << " Hz";
    EXPECT_LT(db, total + 1) << b[0] << "-" << b[1] << " Hz";
  }
  // The envelope of the bass band in 10 ms steps: its autocorrelation peaks
  // at a beat of 0.48 s (125 a minute), not elsewhere between 0.3 and 0.7 s.
  std::vector<double> env;
  const double g = std::exp(-2.0 * M_PI * 120.0 / RATE);
  double low = 0, acc = 0;
  for (size_t i = 0; i < x.size(); i++) {
    low = g * low + (1 - g) * x[i];
    acc += low * low;
    if ((i + 1) % 441 == 0)
      env.push_back(acc), acc = 0;
  }
  double mean = 0;
  for (double e : env)
    mean += e / double(env.size());
  size_t best = 0;
  double best_r = -1e300;
  for (size_t lag = 30; lag <= 70; lag++) {
    double s = 0;
    for (size_t i = 0; i + lag < env.size(); i++)
      s += (env[i] - mean) * (env[i + lag] - mean);
    if (s > best_r)
      best_r = s, best = lag;
  }
  EXPECT_EQ(best, 48u) << "beat period in 10 ms steps";
}

TEST_F(soundtrack_audio, EveryTonalInstrumentIsInTune) {
  // Each tonal instrument plays alone; the pitch heard is
  // that note within ten cents, so the voices agree with each other.
  for (auto build : {song_main_build, song_end_build}) {
    xm_song song;
    std::string error;
    ASSERT_EQ(build(&song, &error), 1) << error;
    for (size_t ins = 0; ins < song.instruments.size(); ins++) {
      if (song.instruments[ins].samples[0].loop_type == XM_LOOP_NONE && song.instruments[ins].samples.size() == 1 &&
          song.instruments[ins].name.find("bell") == std::string::npos)
        continue; // drums and effects
      for (int32_t note : {34, 58, 70}) {
        xm_song probe = song;
        probe.channels = 1;
        probe.orders = {0};
        probe.patterns = {xm_pattern_make(64, 1)};
        probe.patterns[0].cells[0] = {uint8_t(note), uint8_t(ins + 1), 0, 0, 0};
        std::vector<uint8_t> bytes;
        ASSERT_EQ(xm_writer_encode(probe, &bytes, &error), 1) << error;
        openmpt_module* m = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), nullptr, nullptr, nullptr,
                                                               nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m, nullptr);
        std::vector<float> x(static_cast<size_t>(RATE));
        openmpt_module_read_float_mono(m, int32_t(RATE), x.size(), x.data());
        openmpt_module_destroy(m);
        const double want = 440.0 * std::pow(2.0, (note - 58) / 12.0);
        const double got = pitch_of(x, size_t(RATE * 0.15), want / 1.4, want * 1.4);
        EXPECT_NEAR(1200.0 * std::log2(got / want), 0.0, 10.0) << song.instruments[ins].name << " note " << note;
      }
    }
  }
}
