#include "sound_midas.h"

int midas_startup() { return 1; }
int midas_config() { return 1; }
int midas_init() { return sound_open(SOUND_RATE); }

// The output runs as soon as it is open.
int midas_start_background_play(int32_t) { return sound_is_open(); }

sound_song* midas_load_module(const char* name) { return sound_song_load_file(name); }

sound_song* midas_play_module(sound_song* module, int32_t) { return sound_song_play(module) ? module : nullptr; }

int midas_set_position(sound_song* play, int32_t order) { return sound_song_set_order(play, order); }

int midas_get_play_status(sound_song* play, midas_play_status* status) {
  if (!status)
    return 0;
  sound_lock();
  const int32_t order = sound_song_order(play);
  const int32_t pattern = sound_song_pattern(play);
  const int32_t row = sound_song_row(play);
  const uint32_t loops = sound_song_loops(play);
  sound_unlock();
  status->position = uint32_t(order);
  status->pattern = uint32_t(pattern);
  status->row = uint32_t(row);
  status->sync_info = 0;
  status->loop_count = loops;
  return order >= 0;
}

int midas_stop_module(sound_song* play) { return sound_song_stop(play); }
int midas_free_module(sound_song* module) { return sound_song_free(module); }
int midas_stop_background_play() { return 1; }

int midas_close() {
  sound_close();
  return 1;
}
