#include "score.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

void score_init(score* s, uint16_t channels, const std::vector<int32_t>& order_rows) {
  s->channels = channels;
  s->order_rows = order_rows;
  s->order_start.clear();
  int32_t at = 0;
  for (int32_t rows : order_rows) {
    s->order_start.push_back(at);
    at += rows;
  }
  s->total_rows = at;
  s->grid.assign(size_t(at) * channels, xm_cell{});
}

int32_t score_at(const score* s, int32_t order, int32_t row) { return s->order_start[size_t(order)] + row; }

xm_cell* score_cell(score* s, int32_t row, int32_t channel) {
  if (row < 0 || row >= s->total_rows || channel < 0 || channel >= s->channels)
    return nullptr;
  return &s->grid[size_t(row) * s->channels + size_t(channel)];
}

void score_note(score* s, int32_t row, int32_t channel, int32_t note, int32_t instrument, int32_t volume, int32_t pan) {
  xm_cell* c = score_cell(s, row, channel);
  if (!c || note < 1 || note > 96)
    return;
  c->note = uint8_t(note);
  c->instrument = uint8_t(instrument);
  c->volume = volume >= 0 ? uint8_t(0x10 + std::min(volume, 64)) : 0;
  if (pan >= 0 && (c->effect == 0 || c->effect == 0x08) && (c->effect != 0 || c->param == 0)) {
    c->effect = 0x08;
    c->param = uint8_t(std::min(pan, 255));
  }
}

void score_off(score* s, int32_t row, int32_t channel) {
  xm_cell* c = score_cell(s, row, channel);
  if (c && c->note == 0)
    c->note = XM_NOTE_OFF;
}

void score_effect(score* s, int32_t row, int32_t channel, uint8_t effect, uint8_t param) {
  xm_cell* c = score_cell(s, row, channel);
  if (!c)
    return;
  c->effect = effect;
  c->param = param;
}

void score_volume(score* s, int32_t row, int32_t channel, uint8_t volume_byte) {
  xm_cell* c = score_cell(s, row, channel);
  if (c)
    c->volume = volume_byte;
}

void score_to_song(const score* s, xm_song* song) {
  song->channels = s->channels;
  song->patterns.clear();
  song->orders.clear();
  for (size_t o = 0; o < s->order_rows.size(); o++) {
    const int32_t rows = s->order_rows[o];
    xm_pattern p = xm_pattern_make(uint16_t(rows), s->channels);
    const size_t first = size_t(s->order_start[o]) * s->channels;
    std::copy(s->grid.begin() + std::ptrdiff_t(first),
              s->grid.begin() + std::ptrdiff_t(first + size_t(rows) * s->channels), p.cells.begin());
    song->patterns.push_back(std::move(p));
    song->orders.push_back(uint8_t(o));
  }
}

void score_make_song(const score* s, const char* name, int32_t speed, int32_t tempo, xm_song* song) {
  *song = xm_song{};
  song->name = name;
  song->tracker = "forge";
  song->speed = uint16_t(speed);
  song->tempo = uint16_t(tempo);
  song->restart = 0;
  score_to_song(s, song);
}

int32_t score_pitch(const std::string& name) {
  static const int32_t letter[7] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
  if (name.size() < 2 || name[0] < 'A' || name[0] > 'G')
    return 0;
  int32_t pc = letter[name[0] - 'A'];
  size_t i = 1;
  if (name[i] == '#')
    pc++, i++;
  else if (name[i] == 'b')
    pc--, i++;
  if (i + 1 != name.size() || name[i] < '0' || name[i] > '7')
    return 0;
  const int32_t note = (name[i] - '0') * 12 + pc + 1;
  return note >= 1 && note <= 96 ? note : 0;
}

static int32_t score_pitch_class(const std::string& name, size_t* used) {
  static const int32_t letter[7] = {9, 11, 0, 2, 4, 5, 7};
  if (name.empty() || name[0] < 'A' || name[0] > 'G') {
    *used = 0;
    return 0;
  }
  int32_t pc = letter[name[0] - 'A'];
  size_t i = 1;
  if (i < name.size() && name[i] == '#')
    pc++, i++;
  else if (i < name.size() && name[i] == 'b')
    pc--, i++;
  *used = i;
  return (pc + 12) % 12;
}

score_chord score_chord_parse(const std::string& full) {
  const std::string name = full.substr(0, full.find('/'));
  size_t used = 0;
  score_chord c;
  c.root = score_pitch_class(name, &used);
  const std::string kind = name.substr(used);
  if (kind == "m")
    c.tones = {0, 3, 7};
  else if (kind == "m7")
    c.tones = {0, 3, 7, 10};
  else if (kind == "maj7")
    c.tones = {0, 4, 7, 11};
  else if (kind == "7")
    c.tones = {0, 4, 7, 10};
  else if (kind == "sus4")
    c.tones = {0, 5, 7};
  else if (kind == "sus2")
    c.tones = {0, 2, 7};
  else if (kind == "add9")
    c.tones = {0, 4, 7, 14};
  else if (kind == "madd9")
    c.tones = {0, 3, 7, 14};
  else
    c.tones = {0, 4, 7};
  return c;
}

std::vector<score_chord> score_progression(const std::string& text) {
  std::vector<score_chord> out;
  std::istringstream in(text);
  std::string name;
  while (in >> name)
    out.push_back(score_chord_parse(name));
  return out;
}

int32_t score_chord_bass(const std::string& name) {
  const size_t slash = name.find('/');
  size_t used = 0;
  if (slash != std::string::npos)
    return score_pitch_class(name.substr(slash + 1), &used);
  return score_pitch_class(name, &used);
}

int32_t score_chord_tone(const score_chord* chord, int32_t low, int32_t index) {
  // Tones folded into one octave, sorted, then stacked upwards from low.
  std::vector<int32_t> pcs;
  for (int32_t t : chord->tones)
    pcs.push_back((chord->root + t) % 12);
  std::sort(pcs.begin(), pcs.end());
  pcs.erase(std::unique(pcs.begin(), pcs.end()), pcs.end());
  std::vector<int32_t> notes;
  for (int32_t n = low; notes.size() < size_t(index + 1) && n <= 96; n++)
    if (std::find(pcs.begin(), pcs.end(), (n - 1) % 12) != pcs.end())
      notes.push_back(n);
  return notes.empty() ? low : notes.back();
}

void score_voicing(const score_chord* chord, int32_t low, int32_t high, int32_t voices, std::vector<int32_t>* current) {
  // No voices: nothing to choose (and no highest or lowest note to space).
  if (voices <= 0) {
    current->clear();
    return;
  }
  std::vector<int32_t> pool; // every chord note in range
  for (int32_t n = low; n <= high; n++)
    for (int32_t t : chord->tones)
      if ((n - 1) % 12 == (chord->root + t) % 12) {
        pool.push_back(n);
        break;
      }
  const int32_t essential = std::min<int32_t>(int32_t(chord->tones.size()), voices);
  std::vector<int32_t> best;
  int64_t best_cost = INT64_MAX;
  std::vector<int32_t> pick(size_t(voices), 0);
  // Every rising choice of `voices` notes from the pool (pools are small).
  const int32_t n = int32_t(pool.size());
  std::vector<int32_t> idx(static_cast<size_t>(voices));
  for (int32_t i = 0; i < voices; i++)
    idx[size_t(i)] = i;
  if (n < voices)
    return;
  while (true) {
    for (int32_t i = 0; i < voices; i++)
      pick[size_t(i)] = pool[size_t(idx[size_t(i)])];
    // Distinct chord tones covered.
    int32_t covered = 0;
    for (size_t t = 0; t < chord->tones.size(); t++) {
      const int32_t pc = (chord->root + chord->tones[t]) % 12;
      for (int32_t v : pick)
        if ((v - 1) % 12 == pc) {
          covered++;
          break;
        }
    }
    if (covered >= essential) {
      int64_t cost = 0;
      if (current->size() == size_t(voices)) {
        for (int32_t i = 0; i < voices; i++)
          cost += std::abs(pick[size_t(i)] - (*current)[size_t(i)]) * 10;
      } else {
        const int32_t centre = (low + high) / 2;
        for (int32_t v : pick)
          cost += std::abs(v - centre) * 10;
      }
      // Close spacing sounds smoother on a pad.
      cost += (pick.back() - pick.front());
      if (cost < best_cost) {
        best_cost = cost;
        best = pick;
      }
    }
    int32_t i = voices - 1;
    while (i >= 0 && idx[size_t(i)] == n - voices + i)
      i--;
    if (i < 0)
      break;
    idx[size_t(i)]++;
    for (int32_t j = i + 1; j < voices; j++)
      idx[size_t(j)] = idx[size_t(j - 1)] + 1;
  }
  if (!best.empty())
    *current = best;
}

static int32_t score_melody_notes(score* s, const score_voice* voice, int32_t start_row, const std::string& text) {
  std::istringstream in(text);
  std::string token;
  int32_t row = start_row;
  int32_t sounding_end = -1; // row where the last note ends (for a note-off)
  while (in >> token) {
    if (token == "|")
      continue;
    std::string head = token;
    int32_t steps = 1;
    const size_t colon = token.find(':');
    if (colon != std::string::npos) {
      head = token.substr(0, colon);
      std::string len = token.substr(colon + 1);
      while (!len.empty() && (len.back() == '!' || len.back() == '~')) {
        head += len.back();
        len.pop_back();
      }
      if (len.empty() || len.find_first_not_of("0123456789") != std::string::npos)
        return -1;
      steps = std::atoi(len.c_str());
    }
    int32_t volume = voice->volume;
    while (!head.empty() && (head.back() == '!' || head.back() == '~')) {
      volume = head.back() == '!' ? std::min(64, volume + 10) : volume * 2 / 3;
      head.pop_back();
    }
    const int32_t rows = steps * voice->step_rows;
    if (head == "r") {
      if (sounding_end >= 0 && voice->release)
        score_off(s, sounding_end, voice->channel);
      sounding_end = -1;
    } else if (head == "-") {
      if (sounding_end >= 0)
        sounding_end += rows;
    } else {
      const int32_t pitch = score_pitch(head);
      if (!pitch)
        return -1;
      score_note(s, row, voice->channel, pitch + voice->transpose, voice->instrument, volume, voice->pan);
      sounding_end = row + rows;
    }
    row += rows;
  }
  if (sounding_end >= 0 && voice->release)
    score_off(s, sounding_end, voice->channel);
  return row - start_row;
}

int32_t score_melody(score* s, const score_voice* voice, int32_t start_row, const std::string& text) {
  const int32_t rows = score_melody_notes(s, voice, start_row, text);
  const score_echo_style& e = voice->echo;
  if (rows > 0 && e.channel >= 0)
    score_echo(s, voice->channel, e.channel, start_row, start_row + rows, e.delay, e.volume_scale, e.pan);
  return rows;
}

void score_echo(score* s, int32_t src, int32_t dst, int32_t from, int32_t to, int32_t delay, double volume_scale,
                int32_t pan) {
  for (int32_t r = from; r < to; r++) {
    const xm_cell* c = score_cell(s, r, src);
    if (!c || c->note == 0)
      continue;
    if (c->note == XM_NOTE_OFF) {
      score_off(s, r + delay, dst);
      continue;
    }
    const int32_t v = c->volume >= 0x10 && c->volume <= 0x50 ? c->volume - 0x10 : 48;
    score_note(s, r + delay, dst, c->note, c->instrument, int32_t(std::lround(v * volume_scale)), pan);
  }
}

void score_drums(score* s, int32_t channel, int32_t instrument, int32_t start_row, int32_t rows,
                 const std::string& text, int32_t step_rows, int32_t note, int32_t pan, double volume_scale) {
  std::string steps;
  for (char c : text)
    if (c != '|' && c != ' ')
      steps += c;
  // A step of no rows would write the same row for ever.
  if (steps.empty() || step_rows <= 0)
    return;
  for (int32_t r = 0, i = 0; r < rows; r += step_rows, i++) {
    int32_t v = -1;
    switch (steps[size_t(i) % steps.size()]) {
    case 'X':
      v = 64;
      break;
    case 'x':
      v = 50;
      break;
    case 'o':
      v = 36;
      break;
    case '-':
      v = 22;
      break;
    default:
      break;
    }
    if (v >= 0)
      score_note(s, start_row + r, channel, note, instrument, int32_t(std::lround(v * volume_scale)), pan);
  }
}

void score_roll(score* s, int32_t channel, int32_t instrument, int32_t start_row, int32_t rows, int32_t every,
                int32_t volume_from, int32_t volume_to, int32_t note, int32_t pan) {
  if (every <= 0)
    return;
  for (int32_t r = 0; r < rows; r += every) {
    const double u = rows > every ? double(r) / double(rows - every) : 1.0;
    score_note(s, start_row + r, channel, note, instrument,
               int32_t(std::lround(volume_from + (volume_to - volume_from) * u)), pan);
  }
}
