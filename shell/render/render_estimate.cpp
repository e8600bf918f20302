#include "render_estimate.h"

#include "mem.h"
#include "sound.h"
#include "vfs.h"

namespace {
constexpr const char* main_song = "data/vorlane.xm";
constexpr const char* end_song = "data/endpart.xm";
} // namespace

double render_estimate_song_seconds(const char* name) {
  int32_t size = 0;
  void* data = vfs_read_all(name, &size);
  if (!data)
    return 0.0;
  sound_song* song = size > 0 ? sound_song_load_memory(data, size_t(size)) : nullptr;
  mem_free(data);
  if (!song)
    return 0.0;
  const double seconds = sound_song_duration(song);
  sound_song_free(song);
  return seconds > 0 ? seconds : 0.0;
}

double render_estimate_show_seconds() {
  return render_estimate_song_seconds(main_song) + render_estimate_song_seconds(end_song);
}

double render_estimate_end_part_seconds() { return render_estimate_song_seconds(end_song); }
