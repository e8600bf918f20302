// A 16-bit stereo PCM WAV file written as samples arrive; the sizes in its
// header are filled in when it is closed. Usable as the sample sink of the
// virtual clock (wav_file_output).
#pragma once

#include "music.h"

#include <cstdint>
#include <cstdio>

struct wav_file {
  std::FILE* stream;
  uint32_t rate;
  uint64_t frames; // frames written so far
  int32_t failed;  // a write failed or the data outgrew the format's 4 GiB
};

// Creates path and writes a header for rate Hz. Returns 1, or 0 (nothing open).
int wav_file_open(wav_file* wav, const char* path, uint32_t rate);
// Appends frames of interleaved stereo samples. 1, or 0 once anything failed.
int wav_file_write(wav_file* wav, const int16_t* data, uint32_t frames);
// Fills in the sizes and closes. 1 when the whole file was written.
int wav_file_close(wav_file* wav);

// Sink for music_virtual_output.samples; user is the wav_file.
void wav_file_sink(void* user, const int16_t* data, uint32_t frames);
// An output record that writes the virtual clock's samples to wav.
music_virtual_output wav_file_output(wav_file* wav);
