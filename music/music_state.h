// State shared by the music module's source files (not for other modules).
#pragma once

#include "music.h"
#include "sound.h"

#include <atomic>
#include <cstdint>

// Song handles. The timer thread reads them, the main thread changes them.
extern std::atomic<sound_song*> music_song;        // first library: the song
extern std::atomic<sound_song*> music_module;      // second library: the module
extern std::atomic<sound_song*> music_play_handle; // second library: the play handle
extern int32_t music_playing;                      // second library: -1 = not playing, 1 after play

extern music_clock music_clock_state;
extern std::atomic<uint32_t> music_timer_ident;
extern std::atomic<int32_t> music_timer_on;

// Virtual clock.
extern int32_t music_virtual_on;
extern uint64_t music_virtual_position; // samples since virtual mode began
extern uint64_t music_virtual_start;    // position where the timer last started
extern uint64_t music_virtual_next;     // number of the next tick after that start
extern uint32_t music_virtual_ids;      // identifiers handed out by virtual timer starts

// Copies the song's position into the clock (order and row; with the second
// library also pattern, sync_info and loop_count).
void music_read_position();
// Zeroes every clock field and the per-frame memory.
void music_clock_clear();
