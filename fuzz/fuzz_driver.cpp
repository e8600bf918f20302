// Fuzz driver: runs one target of fuzz_targets.h on its seed inputs (made by
// the project's own writers), on the files given on the command line, and on
// a deterministic mutation campaign started from those inputs.
//
//   fuzz --list
//   fuzz TARGET [--iterations N] [--seconds S] [--seed N] [--timeout S]
//               [--out DIR] [--write-seeds DIR] [--verbose] [FILE_OR_FOLDER...]
//
// CTest runs a short campaign of every target (tests/fuzz.cmake). A longer
// run by hand, for instance ten minutes of the PCX reader under the sanitizers:
//   build-asan/bin/fuzz pcx --seconds 600 --seed 7 --out /tmp
// A failing input (crash or sanitizer report, hang beyond the timeout, memory
// block or file left open) is written to OUT/fuzz-TARGET-{crash,hang,leak}.bin;
// replay it with: build-asan/bin/fuzz TARGET OUT/fuzz-TARGET-crash.bin
#include "fuzz_targets.h"
#include "mem.h"
#include "mem_device.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>
#include <sanitizer/common_interface_defs.h>
#endif

namespace {
// The input being run, for the signal and sanitizer handlers.
const uint8_t* volatile current_data = nullptr;
volatile size_t current_size = 0;
char crash_path[4096];
char hang_path[4096];

void say(const char* text) {
  const ssize_t n = write(2, text, std::strlen(text));
  (void)n;
}

// Async-signal-safe: open, write, close only.
void save_current(const char* path) {
  const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0)
    return;
  size_t done = 0;
  while (done < current_size) {
    const ssize_t n = write(fd, current_data + done, current_size - done);
    if (n <= 0)
      break;
    done += size_t(n);
  }
  close(fd);
  say("fuzz: failing input written to ");
  say(path);
  say("\n");
}

void on_death() {
  if (current_data)
    save_current(crash_path);
}

void on_signal(int sig) {
  if (sig == SIGALRM) {
    say("fuzz: input ran past the timeout (hang)\n");
    save_current(hang_path);
    _exit(1);
  }
  say("fuzz: fatal signal\n");
  save_current(crash_path);
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

// splitmix64: small, fast and the same on every machine.
struct fuzz_rng {
  uint64_t state;
  uint64_t next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 .. n - 1 (0 when n is 0).
  size_t below(size_t n) { return n ? size_t(next() % n) : 0; }
};

constexpr size_t FUZZ_MAX_SIZE = 1 << 20;

void put_le(fuzz_input* in, size_t at, uint32_t v, int bytes, bool big_endian) {
  for (int i = 0; i < bytes && at + size_t(i) < in->size(); i++) {
    const int shift = big_endian ? 8 * (bytes - 1 - i) : 8 * i;
    (*in)[at + size_t(i)] = uint8_t(v >> shift);
  }
}

// One change of the input: bit flips, byte values, cuts, copied, inserted or
// deleted chunks, boundary numbers of 16 and 32 bits, dictionary words.
void mutate_once(fuzz_input* in, fuzz_rng* rng, const char* const* words) {
  static const uint32_t values16[] = {0, 1, 2, 0x7F, 0x80, 0xFF, 0x100, 0x7FFF, 0x8000, 0xFFFE, 0xFFFF};
  static const uint32_t values32[] = {0,          1,          0x7F,       0xFF,       0xFFFF,    0x10000,
                                      0x7FFFFFFF, 0x80000000, 0xFFFFFFFE, 0xFFFFFFFF, 0x1000000, 0x40000000};
  const int kinds = words ? 13 : 12;
  const size_t n = in->size();
  const size_t at = rng->below(n);
  switch (rng->below(size_t(kinds))) {
  case 0:
    if (n)
      (*in)[at] ^= uint8_t(1u << rng->below(8));
    else
      in->push_back(uint8_t(rng->next()));
    break;
  case 1:
    if (n)
      (*in)[at] = 0;
    break;
  case 2:
    if (n)
      (*in)[at] = 0xFF;
    break;
  case 3:
    if (n)
      (*in)[at] = uint8_t(rng->next());
    break;
  case 4:
    in->resize(rng->below(n));
    break;
  case 5: { // duplicate a chunk somewhere
    if (!n)
      break;
    const size_t len = 1 + rng->below(std::min<size_t>(n, 256));
    const size_t from = rng->below(n - len + 1);
    const fuzz_input chunk(in->begin() + long(from), in->begin() + long(from + len));
    in->insert(in->begin() + long(rng->below(n + 1)), chunk.begin(), chunk.end());
    break;
  }
  case 6: { // insert random bytes
    const size_t len = 1 + rng->below(16);
    fuzz_input chunk(len);
    for (uint8_t& b : chunk)
      b = uint8_t(rng->next());
    in->insert(in->begin() + long(rng->below(n + 1)), chunk.begin(), chunk.end());
    break;
  }
  case 7: { // delete a chunk
    if (!n)
      break;
    const size_t len = 1 + rng->below(std::min<size_t>(n - at, 256));
    in->erase(in->begin() + long(at), in->begin() + long(at + len));
    break;
  }
  case 8:
    put_le(in, at, values16[rng->below(std::size(values16))], 2, rng->below(2));
    break;
  case 9: {
    // Boundary values, and sizes near the input's own length (offsets).
    const uint32_t v = rng->below(4) ? values32[rng->below(std::size(values32))] : uint32_t(n + rng->below(9) - 4);
    put_le(in, at, v, 4, rng->below(2));
    break;
  }
  case 10:
    if (n)
      (*in)[at] = uint8_t((*in)[at] + rng->below(33) - 16);
    break;
  case 11: { // overwrite a chunk with another part of the input
    if (n < 2)
      break;
    const size_t len = 1 + rng->below(std::min<size_t>(n - at, 64));
    const size_t from = rng->below(n - len + 1);
    std::memmove(in->data() + at, in->data() + from, len);
    break;
  }
  default: { // splice a dictionary word
    size_t count = 0;
    while (words[count])
      count++;
    const char* w = words[rng->below(count)];
    in->insert(in->begin() + long(rng->below(n + 1)), w, w + std::strlen(w));
    break;
  }
  }
  if (in->size() > FUZZ_MAX_SIZE)
    in->resize(FUZZ_MAX_SIZE);
}

bool read_file(const std::filesystem::path& path, fuzz_input* out) {
  std::ifstream f(path, std::ios::binary);
  if (!f)
    return false;
  out->assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  return true;
}

bool write_file(const std::string& path, const fuzz_input& data) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
  return bool(f);
}

struct fuzz_run {
  const fuzz_target* target;
  unsigned timeout;
  std::string leak_path;
  uint64_t runs = 0;
  uint64_t accepted = 0;
};

// Runs one input; false when it left memory blocks or files behind.
bool run_one(fuzz_run* run, const fuzz_input& input) {
  current_data = input.data();
  current_size = input.size();
  const uint32_t blocks = mem_blocks;
  alarm(run->timeout);
  static const uint8_t nothing = 0; // targets never see a null pointer, even for no bytes
  const int ok = run->target->run(input.empty() ? &nothing : input.data(), input.size());
  alarm(0);
  current_data = nullptr;
  current_size = 0;
  run->runs++;
  run->accepted += ok ? 1 : 0;
  if (run->target->counts_blocks && (mem_blocks != blocks || mem_device_open_files() != 0)) {
    std::fprintf(stderr, "fuzz: %s left %d memory blocks and %d files open\n", run->target->name,
                 int(mem_blocks - blocks), int(mem_device_open_files()));
    current_data = input.data();
    current_size = input.size();
    save_current(run->leak_path.c_str());
    current_data = nullptr;
    current_size = 0;
    return false;
  }
  return true;
}

int usage() {
  std::fprintf(stderr, "usage: fuzz --list\n"
                       "       fuzz TARGET [--iterations N] [--seconds S] [--seed N] [--timeout S] [--out DIR]\n"
                       "                   [--write-seeds DIR] [--verbose] [FILE_OR_FOLDER...]\n");
  return 2;
}
} // namespace

int main(int argc, char** argv) {
  int count = 0;
  const fuzz_target* targets = fuzz_target_list(&count);
  if (argc < 2)
    return usage();
  if (std::strcmp(argv[1], "--list") == 0) {
    for (int i = 0; i < count; i++)
      std::printf("%s\n", targets[i].name);
    return 0;
  }
  const fuzz_target* target = nullptr;
  for (int i = 0; i < count; i++)
    if (std::strcmp(argv[1], targets[i].name) == 0)
      target = &targets[i];
  if (!target) {
    std::fprintf(stderr, "fuzz: no target named '%s' (see fuzz --list)\n", argv[1]);
    return 2;
  }

  uint64_t iterations = 0;
  double seconds = 0;
  uint64_t seed = 1;
  unsigned timeout = 5;
  std::string out_dir = ".";
  std::string seeds_dir;
  bool verbose = false;
  std::vector<std::string> corpus;
  for (int i = 2; i < argc; i++) {
    const std::string a = argv[i];
    const bool has_value = i + 1 < argc;
    if (a == "--iterations" && has_value)
      iterations = std::strtoull(argv[++i], nullptr, 10);
    else if (a == "--seconds" && has_value)
      seconds = std::strtod(argv[++i], nullptr);
    else if (a == "--seed" && has_value)
      seed = std::strtoull(argv[++i], nullptr, 10);
    else if (a == "--timeout" && has_value)
      timeout = unsigned(std::strtoul(argv[++i], nullptr, 10));
    else if (a == "--out" && has_value)
      out_dir = argv[++i];
    else if (a == "--write-seeds" && has_value)
      seeds_dir = argv[++i];
    else if (a == "--verbose")
      verbose = true;
    else if (a.rfind("--", 0) == 0)
      return usage();
    else
      corpus.push_back(a);
  }

  std::vector<fuzz_input> pool;
  target->seeds(&pool);
  const size_t seed_count = pool.size();
  if (!seeds_dir.empty()) {
    for (size_t i = 0; i < pool.size(); i++) {
      const std::string path = seeds_dir + "/" + target->name + "-seed-" + std::to_string(i) + ".bin";
      if (!write_file(path, pool[i])) {
        std::fprintf(stderr, "fuzz: cannot write %s\n", path.c_str());
        return 1;
      }
    }
    std::fprintf(stderr, "fuzz: %zu seeds of %s written to %s\n", pool.size(), target->name, seeds_dir.c_str());
    return 0;
  }
  for (const std::string& c : corpus) {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    if (std::filesystem::is_directory(c, ec)) {
      for (const auto& e : std::filesystem::directory_iterator(c, ec))
        if (e.is_regular_file())
          files.push_back(e.path());
      std::sort(files.begin(), files.end());
    } else {
      files.push_back(c);
    }
    for (const auto& f : files) {
      fuzz_input in;
      if (!read_file(f, &in)) {
        std::fprintf(stderr, "fuzz: cannot read %s\n", f.c_str());
        return 1;
      }
      pool.push_back(std::move(in));
    }
  }
  if (pool.empty()) {
    std::fprintf(stderr, "fuzz: no inputs to start from\n");
    return 1;
  }

  const std::string base = out_dir + "/fuzz-" + target->name;
  std::snprintf(crash_path, sizeof crash_path, "%s-crash.bin", base.c_str());
  std::snprintf(hang_path, sizeof hang_path, "%s-hang.bin", base.c_str());
  fuzz_run run{target, timeout, base + "-leak.bin"};
#if defined(__SANITIZE_ADDRESS__)
  // The sanitizers report faults themselves; this keeps the input too.
  __sanitizer_set_death_callback(on_death);
  // GCC's undefined-behaviour runtime is a library of its own with its own
  // callback: register there too, so its reports keep the input as well.
  if (void* ubsan = dlopen("libubsan.so.1", RTLD_NOW | RTLD_NOLOAD)) {
    using set_callback = void (*)(void (*)());
    if (void* f = dlsym(ubsan, "__sanitizer_set_death_callback"))
      reinterpret_cast<set_callback>(f)(on_death);
  }
#else
  std::signal(SIGSEGV, on_signal);
  std::signal(SIGBUS, on_signal);
  std::signal(SIGFPE, on_signal);
  std::signal(SIGILL, on_signal);
  (void)on_death;
#endif
  std::signal(SIGABRT, on_signal);
  std::signal(SIGALRM, on_signal);
  // The readers print progress lines; thousands of them help nobody.
  if (!verbose && !std::freopen("/dev/null", "w", stdout))
    return 1;
  vfs_device_enable(&mem_device, 0);

  const auto start = std::chrono::steady_clock::now();
  for (const fuzz_input& in : pool)
    if (!run_one(&run, in))
      return 1;

  fuzz_rng rng{seed};
  fuzz_input last;
  int stacked = 0;
  uint64_t mutated = 0;
  for (;; mutated++) {
    if (seconds > 0) {
      if (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >= seconds)
        break;
    } else if (mutated >= iterations) {
      break;
    }
    // Mostly a fresh copy of a pool input; sometimes the last mutant again,
    // so changes pile up in a few places.
    fuzz_input in;
    if (stacked > 0 && stacked < 8 && rng.below(3) == 0) {
      in = last;
      stacked++;
    } else {
      in = pool[rng.below(pool.size())];
      stacked = 1;
    }
    const size_t changes = rng.below(4) ? 1 + rng.below(4) : 1 + rng.below(16);
    for (size_t i = 0; i < changes; i++)
      mutate_once(&in, &rng, target->words);
    if (!run_one(&run, in))
      return 1;
    last = std::move(in);
  }
  const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::fprintf(stderr,
               "fuzz %s: %zu seeds, %zu corpus files, %llu mutated inputs (seed %llu) in %.2f s; %llu of %llu "
               "inputs accepted\n",
               target->name, seed_count, pool.size() - seed_count, (unsigned long long)mutated,
               (unsigned long long)seed, took, (unsigned long long)run.accepted, (unsigned long long)run.runs);
  return 0;
}
