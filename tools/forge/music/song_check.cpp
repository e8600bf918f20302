#include "songs.h"

#include <algorithm>

std::vector<song_position> song_timeline(const xm_song* song) {
  std::vector<song_position> out;
  if (song->tempo == 0 || song->speed == 0)
    return out;
  const uint64_t row_samples = uint64_t(song->speed) * 110250u / song->tempo;
  std::vector<uint64_t> order_end; // first sample after each order
  uint64_t at = 0;
  for (uint8_t p : song->orders) {
    at += row_samples * song->patterns[p].rows;
    order_end.push_back(at);
  }
  size_t order = 0;
  uint64_t order_start = 0;
  for (uint64_t k = 1;; k++) {
    // libopenmpt reports the row of the last sample rendered.
    const uint64_t x = k * 3087 / 5 - 1;
    while (order < order_end.size() && x >= order_end[order]) {
      order_start = order_end[order];
      order++;
    }
    if (order >= order_end.size())
      break;
    out.push_back({int32_t(order), int32_t((x - order_start) / row_samples)});
  }
  return out;
}

namespace {

bool song_reached(const song_position& p, int32_t order, int32_t row) {
  return p.order > order || (p.order == order && p.row >= row);
}

// First tick index at or past (order, row), or -1.
int64_t song_first_tick(const std::vector<song_position>& t, int32_t order, int32_t row) {
  for (size_t i = 0; i < t.size(); i++)
    if (song_reached(t[i], order, row))
      return int64_t(i);
  return -1;
}

bool song_is_kick(const xm_song* song, uint8_t instrument) {
  if (instrument == 0 || instrument > song->instruments.size())
    return false;
  const std::string& name = song->instruments[instrument - 1].name;
  return name == "kick" || name == "soft kick";
}

bool song_fail(std::string* error, const song_cue& cue, const std::string& why) {
  if (error)
    *error = std::string(cue.what) + ": " + why;
  return false;
}

bool song_check_one(const xm_song* song, const std::vector<song_position>& timeline, const song_cue& cue,
                    std::string* error) {
  const int32_t orders = int32_t(song->orders.size());
  const int32_t last = cue.to_order < 0 ? orders - 1 : cue.to_order;
  if (cue.order >= orders || last >= orders)
    return song_fail(error, cue, "the song has too few orders");
  auto rows_of = [&](int32_t o) { return int32_t(song->patterns[song->orders[size_t(o)]].rows); };
  switch (cue.kind) {
  case SONG_CUE_SPAN: {
    const int64_t a = song_first_tick(timeline, cue.order, cue.row);
    const int64_t b = song_first_tick(timeline, cue.to_order, cue.to_row);
    if (a < 0 || b < 0)
      return song_fail(error, cue, "a position is never reached");
    if (b - a < cue.amount)
      return song_fail(error, cue, std::to_string(b - a) + " ticks, needs " + std::to_string(cue.amount));
    return true;
  }
  case SONG_CUE_ROWS:
    for (int32_t o = cue.order; o <= last; o++)
      if (rows_of(o) < cue.amount)
        return song_fail(error, cue, "order " + std::to_string(o) + " has " + std::to_string(rows_of(o)) + " rows");
    return true;
  case SONG_CUE_BARS: {
    int32_t bars = 0;
    for (int32_t o = cue.order; o <= last; o++)
      bars += rows_of(o) / 16;
    if (bars < cue.amount)
      return song_fail(error, cue, std::to_string(bars) + " bars");
    return true;
  }
  case SONG_CUE_BEATS:
    for (int32_t o = cue.order; o <= last; o++) {
      const xm_pattern& p = song->patterns[song->orders[size_t(o)]];
      for (int32_t r = 0; r < p.rows; r += cue.amount) {
        bool beat = false;
        for (int32_t c = 0; c < song->channels; c++) {
          const xm_cell& cell = p.cells[size_t(r) * song->channels + size_t(c)];
          beat = beat || (cell.note >= 1 && cell.note <= 96 && song_is_kick(song, cell.instrument));
        }
        if (!beat)
          return song_fail(error, cue, "no beat at order " + std::to_string(o) + " row " + std::to_string(r));
      }
    }
    return true;
  default:
    return song_fail(error, cue, "unknown cue");
  }
}

} // namespace

int song_check(const xm_song* song, const song_cue* cues, size_t count, std::string* error) {
  if (song->tempo == 0 || 110250u % song->tempo != 0) {
    if (error)
      *error = "song ticks must last a whole number of samples";
    return 0;
  }
  const std::vector<song_position> timeline = song_timeline(song);
  for (size_t i = 0; i < count; i++)
    if (!song_check_one(song, timeline, cues[i], error))
      return 0;
  return 1;
}
