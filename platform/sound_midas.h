// The second sound library's calls, on the same sound layer: start-up,
// configuration and init (which opens the output), background play, load,
// play (which gives the play handle: the song itself here), set position,
// play status, stop, free, close.
#pragma once

#include "sound.h"

#include <cstdint>

// Filled in one call by midas_get_play_status; same layout as the music
// clock's fields from order on.
struct midas_play_status {
  uint32_t position; // order
  uint32_t pattern;
  uint32_t row;
  int32_t sync_info;   // no synchronisation commands here: always 0
  uint32_t loop_count; // wraps of the song since play
};

int midas_startup();
int midas_config();
int midas_init();
int midas_start_background_play(int32_t rate);
sound_song* midas_load_module(const char* name);
// Plays the module (it always loops); the play handle, or none.
sound_song* midas_play_module(sound_song* module, int32_t loop);
int midas_set_position(sound_song* play, int32_t order);
// With no song playing, order, pattern and row are all bits set and the
// result is 0.
int midas_get_play_status(sound_song* play, midas_play_status* status);
int midas_stop_module(sound_song* play);
int midas_free_module(sound_song* module);
int midas_stop_background_play();
int midas_close();
