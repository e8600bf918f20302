// The show's two songs: the main song and the end part's song, composed by
// the forge's music library (tools/forge/music/).
#include "forge_plan.h"
#include "songs.h"

namespace {

int songs_make(std::vector<forge_file>* out, std::string* error, const char* name,
               int (*build)(xm_song*, std::string*)) {
  xm_song song;
  std::string why;
  if (!build(&song, &why)) {
    *error = std::string(name) + ": " + why;
    return 0;
  }
  forge_file file;
  file.name = name;
  if (!xm_writer_encode(song, &file.bytes, &why)) {
    *error = std::string(name) + ": " + why;
    return 0;
  }
  int32_t rows = 0;
  for (uint8_t p : song.orders)
    rows += song.patterns[p].rows;
  const double seconds = double(rows) * song.speed * 2.5 / song.tempo;
  file.format = "XM " + std::to_string(song.orders.size()) + " orders, " + std::to_string(song.channels) +
                " channels, " + std::to_string(int32_t(seconds)) + " s";
  out->push_back(std::move(file));
  return 1;
}

} // namespace

void forge_gen_songs(forge_plan* plan) {
  forge_plan_add(plan, "main song", [](std::vector<forge_file>* out, std::string* error) {
    return songs_make(out, error, "data/vorlane.xm", song_main_build);
  });
  forge_plan_add(plan, "end song", [](std::vector<forge_file>* out, std::string* error) {
    return songs_make(out, error, "data/endpart.xm", song_end_build);
  });
}
