#include "fuzz_targets.h"

static const fuzz_target target_table[] = {
    {"pcx", fuzz_pcx, fuzz_pcx_seeds, nullptr, true},
    {"gif", fuzz_gif, fuzz_gif_seeds, nullptr, true},
    {"tga", fuzz_tga, fuzz_tga_seeds, nullptr, true},
    {"jpeg", fuzz_jpeg, fuzz_jpeg_seeds, nullptr, true},
    {"scx", fuzz_scx, fuzz_scx_seeds, nullptr, true},
    {"lwo", fuzz_lwo, fuzz_lwo_seeds, nullptr, true},
    {"ase", fuzz_ase, fuzz_ase_seeds, fuzz_scene_words, true},
    {"tokenizer", fuzz_tokenizer, fuzz_tokenizer_seeds, fuzz_scene_words, true},
    {"pfs", fuzz_pfs, fuzz_pfs_seeds, nullptr, false},
    {"song", fuzz_song, fuzz_song_seeds, nullptr, false},
    {"asc", fuzz_asc, fuzz_asc_seeds, fuzz_asc_words, true},
    {"pcx24", fuzz_pcx24, fuzz_pcx24_seeds, nullptr, true},
};

const fuzz_target* fuzz_target_list(int* count) {
  *count = int(sizeof target_table / sizeof target_table[0]);
  return target_table;
}
