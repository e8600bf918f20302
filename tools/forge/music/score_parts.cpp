#include "score_parts.h"

#include <cmath>
#include <sstream>

score_chart score_chart_make(const std::string& chords, int32_t rows_each) {
  score_chart c;
  std::istringstream in(chords);
  std::string name;
  while (in >> name)
    c.chords.push_back(name);
  c.rows_each = rows_each;
  return c;
}

void score_pad(score* s, const score_pad_style* style, int32_t start_row, const score_chart* chart,
               std::vector<int32_t>* voicing) {
  const int32_t voices = int32_t(style->channels.size());
  std::vector<int32_t> previous;
  for (size_t i = 0; i < chart->chords.size(); i++) {
    const score_chord chord = score_chord_parse(chart->chords[i]);
    score_voicing(&chord, style->low, style->high, voices, voicing);
    const int32_t row = start_row + int32_t(i) * chart->rows_each;
    for (int32_t v = 0; v < voices && size_t(v) < voicing->size(); v++) {
      const int32_t note = (*voicing)[size_t(v)];
      if (!previous.empty() && previous[size_t(v)] == note)
        continue;
      const int32_t pan = size_t(v) < style->pans.size() ? style->pans[size_t(v)] : -1;
      score_note(s, row, style->channels[size_t(v)], note, style->instrument, style->volume, pan);
    }
    previous = *voicing;
  }
  if (style->release_at_end)
    for (int32_t ch : style->channels)
      score_off(s, start_row + int32_t(chart->chords.size()) * chart->rows_each, ch);
}

static int32_t score_accent_volume(char c, int32_t volume) {
  switch (c) {
  case 'X':
    return std::min(64, volume * 5 / 4);
  case 'o':
    return volume * 3 / 4;
  case '-':
    return volume / 2;
  default:
    return volume;
  }
}

static void score_arp_notes(score* s, const score_arp_style* style, int32_t start_row, const score_chart* chart) {
  if (style->pattern.empty())
    return;
  int32_t step = 0;
  for (size_t i = 0; i < chart->chords.size(); i++) {
    const score_chord chord = score_chord_parse(chart->chords[i]);
    for (int32_t r = 0; r < chart->rows_each; r += style->step_rows, step++) {
      const int32_t index = style->pattern[size_t(step) % style->pattern.size()];
      if (index < 0)
        continue;
      const char accent = style->accents.empty() ? 'x' : style->accents[size_t(step) % style->accents.size()];
      if (accent == '.')
        continue;
      const int32_t note = score_chord_tone(&chord, style->low, index);
      score_note(s, start_row + int32_t(i) * chart->rows_each + r, style->channel, note, style->instrument,
                 score_accent_volume(accent, style->volume), style->pan);
    }
  }
  score_off(s, start_row + int32_t(chart->chords.size()) * chart->rows_each, style->channel);
}

void score_arp(score* s, const score_arp_style* style, int32_t start_row, const score_chart* chart) {
  score_arp_notes(s, style, start_row, chart);
  const score_echo_style& e = style->echo;
  if (e.channel >= 0)
    score_echo(s, style->channel, e.channel, start_row, start_row + int32_t(chart->chords.size()) * chart->rows_each,
               e.delay, e.volume_scale, e.pan);
}

void score_harmony(score* s, int32_t src, int32_t dst, int32_t from, int32_t to, int32_t chart_row,
                   const score_chart* chart, int32_t instrument, double volume_scale, int32_t pan, int32_t transpose) {
  for (int32_t r = from; r < to; r++) {
    const xm_cell* c = score_cell(s, r, src);
    if (!c || c->note == 0)
      continue;
    if (c->note == XM_NOTE_OFF) {
      score_off(s, r, dst);
      continue;
    }
    const int32_t span = (r - chart_row) / chart->rows_each;
    if (r < chart_row || span >= int32_t(chart->chords.size()))
      continue;
    const score_chord chord = score_chord_parse(chart->chords[size_t(span)]);
    int32_t below = 0;
    for (int32_t n = c->note - 3; n >= c->note - 12 && n >= 1 && !below; n--)
      for (int32_t t : chord.tones)
        if ((n - 1) % 12 == (chord.root + t) % 12)
          below = n;
    if (!below)
      continue;
    const int32_t v = c->volume >= 0x10 && c->volume <= 0x50 ? c->volume - 0x10 : 48;
    score_note(s, r, dst, below + transpose, instrument, int32_t(std::lround(v * volume_scale)), pan);
  }
}

void score_bass(score* s, const score_bass_style* style, int32_t start_row, const score_chart* chart) {
  const std::string& p = style->pattern;
  if (p.empty())
    return;
  bool sounding = false;
  int32_t step = 0;
  for (size_t i = 0; i < chart->chords.size(); i++) {
    const score_chord chord = score_chord_parse(chart->chords[i]);
    const int32_t bass_pc = score_chord_bass(chart->chords[i]);
    const int32_t root = style->low + ((bass_pc - (style->low - 1) % 12) + 12) % 12;
    const int32_t next_pc = score_chord_bass(chart->chords[i + 1 < chart->chords.size() ? i + 1 : i]);
    const int32_t next = style->low + ((next_pc - (style->low - 1) % 12) + 12) % 12;
    bool minor = false;
    for (int32_t t : chord.tones)
      minor = minor || t == 3;
    for (int32_t r = 0; r < chart->rows_each; r += style->step_rows, step++) {
      const char c = p[size_t(step) % p.size()];
      const int32_t row = start_row + int32_t(i) * chart->rows_each + r;
      int32_t note = 0, volume = style->volume;
      switch (c) {
      case 'R':
        note = root;
        break;
      case 'r':
        note = root, volume = style->volume * 2 / 3;
        break;
      case 'O':
        note = root + 12;
        break;
      case 'o':
        note = root + 12, volume = style->volume * 2 / 3;
        break;
      case '5':
        note = root + 7;
        break;
      case '3':
        note = root + (minor ? 3 : 4);
        break;
      case '7':
        note = root + 10;
        break;
      case 'n':
        note = next;
        break;
      case '.':
        if (sounding)
          score_off(s, row, style->channel);
        sounding = false;
        break;
      default:
        break;
      }
      if (note) {
        score_note(s, row, style->channel, note, style->instrument, volume, style->pan);
        sounding = true;
      }
    }
  }
  if (sounding)
    score_off(s, start_row + int32_t(chart->chords.size()) * chart->rows_each, style->channel);
}

void score_pad_chords(score* s, const score_pad_style* style, int32_t start_row, const std::string& chords,
                      int32_t rows_each, std::vector<int32_t>* voicing) {
  const score_chart chart = score_chart_make(chords, rows_each);
  score_pad(s, style, start_row, &chart, voicing);
}

void score_arp_chords(score* s, const score_arp_style* style, int32_t start_row, const std::string& chords,
                      int32_t rows_each) {
  const score_chart chart = score_chart_make(chords, rows_each);
  score_arp(s, style, start_row, &chart);
}

void score_bass_chords(score* s, const score_bass_style* style, int32_t start_row, const std::string& chords,
                       int32_t rows_each) {
  const score_chart chart = score_chart_make(chords, rows_each);
  score_bass(s, style, start_row, &chart);
}
