#include "testkit.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

testkit_tempdir::testkit_tempdir(bool enter) {
  std::string templ = (fs::temp_directory_path() / "vorlane-test-XXXXXX").string();
  if (!mkdtemp(templ.data()))
    throw std::runtime_error("mkdtemp failed");
  path = templ;
  if (enter) {
    previous = fs::current_path().string();
    fs::current_path(path);
  }
}

testkit_tempdir::~testkit_tempdir() {
  std::error_code ec;
  if (!previous.empty())
    fs::current_path(previous, ec);
  fs::remove_all(path, ec);
}

void testkit_write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!out)
    throw std::runtime_error("cannot write " + path);
}

void testkit_write_text(const std::string& path, const std::string& text) {
  testkit_write_file(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> testkit_read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> testkit_random_bytes(size_t count, uint32_t seed) {
  std::vector<uint8_t> out(count);
  uint32_t x = seed ? seed : 1;
  for (uint8_t& b : out) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = uint8_t(x >> 7);
  }
  return out;
}

int testkit_run(const std::string& command, std::string* output) {
  FILE* p = popen(command.c_str(), "r");
  if (!p)
    return -1;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0)
    if (output)
      output->append(buf.data(), n);
  const int status = pclose(p);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string testkit_bin_dir() {
  // Test programs live in <build>/tests, the show's programs in <build>/bin.
  const fs::path self = fs::read_symlink("/proc/self/exe");
  return (self.parent_path().parent_path() / "bin").string();
}
