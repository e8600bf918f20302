#include "music.h"

#include "mem.h"
#include "music_state.h"
#include "sound_fmod.h"
#include "sound_midas.h"
#include "vfs.h"

#include <string>

std::atomic<uint32_t> music_mode{MUSIC_USE_MIDAS};
int32_t music_error = 0;

std::atomic<sound_song*> music_song{nullptr};
std::atomic<sound_song*> music_module{nullptr};
std::atomic<sound_song*> music_play_handle{nullptr};
int32_t music_playing = -1;

namespace {

// Song files read into memory stay allocated for the whole run, reachable
// from here.
void** music_buffers = nullptr;
uint32_t music_buffer_count = 0;
uint32_t music_buffer_capacity = 0;

void music_keep_buffer(void* data) {
  if (music_buffer_count == music_buffer_capacity) {
    const uint32_t capacity = music_buffer_capacity ? music_buffer_capacity * 2 : 4;
    void** grown = mem_alloc_array<void*>(capacity);
    if (!grown) {
      // Nowhere to keep it: the sound layer copies songs, so it may go now.
      mem_free(data);
      return;
    }
    if (music_buffers) {
      mem_copy(grown, music_buffers, sizeof(void*) * music_buffer_count);
      mem_free(music_buffers);
    }
    music_buffers = grown;
    music_buffer_capacity = capacity;
  }
  music_buffers[music_buffer_count++] = data;
}

// A song loaded while another is held would leave the old one playing with
// no handle to stop it: release it first.
void music_release_song() {
  sound_song* old = music_song.exchange(nullptr);
  if (old) {
    fmusic_stop_song(old);
    fmusic_free_song(old);
  }
}

void music_release_module() {
  sound_song* old = music_module.exchange(nullptr);
  music_play_handle.store(nullptr);
  music_playing = -1;
  if (old) {
    midas_stop_module(old);
    midas_free_module(old);
  }
}

} // namespace

int music_init(const char* name, uint32_t flags, int32_t) {
  if (flags & MUSIC_INIT_MEMORY)
    music_mode = MUSIC_FROM_MEMORY;
  if (flags & MUSIC_INIT_MIDAS) {
    if (!midas_startup()) {
      music_error = MUSIC_ERROR_MIDAS_STARTUP;
      return 0;
    }
    if (!midas_config()) {
      music_error = MUSIC_ERROR_MIDAS_CONFIG;
      return 0;
    }
    if (!midas_init()) {
      music_error = MUSIC_ERROR_MIDAS_INIT;
      return 0;
    }
    if (!midas_start_background_play(0)) {
      music_error = MUSIC_ERROR_MIDAS_BACKGROUND;
      return 0;
    }
  } else if (!fsound_init(MUSIC_SAMPLE_RATE, 32)) {
    music_error = MUSIC_ERROR_FMOD_INIT;
    return 0;
  }
  if (name) {
    if (!music_load_file(name))
      return 0;
    if ((flags & MUSIC_INIT_PLAY) && !music_play(0))
      return 0;
  }
  // A timer that does not start is a failure of the init, not a success.
  if ((flags & (MUSIC_INIT_PLAY | MUSIC_INIT_TIMER)) && !music_timer_start(0.1f))
    return 0;
  return 1;
}

int music_load_file(const char* name) {
  if (music_mode & MUSIC_USE_MIDAS) {
    music_release_module();
    sound_song* module = midas_load_module(name);
    music_module.store(module);
    if (!module) {
      music_error = MUSIC_ERROR_MIDAS_LOAD;
      return 0;
    }
    return 1;
  }
  music_release_song();
  sound_song* song = fmusic_load_song(name);
  music_song.store(song);
  if (!song) {
    music_error = MUSIC_ERROR_FMOD_LOAD;
    return 0;
  }
  return 1;
}

int music_load(const char* name) {
  if (!name || !(music_mode & MUSIC_FROM_MEMORY))
    return 0;
  int32_t size = 0;
  void* data = vfs_read_all(name, &size);
  if (!data) {
    music_error = MUSIC_ERROR_IO_FETCH;
    return 0;
  }
  music_release_song();
  sound_song* song = fmusic_load_song_memory(data, size);
  music_keep_buffer(data);
  music_song.store(song);
  if (!song) {
    const std::string why = "the sound library cannot read it as a song (" + std::to_string(size) + " bytes)";
    vfs_note_failure(name, why.c_str());
    music_error = MUSIC_ERROR_FMOD_MEMLOAD;
    return 0;
  }
  return 1;
}

int music_play(int32_t) {
  if (music_mode & MUSIC_USE_MIDAS) {
    sound_song* play = midas_play_module(music_module.load(), 1);
    music_play_handle.store(play);
    if (!play)
      return 0;
  } else {
    fmusic_play_song(music_song.load());
  }
  music_playing = 1;
  // The clock shows the new song's start at once, not the old song's
  // position until the next tick.
  music_read_position();
  return 1;
}

sound_song* music_current_song() {
  return (music_mode & MUSIC_USE_MIDAS) ? music_play_handle.load() : music_song.load();
}

int music_set_order(int32_t order) {
  if (music_mode & MUSIC_USE_MIDAS)
    return midas_set_position(music_play_handle.load(), order) ? 1 : 0;
  fmusic_set_order(music_song.load(), order);
  return 1;
}

int music_stop(int32_t) {
  if (music_mode & MUSIC_USE_MIDAS) {
    if (music_playing != -1)
      music_release_module();
    return 1;
  }
  music_release_song();
  return 1;
}

int music_shutdown() {
  music_timer_stop();
  if (music_mode & MUSIC_USE_MIDAS) {
    if (music_playing != -1)
      music_release_module();
    midas_stop_background_play();
    midas_close();
    return 1;
  }
  // As designed, the output is closed only when a song was loaded; the sound
  // layer closes it at exit in any case.
  if (music_song.load()) {
    music_release_song();
    fsound_close();
  }
  return 1;
}

const char* music_error_text() {
  switch (music_error) {
  case MUSIC_ERROR_TIMER:
    return "Timer error!";
  case MUSIC_ERROR_IO_FETCH:
    return "IO fetch!";
  case MUSIC_ERROR_MIDAS_STARTUP:
    return "Midas startup";
  case MUSIC_ERROR_MIDAS_CONFIG:
    return "Midas config";
  case MUSIC_ERROR_MIDAS_INIT:
    return "Midas init";
  case MUSIC_ERROR_MIDAS_BACKGROUND:
    return "Midas background player";
  case MUSIC_ERROR_MIDAS_LOAD:
    return "Midas load";
  case MUSIC_ERROR_FMOD_INIT:
    return "Fmod Init";
  case MUSIC_ERROR_FMOD_LOAD:
    return "Fmod load";
  case MUSIC_ERROR_FMOD_MEMLOAD:
    return "Fmod memload";
  default:
    return "No error";
  }
}

void music_reset() {
  music_timer_stop();
  music_release_song();
  music_release_module();
  sound_close();
  sound_set_virtual(0);
  music_virtual_on = 0;
  music_virtual_position = 0;
  music_virtual_start = 0;
  music_virtual_next = 1;
  music_mode = MUSIC_USE_MIDAS;
  music_error = 0;
  music_timer_ident.store(0);
  music_clock_clear();
  for (uint32_t i = 0; i < music_buffer_count; i++)
    mem_free(music_buffers[i]);
  if (music_buffers)
    mem_free(music_buffers);
  music_buffers = nullptr;
  music_buffer_count = 0;
  music_buffer_capacity = 0;
}
