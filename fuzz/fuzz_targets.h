// Fuzz targets: one function per reader of untrusted input. Each takes the
// bytes of one file, runs the reader on them and releases whatever it got;
// it returns 1 when the reader accepted the input and 0 when it refused it
// (for the campaign's statistics only: refusing is a fine answer, crashing,
// hanging or leaking is not).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

using fuzz_input = std::vector<uint8_t>;

int fuzz_pcx(const uint8_t* data, size_t size);
int fuzz_gif(const uint8_t* data, size_t size);
int fuzz_tga(const uint8_t* data, size_t size);
int fuzz_jpeg(const uint8_t* data, size_t size);
int fuzz_scx(const uint8_t* data, size_t size);
int fuzz_lwo(const uint8_t* data, size_t size);
int fuzz_ase(const uint8_t* data, size_t size);
int fuzz_tokenizer(const uint8_t* data, size_t size);
int fuzz_pfs(const uint8_t* data, size_t size);
int fuzz_song(const uint8_t* data, size_t size);
int fuzz_asc(const uint8_t* data, size_t size);
int fuzz_pcx24(const uint8_t* data, size_t size);

// Seed inputs of each target, made at run time by the project's own writers
// and encoders.
void fuzz_pcx_seeds(std::vector<fuzz_input>* out);
void fuzz_gif_seeds(std::vector<fuzz_input>* out);
void fuzz_tga_seeds(std::vector<fuzz_input>* out);
void fuzz_jpeg_seeds(std::vector<fuzz_input>* out);
void fuzz_scx_seeds(std::vector<fuzz_input>* out);
void fuzz_lwo_seeds(std::vector<fuzz_input>* out);
void fuzz_ase_seeds(std::vector<fuzz_input>* out);
void fuzz_tokenizer_seeds(std::vector<fuzz_input>* out);
void fuzz_pfs_seeds(std::vector<fuzz_input>* out);
void fuzz_song_seeds(std::vector<fuzz_input>* out);
void fuzz_asc_seeds(std::vector<fuzz_input>* out);
void fuzz_pcx24_seeds(std::vector<fuzz_input>* out);

// Words worth splicing into text inputs (a list ending with none).
extern const char* const fuzz_scene_words[];
extern const char* const fuzz_asc_words[];

struct fuzz_target {
  const char* name;
  int (*run)(const uint8_t* data, size_t size);
  void (*seeds)(std::vector<fuzz_input>* out);
  const char* const* words; // dictionary for the mutator, or none
  bool counts_blocks;       // after each input every memory block and file must be released
};

const fuzz_target* fuzz_target_list(int* count);
