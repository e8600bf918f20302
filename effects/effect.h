// One record per effect of the show, and the table of them in sequencer
// order: the shell's sequencer is a loop over it. Adding an effect means its
// own files and one record here.
#pragma once

#include "show_context.h"
#include "timeline.h"

#include <cstdint>

// How a state ends by itself (Space always leaves it).
enum : int32_t {
  // The frame step returns 0.
  EFFECT_ENDS_ON_STEP = 0,
  // After the step the music order has reached the state's end order on the
  // timeline; the step's result is ignored.
  EFFECT_ENDS_ON_ORDER = 1,
};

struct effect {
  const char* name;
  // Start-up runs the inits in their own order, not the sequencer's: this
  // init's place in it, from 1; 0 for a state that goes on with an effect
  // started by an earlier record (the intro's later sections).
  int32_t init_order;
  // 1 on success; none where init_order is 0.
  int32_t (*init)(show_context* show);
  // The fatal message when the init fails.
  const char* init_message;
  // Draws one frame; 0 once the effect has finished.
  int32_t (*frame)();
  // Optional: what the sequencer does when the state ends by itself; a
  // Space that leaves the state does not run it.
  void (*leave)();
  int32_t ends;
};

// The states TIMELINE_FIRST_STATE to TIMELINE_DONE - 1: the record of state s
// is effect_table[s - TIMELINE_FIRST_STATE].
extern const effect effect_table[TIMELINE_STATES];
// How many records have an init: the steps of the loading bar.
extern const int32_t effect_init_count;

// The end part, played with its own song after the sequence.
extern const effect effect_end_part;

// The record of state s (s from TIMELINE_FIRST_STATE to TIMELINE_DONE - 1).
inline const effect& effect_of_state(int32_t state) { return effect_table[state - TIMELINE_FIRST_STATE]; }
