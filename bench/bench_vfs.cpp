// Opening and reading a 1 MB archive entry of pseudo-random bytes.
#include "mem.h"
#include "pfs_writer.h"
#include "vfs.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
struct archive_once {
  std::string path;
  archive_once() {
    path = "/tmp/vorlane-bench-" + std::to_string(getpid()) + ".dat";
    std::vector<uint8_t> bytes(1 << 20);
    uint32_t x = 1;
    for (uint8_t& b : bytes) {
      x = x * 1664525u + 1013904223u;
      b = uint8_t(x >> 24);
    }
    pfs_writer_write(path.c_str(), {{"bench/random.bin", bytes}}, nullptr);
    pfs_device.parameter = path.c_str();
    vfs_device_enable(&pfs_device, 0);
  }
  ~archive_once() { std::remove(path.c_str()); }
};
archive_once& archive() {
  static archive_once a;
  return a;
}
} // namespace

static void BM_pfs_open_read_1mb(benchmark::State& state) {
  archive();
  std::vector<uint8_t> buf(1 << 20);
  for (auto _ : state) {
    vfs_file* f = vfs_open("data/bench/random.bin", "rb");
    benchmark::DoNotOptimize(vfs_read(buf.data(), 1, int32_t(buf.size()), f));
    vfs_close(f);
  }
  state.SetBytesProcessed(state.iterations() * int64_t(buf.size()));
}
BENCHMARK(BM_pfs_open_read_1mb)->Unit(benchmark::kMicrosecond);

static void BM_pfs_read_bytewise_1mb(benchmark::State& state) {
  archive();
  for (auto _ : state) {
    vfs_file* f = vfs_open("data/bench/random.bin", "rb");
    uint32_t sum = 0;
    for (int i = 0; i < (1 << 20); i++)
      sum += vfs_read_u8(f);
    benchmark::DoNotOptimize(sum);
    vfs_close(f);
  }
  state.SetBytesProcessed(state.iterations() * (1 << 20));
}
BENCHMARK(BM_pfs_read_bytewise_1mb)->Unit(benchmark::kMicrosecond);
