// The main of the fuzz programs in the GCC builds: replays inputs through the
// target, without mutating them (the clang fuzz preset links libFuzzer's own
// main instead).
//
//   fuzz_NAME [FILE_OR_FOLDER...]   the target's seeds, then every file given
//                                   and every file of each folder
//   fuzz_NAME --write-seeds DIR
//
// Arguments that begin with '-' (libFuzzer's flags) are ignored, so a command
// line of the libFuzzer program replays its inputs here as well.
#include "fuzz_target.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {
int replay(const fuzz_input& in) {
  static const uint8_t nothing = 0; // never a null pointer, even for no bytes
  return LLVMFuzzerTestOneInput(in.empty() ? &nothing : in.data(), in.size());
}

bool read_file(const std::filesystem::path& path, fuzz_input* out) {
  std::ifstream f(path, std::ios::binary);
  if (!f)
    return false;
  out->assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  return true;
}
} // namespace

int main(int argc, char** argv) {
  LLVMFuzzerInitialize(&argc, &argv);
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; i++) {
    if (argv[i][0] == '-')
      continue;
    std::error_code ec;
    if (!std::filesystem::is_directory(argv[i], ec)) {
      files.push_back(argv[i]);
      continue;
    }
    std::vector<std::filesystem::path> inside;
    for (const auto& e : std::filesystem::directory_iterator(argv[i], ec))
      if (e.is_regular_file())
        inside.push_back(e.path());
    std::sort(inside.begin(), inside.end());
    files.insert(files.end(), inside.begin(), inside.end());
  }
  std::vector<fuzz_input> seeds;
  fuzz_seeds(&seeds);
  for (const fuzz_input& in : seeds)
    replay(in);
  size_t runs = seeds.size();
  for (const auto& f : files) {
    fuzz_input in;
    if (!read_file(f, &in)) {
      std::fprintf(stderr, "%s: cannot read %s\n", argv[0], f.c_str());
      return 1;
    }
    replay(in);
    runs++;
  }
  if (runs == 0) {
    std::fprintf(stderr, "%s: no inputs\n", argv[0]);
    return 1;
  }
  std::fprintf(stderr, "%s: %zu inputs replayed\n", argv[0], runs);
  return 0;
}
