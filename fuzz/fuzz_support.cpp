// The parts every fuzz program shares: writing the seeds, the check that an
// input released everything, and the start-up hook libFuzzer calls.
#include "fuzz_target.h"

#include "mem.h"
#include "mem_device.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

uint32_t fuzz_blocks_before() { return mem_blocks; }

void fuzz_check_released(uint32_t blocks_before) {
  if (mem_blocks == blocks_before && mem_device_open_files() == 0)
    return;
  std::fprintf(stderr, "fuzz: the input left %d memory blocks and %d files open\n", int(mem_blocks - blocks_before),
               int(mem_device_open_files()));
  std::abort();
}

int fuzz_write_seeds(const char* dir, const char* name) {
  std::vector<fuzz_input> seeds;
  fuzz_seeds(&seeds);
  for (size_t i = 0; i < seeds.size(); i++) {
    const std::string path = std::string(dir) + "/" + name + "-seed-" + std::to_string(i) + ".bin";
    FILE* f = std::fopen(path.c_str(), "wb");
    const bool ok = f && (seeds[i].empty() || std::fwrite(seeds[i].data(), 1, seeds[i].size(), f) == seeds[i].size());
    if (!f || std::fclose(f) != 0 || !ok) {
      std::fprintf(stderr, "fuzz: cannot write %s\n", path.c_str());
      return 0;
    }
  }
  return 1;
}

// Called by libFuzzer before it reads its flags (and by the replayer): answers
// --write-seeds DIR, and silences the readers' progress lines on standard
// output (thousands of them help nobody; findings go to standard error).
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  char** args = *argv;
  if (*argc == 3 && std::strcmp(args[1], "--write-seeds") == 0) {
    const char* slash = std::strrchr(args[0], '/');
    const char* program = slash ? slash + 1 : args[0];
    const char* name = std::strncmp(program, "fuzz_", 5) == 0 ? program + 5 : program;
    std::exit(fuzz_write_seeds(args[2], name) ? 0 : 1);
  }
  if (!std::getenv("FUZZ_VERBOSE") && !std::freopen("/dev/null", "w", stdout))
    std::exit(1);
  return 0;
}
