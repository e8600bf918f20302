#include "music_songs.h"

#include <cmath>

xm_song music_test_song(const std::vector<uint16_t>& rows_per_order, uint16_t speed, uint16_t tempo) {
  xm_song song;
  song.name = "test song";
  song.channels = 4;
  song.speed = speed;
  song.tempo = tempo;
  for (size_t i = 0; i < rows_per_order.size(); i++) {
    xm_pattern p = xm_pattern_make(rows_per_order[i], song.channels);
    for (uint16_t r = 0; r < p.rows; r++) {
      xm_cell& lead = xm_pattern_cell(p, song.channels, r, 0);
      lead.note = uint8_t(49 + (r + i) % 12);
      lead.instrument = 1;
      if (r % 4 == 0) {
        xm_cell& bass = xm_pattern_cell(p, song.channels, r, 1);
        bass.note = uint8_t(25 + i % 5);
        bass.instrument = 2;
        bass.volume = 0x40;
      }
    }
    song.patterns.push_back(p);
    song.orders.push_back(uint8_t(i));
  }
  xm_instrument lead;
  lead.name = "lead";
  xm_sample tone;
  tone.name = "tone16";
  tone.bits = 16;
  for (int i = 0; i < 64; i++)
    tone.data.push_back(int16_t(std::lround(12000.0 * std::sin(i * 2.0 * M_PI / 64.0))));
  tone.loop_type = XM_LOOP_FORWARD;
  tone.loop_start = 0;
  tone.loop_length = 64;
  lead.samples.push_back(tone);
  lead.volume_envelope.points = {{0, 64}, {8, 40}, {40, 0}};
  lead.volume_envelope.flags = XM_ENVELOPE_ON;
  song.instruments.push_back(lead);
  xm_instrument bass;
  bass.name = "bass";
  xm_sample square;
  square.name = "square8";
  square.bits = 8;
  for (int i = 0; i < 32; i++)
    square.data.push_back(int16_t(i < 16 ? 90 : -90));
  square.loop_type = XM_LOOP_FORWARD;
  square.loop_length = 32;
  bass.samples.push_back(square);
  song.instruments.push_back(bass);
  return song;
}

std::vector<uint8_t> music_test_song_bytes(const std::vector<uint16_t>& rows_per_order, uint16_t speed,
                                           uint16_t tempo) {
  std::vector<uint8_t> bytes;
  std::string error;
  xm_writer_encode(music_test_song(rows_per_order, speed, tempo), &bytes, &error);
  return bytes;
}

double music_test_row_seconds(uint16_t speed, uint16_t tempo) { return speed * 2.5 / tempo; }
