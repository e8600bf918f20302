// The XM writer: the bytes it lays down, and its files read back by libopenmpt.
#include "music_songs.h"
#include "testkit.h"
#include "xm_writer.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <cstring>

namespace {

openmpt_module* xm_open(const std::vector<uint8_t>& bytes) {
  int error = 0;
  const char* message = nullptr;
  openmpt_module* m = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent, nullptr,
                                                         openmpt_error_func_ignore, nullptr, &error, &message, nullptr);
  if (message)
    openmpt_free_string(message);
  return m;
}

uint32_t le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t le32(const std::vector<uint8_t>& b, size_t at) { return le16(b, at) | le16(b, at + 2) << 16; }

// libopenmpt's strings belong to the caller.
std::string xm_text(const char* s) {
  std::string text = s ? s : "";
  openmpt_free_string(s);
  return text;
}

// A song of one channel, one pattern of 2 rows and one instrument with one sample.
xm_song xm_tiny_song(uint8_t bits, const std::vector<int16_t>& data) {
  xm_song song;
  song.name = "tiny";
  song.channels = 1;
  song.orders = {0};
  song.patterns.push_back(xm_pattern_make(2, 1));
  xm_instrument ins;
  ins.name = "one";
  xm_sample s;
  s.bits = bits;
  s.data = data;
  ins.samples.push_back(s);
  song.instruments.push_back(ins);
  return song;
}

} // namespace

TEST(xmwriter, header_fields_are_at_their_offsets) {
  xm_song song = music_test_song({16, 32}, 5, 140);
  song.restart = 1;
  song.orders = {1, 0, 1};
  std::vector<uint8_t> b;
  std::string error;
  ASSERT_EQ(xm_writer_encode(song, &b, &error), 1) << error;
  EXPECT_EQ(std::string(b.begin(), b.begin() + 17), "Extended Module: ");
  EXPECT_EQ(std::string(b.begin() + 17, b.begin() + 26), "test song");
  EXPECT_EQ(b[37], 0x1A);
  EXPECT_EQ(le16(b, 58), 0x0104u);
  EXPECT_EQ(le32(b, 60), 276u);
  EXPECT_EQ(le16(b, 64), 3u); // orders
  EXPECT_EQ(le16(b, 66), 1u); // restart
  EXPECT_EQ(le16(b, 68), 4u); // channels
  EXPECT_EQ(le16(b, 70), 2u); // patterns
  EXPECT_EQ(le16(b, 72), 2u); // instruments
  EXPECT_EQ(le16(b, 74), 1u); // linear frequencies
  EXPECT_EQ(le16(b, 76), 5u);
  EXPECT_EQ(le16(b, 78), 140u);
  EXPECT_EQ(b[80], 1);
  EXPECT_EQ(b[81], 0);
  EXPECT_EQ(b[82], 1);
  EXPECT_EQ(b[83], 0); // unused order entries are zero
  // First pattern header follows the 256-entry order table.
  EXPECT_EQ(le32(b, 336), 9u);
  EXPECT_EQ(b[340], 0);
  EXPECT_EQ(le16(b, 341), 16u);
}

TEST(xmwriter, cells_are_packed) {
  xm_song song = xm_tiny_song(8, {0, 1});
  song.channels = 2;
  song.patterns[0] = xm_pattern_make(2, 2);
  xm_pattern_cell(song.patterns[0], 2, 0, 0) = {49, 1, 0x30, 0x0F, 0x04}; // every field: written raw
  xm_pattern_cell(song.patterns[0], 2, 0, 1) = {0, 0, 0, 0x00, 0x37};     // arpeggio 37: parameter only
  xm_pattern_cell(song.patterns[0], 2, 1, 0) = {XM_NOTE_OFF, 0, 0, 0, 0};
  std::vector<uint8_t> b;
  std::string error;
  ASSERT_EQ(xm_writer_encode(song, &b, &error), 1) << error;
  const size_t p = 336;
  const std::vector<uint8_t> expected = {49, 1, 0x30, 0x0F, 0x04, 0x80 | 0x10, 0x37, 0x80 | 0x01, XM_NOTE_OFF, 0x80};
  ASSERT_EQ(le16(b, p + 7), expected.size());
  EXPECT_EQ(std::vector<uint8_t>(b.begin() + p + 9, b.begin() + p + 9 + expected.size()), expected);
}

TEST(xmwriter, samples_are_delta_coded) {
  const std::vector<int16_t> wave8 = {0, 10, -20, 127, -128, 5};
  std::vector<uint8_t> b;
  std::string error;
  ASSERT_EQ(xm_writer_encode(xm_tiny_song(8, wave8), &b, &error), 1) << error;
  ASSERT_GT(b.size(), wave8.size());
  const size_t at8 = b.size() - wave8.size();
  int8_t value = 0;
  for (size_t i = 0; i < wave8.size(); i++) {
    value = int8_t(value + int8_t(b[at8 + i]));
    EXPECT_EQ(value, wave8[i]) << i;
  }
  // The sample header holds the length in bytes and the 16-bit bit.
  const std::vector<int16_t> wave16 = {0, 32767, -32768, 1000, -1};
  ASSERT_EQ(xm_writer_encode(xm_tiny_song(16, wave16), &b, &error), 1) << error;
  const size_t at16 = b.size() - wave16.size() * 2;
  const size_t header = at16 - 40;
  EXPECT_EQ(le32(b, header), wave16.size() * 2);
  EXPECT_EQ(b[header + 14] & 0x10, 0x10);
  int16_t v16 = 0;
  for (size_t i = 0; i < wave16.size(); i++) {
    v16 = int16_t(uint16_t(v16) + le16(b, at16 + i * 2));
    EXPECT_EQ(v16, wave16[i]) << i;
  }
}

TEST(xmwriter, libopenmpt_reads_back_what_was_written) {
  const std::vector<uint16_t> rows = {8, 64, 1, 256};
  xm_song song = music_test_song(rows, 4, 150);
  song.orders = {0, 1, 2, 3, 1};
  song.instruments[0].samples.push_back(song.instruments[1].samples[0]);
  song.instruments[0].samples[1].name = "second";
  song.instruments.push_back(xm_instrument{});
  song.instruments[2].name = "empty";
  xm_pattern_cell(song.patterns[3], song.channels, 255, 3) = {XM_NOTE_OFF, 0, 0, 0, 0};
  std::vector<uint8_t> b;
  std::string error;
  ASSERT_EQ(xm_writer_encode(song, &b, &error), 1) << error;
  openmpt_module* m = xm_open(b);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(openmpt_module_get_num_channels(m), 4);
  ASSERT_EQ(openmpt_module_get_num_orders(m), 5);
  for (int o = 0; o < 5; o++)
    EXPECT_EQ(openmpt_module_get_order_pattern(m, o), song.orders[o]);
  ASSERT_EQ(openmpt_module_get_num_patterns(m), 4);
  for (int p = 0; p < 4; p++)
    EXPECT_EQ(openmpt_module_get_pattern_num_rows(m, p), rows[p]);
  EXPECT_EQ(openmpt_module_get_current_speed(m), 4);
  EXPECT_EQ(openmpt_module_get_current_tempo(m), 150);
  ASSERT_EQ(openmpt_module_get_num_instruments(m), 3);
  EXPECT_EQ(xm_text(openmpt_module_get_instrument_name(m, 0)), "lead");
  EXPECT_EQ(xm_text(openmpt_module_get_instrument_name(m, 1)), "bass");
  EXPECT_EQ(xm_text(openmpt_module_get_instrument_name(m, 2)), "empty");
  ASSERT_EQ(openmpt_module_get_num_samples(m), 3);
  EXPECT_EQ(xm_text(openmpt_module_get_sample_name(m, 0)), "tone16");
  EXPECT_EQ(xm_text(openmpt_module_get_sample_name(m, 1)), "second");
  EXPECT_EQ(xm_text(openmpt_module_get_sample_name(m, 2)), "square8");
  // libopenmpt counts notes from C-0 one octave lower than the file does.
  for (int p = 0; p < 4; p++)
    for (int r = 0; r < rows[p]; r++)
      for (int c = 0; c < 4; c++) {
        const xm_cell& cell = song.patterns[p].cells[size_t(r) * 4 + c];
        const int note = openmpt_module_get_pattern_row_channel_command(m, p, r, c, OPENMPT_MODULE_COMMAND_NOTE);
        const int instrument =
            openmpt_module_get_pattern_row_channel_command(m, p, r, c, OPENMPT_MODULE_COMMAND_INSTRUMENT);
        if (cell.note >= 1 && cell.note <= 96)
          ASSERT_EQ(note, cell.note + 12) << p << " " << r << " " << c;
        else if (cell.note == XM_NOTE_OFF)
          ASSERT_EQ(note, 255); // libopenmpt's key-off
        else
          ASSERT_EQ(note, 0);
        ASSERT_EQ(instrument, cell.instrument);
      }
  openmpt_module_destroy(m);
}

// A one-shot sample plays for exactly its length: at C-4 (8363 Hz with no
// relative note) rendered at 8363 Hz with nearest-neighbour resampling and
// no volume ramping, every sample frame is one output frame.
TEST(xmwriter, sample_lengths_survive_the_round_trip) {
  for (uint8_t bits : {uint8_t(8), uint8_t(16)}) {
    for (uint32_t length : {300u, 1234u}) {
      xm_song song = xm_tiny_song(bits, std::vector<int16_t>(length, int16_t(bits == 16 ? 20000 : 100)));
      song.speed = 31;
      song.tempo = 32; // rows of about 2.4 s: the note is never cut
      xm_pattern_cell(song.patterns[0], 1, 0, 0) = {49, 1, 0, 0, 0};
      std::vector<uint8_t> b;
      std::string error;
      ASSERT_EQ(xm_writer_encode(song, &b, &error), 1) << error;
      openmpt_module* m = xm_open(b);
      ASSERT_NE(m, nullptr);
      openmpt_module_set_render_param(m, OPENMPT_MODULE_RENDER_INTERPOLATIONFILTER_LENGTH, 1);
      openmpt_module_set_render_param(m, OPENMPT_MODULE_RENDER_VOLUMERAMPING_STRENGTH, 0);
      openmpt_module_ctl_set_integer(m, "dither", 0);
      std::vector<int16_t> out(8363);
      const size_t got = openmpt_module_read_mono(m, 8363, out.size(), out.data());
      ASSERT_EQ(got, out.size());
      // The sample's constant value holds for its length; after it the
      // mixer's click removal lets the level decay.
      ASSERT_NE(out[0], 0);
      size_t plateau = 0;
      while (plateau < got && out[plateau] == out[0])
        plateau++;
      EXPECT_NEAR(double(plateau), double(length), 2.0) << int(bits) << "-bit " << length;
      openmpt_module_destroy(m);
    }
  }
}

TEST(xmwriter, broken_songs_are_refused_with_a_message) {
  struct broken_case {
    const char* what;
    void (*spoil)(xm_song&);
  };
  const broken_case cases[] = {
      {"no channels", [](xm_song& s) { s.channels = 0; }},
      {"33 channels", [](xm_song& s) { s.channels = 33; }},
      {"no orders", [](xm_song& s) { s.orders.clear(); }},
      {"order to a missing pattern", [](xm_song& s) { s.orders.push_back(9); }},
      {"restart past the orders", [](xm_song& s) { s.restart = 7; }},
      {"cells do not fill the pattern", [](xm_song& s) { s.patterns[0].cells.pop_back(); }},
      {"zero rows", [](xm_song& s) { s.patterns[0] = xm_pattern_make(0, s.channels); }},
      {"missing instrument", [](xm_song& s) { s.patterns[0].cells[0].instrument = 3; }},
      {"note past key-off", [](xm_song& s) { s.patterns[0].cells[0].note = 98; }},
      {"speed 0", [](xm_song& s) { s.speed = 0; }},
      {"tempo 20", [](xm_song& s) { s.tempo = 20; }},
      {"8-bit value out of range", [](xm_song& s) { s.instruments[1].samples[0].data[0] = 200; }},
      {"loop past the end", [](xm_song& s) { s.instruments[1].samples[0].loop_length = 33; }},
      {"13 envelope points",
       [](xm_song& s) {
         s.instruments[0].volume_envelope.points.assign(13, xm_envelope_point{0, 0});
       }},
      {"envelope ticks falling",
       [](xm_song& s) {
         s.instruments[0].volume_envelope.points = {{5, 10}, {3, 10}};
       }},
      {"sample map past the samples", [](xm_song& s) { s.instruments[0].sample_map[40] = 1; }},
      {"long name", [](xm_song& s) { s.name = std::string(21, 'x'); }},
  };
  for (const broken_case& c : cases) {
    xm_song song = music_test_song({4, 4}, 6, 125);
    c.spoil(song);
    std::vector<uint8_t> b;
    std::string error;
    EXPECT_EQ(xm_writer_encode(song, &b, &error), 0) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
  }
}

TEST(xmwriter, write_creates_the_file_or_fails_cleanly) {
  testkit_tempdir dir;
  const xm_song song = music_test_song({4}, 6, 125);
  std::string error;
  ASSERT_EQ(xm_writer_write(dir.file("a.xm").c_str(), song, &error), 1) << error;
  std::vector<uint8_t> expected;
  ASSERT_EQ(xm_writer_encode(song, &expected, &error), 1);
  EXPECT_EQ(testkit_read_file(dir.file("a.xm")), expected);
  EXPECT_EQ(xm_writer_write(dir.file("missing/a.xm").c_str(), song, &error), 0);
  EXPECT_NE(error.find("missing"), std::string::npos);
}
