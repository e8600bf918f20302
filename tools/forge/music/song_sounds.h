// The instruments of the two songs, synthesised. Instrument numbers are the
// XM ones (from 1), as the patterns refer to them.
#pragma once

#include "xm_writer.h"

#include <vector>

enum main_instrument : int32_t {
  MAIN_KICK = 1,
  MAIN_SNARE,
  MAIN_CLAP,
  MAIN_HAT,
  MAIN_OPEN_HAT,
  MAIN_CRASH,
  MAIN_TOM,
  MAIN_RISER,
  MAIN_BASS,
  MAIN_PAD,
  MAIN_CHOIR,
  MAIN_LEAD,
  MAIN_PLUCK,
  MAIN_BELL,
  MAIN_SUB,
  MAIN_INSTRUMENTS = MAIN_SUB
};

enum end_instrument : int32_t {
  END_KICK = 1,
  END_SNARE,
  END_RIM,
  END_SHAKER,
  END_HAT,
  END_CRASH,
  END_BASS,
  END_EPIANO,
  END_PAD,
  END_FLUTE,
  END_BELL,
  END_PLUCK,
  END_INSTRUMENTS = END_PLUCK
};

// tick_seconds: the length of one song tick (envelopes are counted in ticks).
void song_sounds_main(std::vector<xm_instrument>* out, double tick_seconds);
void song_sounds_end(std::vector<xm_instrument>* out, double tick_seconds);
