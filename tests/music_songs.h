// Songs for the music and sound tests, made with the XM writer.
#pragma once

#include "xm_writer.h"

#include <cstdint>
#include <string>
#include <vector>

// A song of the given pattern lengths, one order per pattern in turn, with a
// note on every channel-0 row (a looped 16-bit tone) and a bass note every
// fourth row on channel 1 (an 8-bit tone).
xm_song music_test_song(const std::vector<uint16_t>& rows_per_order, uint16_t speed, uint16_t tempo);
std::vector<uint8_t> music_test_song_bytes(const std::vector<uint16_t>& rows_per_order, uint16_t speed, uint16_t tempo);

// Seconds one row lasts at speed and tempo (a song tick is 2.5 / tempo s).
double music_test_row_seconds(uint16_t speed, uint16_t tempo);
