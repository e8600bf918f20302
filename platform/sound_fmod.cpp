#include "sound_fmod.h"

int fsound_init(int32_t mixrate, int32_t channels) {
  if (channels < 1)
    return 0;
  return sound_open(mixrate);
}

void fsound_close() { sound_close(); }

sound_song* fmusic_load_song(const char* name) { return sound_song_load_file(name); }

sound_song* fmusic_load_song_memory(const void* data, int32_t length) {
  if (length <= 0)
    return nullptr;
  return sound_song_load_memory(data, size_t(length));
}

int fmusic_play_song(sound_song* song) { return sound_song_play(song); }
int fmusic_stop_song(sound_song* song) { return sound_song_stop(song); }
int fmusic_free_song(sound_song* song) { return sound_song_free(song); }
int fmusic_set_order(sound_song* song, int32_t order) { return sound_song_set_order(song, order); }
int32_t fmusic_get_order(sound_song* song) { return sound_song_order(song); }
int32_t fmusic_get_row(sound_song* song) { return sound_song_row(song); }
