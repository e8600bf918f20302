// The show's timeline in its two songs: the sequencer's states, the order of
// the main song at which each state ends by itself, and the order Space sets
// when it leaves the state. The shell, the effects and the forge's songs all
// read it from here.
#pragma once

#include <cstdint>

// The sequencer's states, in the order they run.
enum : int32_t {
  TIMELINE_GALAXY = -1,
  TIMELINE_INTRO_BURN = 0,
  TIMELINE_INTRO_TILES = 1,
  TIMELINE_INTRO_TITLE = 2,
  TIMELINE_SEQZOOM = 3,
  TIMELINE_ICUBE = 4,
  TIMELINE_BLURP = 5,
  TIMELINE_MIRRORS = 6,
  TIMELINE_TUNNEL = 7,
  TIMELINE_MAGNET = 8,
  TIMELINE_QUBE = 9,
  TIMELINE_NET = 10,
  TIMELINE_HYPERVOXEL = 11,
  TIMELINE_DCUBE = 12,
  TIMELINE_LOBJ = 13,
  // No effect: the sequence is over and the end part follows.
  TIMELINE_DONE = 14,
};

constexpr int32_t TIMELINE_FIRST_STATE = TIMELINE_GALAXY;
// States with an effect: -1 to 13.
constexpr int32_t TIMELINE_STATES = TIMELINE_DONE - TIMELINE_FIRST_STATE;
// A state that does not end on an order of the song.
constexpr int32_t TIMELINE_NO_ORDER = -1;

struct timeline_state {
  int32_t state;
  // The first order of the main song at which the state is over (the effect
  // returns 0 or the sequencer moves on); TIMELINE_NO_ORDER when the effect
  // ends on its own count of ticks.
  int32_t end_order;
  // The order Space sets when it leaves the state.
  int32_t skip_order;
};

inline constexpr timeline_state timeline_states[TIMELINE_STATES] = {
    {.state = TIMELINE_GALAXY, .end_order = 4, .skip_order = 4},
    {.state = TIMELINE_INTRO_BURN, .end_order = 6, .skip_order = 6},
    {.state = TIMELINE_INTRO_TILES, .end_order = TIMELINE_NO_ORDER, .skip_order = 7},
    {.state = TIMELINE_INTRO_TITLE, .end_order = 8, .skip_order = 8},
    {.state = TIMELINE_SEQZOOM, .end_order = TIMELINE_NO_ORDER, .skip_order = 9},
    {.state = TIMELINE_ICUBE, .end_order = 11, .skip_order = 11},
    {.state = TIMELINE_BLURP, .end_order = 13, .skip_order = 13},
    {.state = TIMELINE_MIRRORS, .end_order = 17, .skip_order = 17},
    {.state = TIMELINE_TUNNEL, .end_order = 22, .skip_order = 22},
    {.state = TIMELINE_MAGNET, .end_order = TIMELINE_NO_ORDER, .skip_order = 25},
    {.state = TIMELINE_QUBE, .end_order = 28, .skip_order = 28},
    // The net's last stage starts at order 29 and runs 512 ticks on.
    {.state = TIMELINE_NET, .end_order = 29, .skip_order = 30},
    {.state = TIMELINE_HYPERVOXEL, .end_order = 34, .skip_order = 34},
    {.state = TIMELINE_DCUBE, .end_order = 37, .skip_order = 36},
    // Space leaves the last effect for order 24, not for an order past 40.
    {.state = TIMELINE_LOBJ, .end_order = 40, .skip_order = 24},
};

constexpr const timeline_state& timeline_at(int32_t state) { return timeline_states[state - TIMELINE_FIRST_STATE]; }
constexpr int32_t timeline_end_order(int32_t state) { return timeline_at(state).end_order; }
constexpr int32_t timeline_skip_order(int32_t state) { return timeline_at(state).skip_order; }
// An order of the music clock has reached the state's end order.
constexpr bool timeline_order_reached(int32_t state, uint32_t order) {
  return timeline_end_order(state) != TIMELINE_NO_ORDER && order >= uint32_t(timeline_end_order(state));
}

// The end song: the end part is over after row 60 of order 17.
constexpr int32_t TIMELINE_END_SONG_LAST_ORDER = 17;
constexpr int32_t TIMELINE_END_SONG_LAST_ROW = 61;
constexpr bool timeline_end_song_over(uint32_t order, uint32_t row) {
  return order >= uint32_t(TIMELINE_END_SONG_LAST_ORDER) && row >= uint32_t(TIMELINE_END_SONG_LAST_ROW);
}

// The table is in state order, and the states the sequencer leaves on an
// order (the galaxy and the tunnel) skip to that same order.
static_assert([] {
  for (int32_t i = 0; i < TIMELINE_STATES; i++)
    if (timeline_states[i].state != TIMELINE_FIRST_STATE + i)
      return false;
  return timeline_skip_order(TIMELINE_GALAXY) == timeline_end_order(TIMELINE_GALAXY) &&
         timeline_skip_order(TIMELINE_TUNNEL) == timeline_end_order(TIMELINE_TUNNEL);
}());
