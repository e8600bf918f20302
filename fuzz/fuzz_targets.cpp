#include "fuzz_targets.h"

static const fuzz_target target_table[] = {
    {.name = "pcx", .run = fuzz_pcx, .seeds = fuzz_pcx_seeds, .counts_blocks = true},
    {.name = "gif", .run = fuzz_gif, .seeds = fuzz_gif_seeds, .counts_blocks = true},
    {.name = "tga", .run = fuzz_tga, .seeds = fuzz_tga_seeds, .counts_blocks = true},
    {.name = "jpeg", .run = fuzz_jpeg, .seeds = fuzz_jpeg_seeds, .counts_blocks = true},
    {.name = "scx", .run = fuzz_scx, .seeds = fuzz_scx_seeds, .counts_blocks = true},
    {.name = "lwo", .run = fuzz_lwo, .seeds = fuzz_lwo_seeds, .counts_blocks = true},
    {.name = "ase", .run = fuzz_ase, .seeds = fuzz_ase_seeds, .words = fuzz_scene_words, .counts_blocks = true},
    {.name = "tokenizer",
     .run = fuzz_tokenizer,
     .seeds = fuzz_tokenizer_seeds,
     .words = fuzz_scene_words,
     .counts_blocks = true},
    {.name = "pfs", .run = fuzz_pfs, .seeds = fuzz_pfs_seeds},
    {.name = "song", .run = fuzz_song, .seeds = fuzz_song_seeds},
};

const fuzz_target* fuzz_target_list(int* count) {
  *count = int(sizeof target_table / sizeof target_table[0]);
  return target_table;
}
