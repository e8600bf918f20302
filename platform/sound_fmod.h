// The first sound library's calls (init, close, load from a file or memory,
// play, stop, free, set order, current order and row), on the sound layer.
// Handles are the layer's songs; a call on none, or on a freed song, does
// nothing and fails (position queries answer -1).
#pragma once

#include "sound.h"

#include <cstdint>

// Starts the output at a mixing rate; channels (software voices) are
// libopenmpt's own business and only checked to be positive. 1 or 0.
int fsound_init(int32_t mixrate, int32_t channels);
void fsound_close();

sound_song* fmusic_load_song(const char* name);
sound_song* fmusic_load_song_memory(const void* data, int32_t length);
int fmusic_play_song(sound_song* song);
int fmusic_stop_song(sound_song* song);
int fmusic_free_song(sound_song* song);
int fmusic_set_order(sound_song* song, int32_t order);
int32_t fmusic_get_order(sound_song* song);
int32_t fmusic_get_row(sound_song* song);
