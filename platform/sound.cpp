#include "sound.h"

#include "mem.h"

#include <SDL.h>
#include <libopenmpt/libopenmpt.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

struct sound_song {
  openmpt_module* module;
  sound_song* next;
  int32_t playing;
  int32_t silent; // renders nothing at all: treated as silence from then on
  uint32_t loops;
  uint64_t frames;     // frames rendered since play (silence included)
  uint64_t wrap_frame; // value of frames where the latest wrap came
};

namespace {

// How SDL's audio was started, so that closing undoes exactly that.
enum : int32_t {
  SOUND_SDL_NONE = 0,
  SOUND_SDL_SUBSYSTEM = 1, // SDL_InitSubSystem (possibly re-initialised with the dummy driver)
  SOUND_SDL_DIRECT = 2,    // SDL_AudioInit("dummy") after the subsystem failed
};

std::recursive_mutex sound_mutex;
int32_t sound_lock_depth = 0;              // under sound_mutex
SDL_AudioDeviceID sound_locked_device = 0; // device locked by the outermost sound_lock

// Live songs, newest first. A plain pointer chain so that songs alive at
// exit stay reachable.
sound_song* sound_songs = nullptr;

SDL_AudioDeviceID sound_device = 0;
int32_t sound_sdl_mode = SOUND_SDL_NONE;
int32_t sound_opened = 0;
int32_t sound_virtual = 0;
int32_t sound_rate = SOUND_RATE;
int32_t sound_exit_registered = 0;

// Scratch buffers of the mixer (used under the lock only).
int16_t sound_scratch[2 * SOUND_BUFFER_FRAMES];
int32_t sound_sum[2 * SOUND_BUFFER_FRAMES];

struct sound_guard {
  sound_guard() { sound_lock(); }
  ~sound_guard() { sound_unlock(); }
  sound_guard(const sound_guard&) = delete;
  sound_guard& operator=(const sound_guard&) = delete;
};

bool sound_live(const sound_song* song) {
  if (!song)
    return false;
  for (const sound_song* s = sound_songs; s; s = s->next)
    if (s == song)
      return true;
  return false;
}

// Fills exactly frames frames from one song. A read of 0 frames is
// libopenmpt's mark of the song's end (with the "continue" end action); the
// next read goes on from the song's loop start.
void sound_song_read(sound_song* song, int16_t* out, uint32_t frames) {
  uint32_t done = 0;
  int32_t empty_reads = 0;
  while (done < frames && !song->silent) {
    const size_t n = openmpt_module_read_interleaved_stereo(song->module, sound_rate, frames - done, out + 2 * done);
    if (n == 0) {
      if (++empty_reads > 1) {
        song->silent = 1;
        break;
      }
      song->loops++;
      song->wrap_frame = song->frames + done;
      continue;
    }
    empty_reads = 0;
    done += uint32_t(n);
  }
  if (done < frames)
    std::memset(out + 2 * done, 0, size_t(frames - done) * 4);
  song->frames += frames;
}

// Mixes every playing song into out, adding with saturation when several play.
void sound_mix(int16_t* out, uint32_t frames) {
  int32_t playing = 0;
  for (sound_song* s = sound_songs; s; s = s->next)
    if (s->playing && !s->silent)
      playing++;
  if (playing <= 1) {
    sound_song* only = nullptr;
    for (sound_song* s = sound_songs; s; s = s->next)
      if (s->playing && !s->silent)
        only = s;
    if (only)
      sound_song_read(only, out, frames);
    else
      std::memset(out, 0, size_t(frames) * 4);
    return;
  }
  for (uint32_t at = 0; at < frames;) {
    const uint32_t n = frames - at < uint32_t(SOUND_BUFFER_FRAMES) ? frames - at : uint32_t(SOUND_BUFFER_FRAMES);
    std::memset(sound_sum, 0, sizeof(sound_sum));
    for (sound_song* s = sound_songs; s; s = s->next) {
      if (!s->playing || s->silent)
        continue;
      sound_song_read(s, sound_scratch, n);
      for (uint32_t i = 0; i < 2 * n; i++)
        sound_sum[i] += sound_scratch[i];
    }
    for (uint32_t i = 0; i < 2 * n; i++) {
      const int32_t v = sound_sum[i];
      out[2 * at + i] = int16_t(v > 32767 ? 32767 : v < -32768 ? -32768 : v);
    }
    at += n;
  }
}

// Runs on SDL's audio thread with the device's lock held.
void sound_callback(void*, Uint8* stream, int len) { sound_mix(reinterpret_cast<int16_t*>(stream), uint32_t(len) / 4); }

void sound_at_exit() { sound_close(); }

SDL_AudioDeviceID sound_open_device() {
  SDL_AudioSpec want;
  SDL_AudioSpec have;
  SDL_zero(want);
  SDL_zero(have);
  want.freq = sound_rate;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = SOUND_BUFFER_FRAMES;
  want.callback = sound_callback;
  // No changes allowed: SDL converts and re-buffers to keep exactly this format.
  return SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
}

void sound_quit_sdl() {
  if (sound_sdl_mode == SOUND_SDL_SUBSYSTEM)
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  else if (sound_sdl_mode == SOUND_SDL_DIRECT)
    SDL_AudioQuit();
  sound_sdl_mode = SOUND_SDL_NONE;
}

void sound_configure(sound_song* song) {
  // Loop by continuing at the end, so that each wrap shows as an empty read.
  openmpt_module_set_repeat_count(song->module, 0);
  openmpt_module_ctl_set_text(song->module, "play.at_end", "continue");
  openmpt_module_ctl_set_integer(song->module, "dither", sound_virtual ? 0 : 1);
}

} // namespace

void sound_lock() {
  sound_mutex.lock();
  if (sound_lock_depth++ == 0) {
    sound_locked_device = sound_device;
    if (sound_locked_device)
      SDL_LockAudioDevice(sound_locked_device);
  }
}

void sound_unlock() {
  if (--sound_lock_depth == 0 && sound_locked_device) {
    SDL_UnlockAudioDevice(sound_locked_device);
    sound_locked_device = 0;
  }
  sound_mutex.unlock();
}

int sound_set_virtual(int on) {
  std::lock_guard<std::recursive_mutex> hold(sound_mutex);
  if (sound_opened)
    return 0;
  sound_virtual = on ? 1 : 0;
  for (sound_song* s = sound_songs; s; s = s->next)
    sound_configure(s);
  return 1;
}

int sound_is_virtual() {
  std::lock_guard<std::recursive_mutex> hold(sound_mutex);
  return sound_virtual;
}

int sound_open(int32_t rate) {
  std::lock_guard<std::recursive_mutex> hold(sound_mutex);
  if (sound_opened)
    return 1;
  if (rate < 8000 || rate > 192000)
    return 0;
  sound_rate = rate;
  if (sound_virtual) {
    sound_opened = 1;
    return 1;
  }
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_AudioDeviceID device = 0;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
    sound_sdl_mode = SOUND_SDL_SUBSYSTEM;
    device = sound_open_device();
  }
  if (!device) {
    // No usable device: restart SDL's audio with the silent dummy driver,
    // which still pulls the songs in real time.
    if (sound_sdl_mode == SOUND_SDL_SUBSYSTEM)
      SDL_AudioQuit();
    if (SDL_AudioInit("dummy") == 0) {
      if (sound_sdl_mode == SOUND_SDL_NONE)
        sound_sdl_mode = SOUND_SDL_DIRECT;
      device = sound_open_device();
    }
  }
  if (!device) {
    sound_quit_sdl();
    return 0;
  }
  sound_device = device;
  sound_opened = 1;
  if (!sound_exit_registered) {
    // The device must be closed on every way out, so no callback runs while
    // the program's globals are torn down.
    std::atexit(sound_at_exit);
    sound_exit_registered = 1;
  }
  SDL_PauseAudioDevice(device, 0);
  return 1;
}

void sound_close() {
  std::lock_guard<std::recursive_mutex> hold(sound_mutex);
  // Closing waits for the callback; never from inside the layer's lock.
  if (!sound_opened || sound_lock_depth > 0)
    return;
  if (sound_device) {
    SDL_CloseAudioDevice(sound_device);
    sound_device = 0;
  }
  sound_quit_sdl();
  sound_opened = 0;
}

int sound_is_open() {
  std::lock_guard<std::recursive_mutex> hold(sound_mutex);
  return sound_opened;
}

const char* sound_driver() {
  std::lock_guard<std::recursive_mutex> hold(sound_mutex);
  if (!sound_opened)
    return "";
  if (sound_virtual)
    return "virtual";
  const char* name = SDL_GetCurrentAudioDriver();
  return name ? name : "";
}

sound_song* sound_song_load_memory(const void* data, size_t size) {
  if (!data || size == 0)
    return nullptr;
  int error = 0;
  const char* message = nullptr;
  openmpt_module* module = openmpt_module_create_from_memory2(
      data, size, openmpt_log_func_silent, nullptr, openmpt_error_func_ignore, nullptr, &error, &message, nullptr);
  if (message)
    openmpt_free_string(message);
  if (!module)
    return nullptr;
  if (openmpt_module_get_num_orders(module) <= 0) {
    openmpt_module_destroy(module);
    return nullptr;
  }
  sound_song* song = static_cast<sound_song*>(mem_alloc(sizeof(sound_song)));
  if (!song) {
    openmpt_module_destroy(module);
    return nullptr;
  }
  song->module = module;
  sound_guard hold;
  sound_configure(song);
  song->next = sound_songs;
  sound_songs = song;
  return song;
}

sound_song* sound_song_load_file(const char* path) {
  if (!path)
    return nullptr;
  std::FILE* f = std::fopen(path, "rb");
  if (!f)
    return nullptr;
  std::vector<uint8_t> bytes;
  uint8_t block[65536];
  size_t n;
  while ((n = std::fread(block, 1, sizeof(block), f)) > 0)
    bytes.insert(bytes.end(), block, block + n);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed)
    return nullptr;
  return sound_song_load_memory(bytes.data(), bytes.size());
}

int sound_song_free(sound_song* song) {
  {
    sound_guard hold;
    sound_song** link = &sound_songs;
    while (*link && *link != song)
      link = &(*link)->next;
    if (!song || !*link)
      return 0;
    *link = song->next;
  }
  // Unlinked: neither the callback nor another caller can reach it now.
  openmpt_module_destroy(song->module);
  mem_free(song);
  return 1;
}

int sound_song_play(sound_song* song) {
  sound_guard hold;
  if (!sound_live(song))
    return 0;
  song->playing = 1;
  return 1;
}

int sound_song_stop(sound_song* song) {
  sound_guard hold;
  if (!sound_live(song))
    return 0;
  song->playing = 0;
  song->silent = 0;
  song->loops = 0;
  song->frames = 0;
  song->wrap_frame = 0;
  openmpt_module_set_position_seconds(song->module, 0.0);
  return 1;
}

int sound_song_is_playing(sound_song* song) {
  sound_guard hold;
  return sound_live(song) && song->playing;
}

int sound_song_set_order(sound_song* song, int32_t order) {
  sound_guard hold;
  if (!sound_live(song) || order < 0 || order >= openmpt_module_get_num_orders(song->module))
    return 0;
  openmpt_module_set_position_order_row(song->module, order, 0);
  song->silent = 0;
  return 1;
}

int32_t sound_song_order(sound_song* song) {
  sound_guard hold;
  return sound_live(song) ? openmpt_module_get_current_order(song->module) : -1;
}

int32_t sound_song_pattern(sound_song* song) {
  sound_guard hold;
  return sound_live(song) ? openmpt_module_get_current_pattern(song->module) : -1;
}

int32_t sound_song_row(sound_song* song) {
  sound_guard hold;
  return sound_live(song) ? openmpt_module_get_current_row(song->module) : -1;
}

uint32_t sound_song_loops(sound_song* song) {
  sound_guard hold;
  return sound_live(song) ? song->loops : 0;
}

uint64_t sound_song_wrap_frame(sound_song* song) {
  sound_guard hold;
  return sound_live(song) && song->loops > 0 ? song->wrap_frame : 0;
}

int32_t sound_song_num_orders(sound_song* song) {
  sound_guard hold;
  return sound_live(song) ? openmpt_module_get_num_orders(song->module) : -1;
}

int32_t sound_song_order_pattern(sound_song* song, int32_t order) {
  sound_guard hold;
  if (!sound_live(song) || order < 0 || order >= openmpt_module_get_num_orders(song->module))
    return -1;
  return openmpt_module_get_order_pattern(song->module, order);
}

int32_t sound_song_pattern_rows(sound_song* song, int32_t pattern) {
  sound_guard hold;
  if (!sound_live(song) || pattern < 0 || pattern >= openmpt_module_get_num_patterns(song->module))
    return 0;
  return openmpt_module_get_pattern_num_rows(song->module, pattern);
}

double sound_song_duration(sound_song* song) {
  sound_guard hold;
  return sound_live(song) ? openmpt_module_get_duration_seconds(song->module) : 0.0;
}

uint32_t sound_render(int16_t* out, uint32_t frames) {
  sound_guard hold;
  if (!out || !sound_virtual || !sound_opened)
    return 0;
  sound_mix(out, frames);
  return frames;
}
