// What the show takes from its two songs: the orders and rows its effects
// wait for or act on, and the time they need between them. The song
// generator checks its composition against these tables before it writes a
// song, and the tests check the songs as libopenmpt plays them on the
// virtual clock. Orders and rows count from 0; ticks are the music clock's
// 14 ms ticks.
#pragma once

#include "timeline.h"

#include <cstdint>

enum song_cue_kind : int32_t {
  // Ticks from the first tick at (order, row) to the first tick at
  // (to_order, to_row) are at least `amount`. A position is reached when
  // the clock shows that order at that row or later.
  SONG_CUE_SPAN,
  // Every order from `order` to `to_order` (-1: the last order) has at least
  // `amount` rows.
  SONG_CUE_ROWS,
  // Orders `order` to `to_order` together hold at least `amount` whole
  // 16-row bars.
  SONG_CUE_BARS,
  // In orders `order` to `to_order`, every group of `amount` rows starts
  // with a beat of the music (a kick on its first row).
  SONG_CUE_BEATS,
};

struct song_cue {
  const char* what;
  int32_t kind;
  int32_t order, row;
  int32_t to_order, to_row;
  int32_t amount;
};

inline constexpr song_cue song_main_cues[] = {
    {"galaxy: flies in and grows during orders 0-1", SONG_CUE_SPAN, 0, 0, 2, 0, 480},
    {"galaxy: the logo wipe needs its corner distance plus 100 ticks", SONG_CUE_SPAN, 2, 0, 3, 0, 450},
    {"galaxy: scroll until row 48, fade from row 49 of order 3", SONG_CUE_ROWS, 3, 0, 3, 0, 50},
    {"galaxy: the fade to black from row 49 runs 100 ticks before order 4", SONG_CUE_SPAN, 3, 49, 4, 0, 100},
    {"intro section 0: burns in for 384 frames before order 6", SONG_CUE_SPAN, 4, 0, 6, 0, 460},
    {"intro sections 1 and 2: 512 and about 460 ticks before order 8", SONG_CUE_SPAN, 6, 0, 8, 0, 970},
    {"intro section 2: blur pulses on rows 0-3 of every 16", SONG_CUE_BEATS, 6, 0, 7, 0, 16},
    {"sequence zoomer: flares respawn on rows 0-5 of every 16", SONG_CUE_BEATS, 8, 0, 8, 0, 16},
    {"sequence zoomer and image cube: 500 ticks plus a real cube scene", SONG_CUE_SPAN, 8, 0, 11, 0, 1000},
    {"credits: one name per 16-row bar, fifteen names", SONG_CUE_BARS, 11, 0, 12, 0, 15},
    {"credits: names launch on the bar", SONG_CUE_BEATS, 11, 0, 12, 0, 16},
    {"credits: cross-fade after row 64, blur relaxes after row 110 of order 12", SONG_CUE_ROWS, 12, 0, 12, 0, 112},
    {"credits: the cross-fade after row 64 of order 12 takes 256 ticks", SONG_CUE_SPAN, 12, 65, 13, 0, 256},
    {"mirror hall: fountains burst on rows 0-15 of each pattern", SONG_CUE_BEATS, 13, 0, 16, 0, 16},
    {"tunnel flight: white fade after row 100 of order 21", SONG_CUE_ROWS, 21, 0, 21, 0, 102},
    {"tunnel flight: the white fade after row 100 runs 100 ticks before order 22", SONG_CUE_SPAN, 21, 101, 22, 0, 100},
    {"magnet: the poles jump when row mod 32 < 7", SONG_CUE_BEATS, 22, 0, 24, 0, 32},
    {"magnet and qube: the magnet's scene plus a qube scene before order 28", SONG_CUE_SPAN, 22, 0, 28, 0, 2100},
    {"qube: rises out after row 64 of order 27", SONG_CUE_ROWS, 27, 0, 27, 0, 66},
    {"net: shading drifts when order > 27 and row > 80", SONG_CUE_ROWS, 28, 0, -1, 0, 82},
    {"net and hypervoxel: 512 ticks of net sheet plus a hypervoxel scene", SONG_CUE_SPAN, 29, 0, 34, 0, 1100},
    {"diffuse cube: at least 7 seconds", SONG_CUE_SPAN, 34, 0, 37, 0, 500},
    {"diffuse cube: the cube jumps when row mod 16 < 6", SONG_CUE_BEATS, 34, 0, 36, 0, 16},
    {"light object: beams jump at the start of each 16-row bar", SONG_CUE_BEATS, 37, 0, 39, 0, 16},
    {"light object: at least 7 seconds", SONG_CUE_SPAN, 37, 0, 40, 0, 500},
    {"light object: the fade from order 39 runs 100 ticks before order 40", SONG_CUE_SPAN, 39, 0, 40, 0, 100},
    {"light object: the song reaches order 40 and plays on", SONG_CUE_ROWS, 40, 0, 40, 0, 82},
};

inline constexpr song_cue song_end_cues[] = {
    {"end part: black during orders 0 and 1, fade-in of 100 ticks in orders 2 and 3", SONG_CUE_SPAN, 2, 0, 4, 0, 100},
    {"end part: the end screen scrolls 11,070 ticks from order 3", SONG_CUE_SPAN, 3, 0, 17, 33, 11070},
    {"end part: fade-out after row 32 of order 17 reaches black before row 61", SONG_CUE_SPAN, 17, 33, 17, 61, 100},
    {"end part: ends after row 60 of order 17", SONG_CUE_ROWS, 17, 0, 17, 0, 62},
};

// How each part of the show ends, for the length of the show and of every
// effect: at the first tick the song reaches the state's end order on the
// timeline (if it has one), but not before `min_ticks` from the part's
// start; then `after_ticks` more.
struct song_part {
  const char* effect;
  int32_t state;
  int32_t min_ticks;
  int32_t after_ticks;
};

inline constexpr song_part song_main_parts[] = {
    {"galaxy", TIMELINE_GALAXY, 0, 0},
    {"intro section 0", TIMELINE_INTRO_BURN, 457, 0}, // 384 frames at 60 frames per second
    {"intro section 1", TIMELINE_INTRO_TILES, 512, 0},
    {"intro section 2", TIMELINE_INTRO_TITLE, 460, 0},
    {"sequence zoomer", TIMELINE_SEQZOOM, 500, 0},
    {"image cube", TIMELINE_ICUBE, 0, 0},
    {"credits", TIMELINE_BLURP, 0, 0},
    {"mirror hall", TIMELINE_MIRRORS, 0, 0},
    {"tunnel flight", TIMELINE_TUNNEL, 0, 0},
    {"magnet", TIMELINE_MAGNET, 2048, 0}, // ends by itself within 2,048 ticks
    {"qube", TIMELINE_QUBE, 0, 0},
    {"net", TIMELINE_NET, 0, 512},
    {"hypervoxel", TIMELINE_HYPERVOXEL, 0, 0},
    {"diffuse cube", TIMELINE_DCUBE, 0, 0},
    {"light object", TIMELINE_LOBJ, 0, 0},
};

// Ticks in a second, and the shortest effect and the show's length.
inline constexpr double song_ticks_per_second = 1000.0 / 14.0;
inline constexpr int32_t song_min_part_ticks = 500; // 7 seconds
inline constexpr double song_show_min_seconds = 300.0;
inline constexpr double song_show_max_seconds = 430.0;
