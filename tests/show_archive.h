// A small data.dat for running the show: the loading picture, the hidden
// sprite and two short songs shaped like the real ones, plus the effects'
// files taken from the data.dat the build generated.
#pragma once

#include <string>

struct show_archive_options {
  bool loading_picture = true;
  bool sprite = true;
  bool main_song = true;
  bool end_song = true;
  // Every other file of the build's data.dat (the effects' data).
  bool effect_data = true;
};

// Writes dir/data.dat; returns 1, or 0 with error set.
int show_archive_write(const std::string& dir, const show_archive_options& options, std::string* error);

// Rows of every order of the test songs (4 rows at speed 3, tempo 125: 60 ms
// a row), the end song with 64 rows at order 17.
constexpr int SHOW_MAIN_ORDERS = 42;
constexpr int SHOW_END_ORDERS = 18;
