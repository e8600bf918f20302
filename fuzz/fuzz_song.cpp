// Songs on fuzz input, loaded from memory through the sound layer in its
// virtual mode (no audio device), then queried, played and mixed briefly.
#include "fuzz_target.h"
#include "music_songs.h"
#include "sound.h"

#include <cstdio>
#include <cstdlib>

namespace {
void open_virtual_output() {
  static const bool opened = sound_set_virtual(1) && sound_open(SOUND_RATE);
  if (!opened) {
    std::fprintf(stderr, "fuzz: the sound layer's virtual output does not open\n");
    std::abort();
  }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  open_virtual_output();
  sound_song* song = sound_song_load_memory(data, size);
  if (!song)
    return 0;
  const int32_t orders = sound_song_num_orders(song);
  for (int32_t o = 0; o < orders && o < 16; o++)
    sound_song_pattern_rows(song, sound_song_order_pattern(song, o));
  sound_song_duration(song);
  static int16_t frames[2 * 2048];
  sound_song_play(song);
  sound_render(frames, 2048);
  sound_song_set_order(song, orders > 1 ? 1 : 0);
  sound_render(frames, 512);
  sound_song_order(song);
  sound_song_row(song);
  sound_song_stop(song);
  sound_song_free(song);
  return 0;
}

void fuzz_seeds(std::vector<fuzz_input>* out) {
  out->push_back(music_test_song_bytes({16, 32}, 6, 125));
  out->push_back(music_test_song_bytes({4}, 3, 255));
  out->push_back(music_test_song_bytes({8, 1, 64}, 31, 32));
}
