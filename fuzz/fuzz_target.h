// What every fuzz target source provides, and the helpers they share.
//
// A target is one source, fuzz_NAME.cpp, built into the program fuzz_NAME:
// in the clang fuzz preset it is a libFuzzer program, in the GCC presets a
// replayer of corpus files and crash inputs (fuzz_replay.cpp). Either way the
// program answers --write-seeds DIR by writing the target's seed inputs,
// made by the forge's writers, into DIR.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

using fuzz_input = std::vector<uint8_t>;

// Runs the reader on one input and releases whatever it got. Refusing the
// input is a fine answer; crashing, hanging or leaking is not. Returns 0.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// The target's seed inputs, made at run time by the project's writers.
void fuzz_seeds(std::vector<fuzz_input>* out);

// The count of live memory blocks before an input runs.
uint32_t fuzz_blocks_before();
// Aborts (a finding) when the input left memory blocks of the memory helpers
// or files of the in-memory device open.
void fuzz_check_released(uint32_t blocks_before);

// Writes the seeds into dir as NAME-seed-N.bin; 0 with a message when it cannot.
int fuzz_write_seeds(const char* dir, const char* name);
