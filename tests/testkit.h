// Shared helpers of the test programs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A fresh temporary directory that is removed with everything in it when the
// object goes. With enter = true the current directory moves into it for the
// object's lifetime.
struct testkit_tempdir {
  std::string path;
  std::string previous;
  explicit testkit_tempdir(bool enter = false);
  ~testkit_tempdir();
  testkit_tempdir(const testkit_tempdir&) = delete;
  testkit_tempdir& operator=(const testkit_tempdir&) = delete;
  std::string file(const std::string& name) const { return path + "/" + name; }
};

void testkit_write_file(const std::string& path, const std::vector<uint8_t>& bytes);
void testkit_write_text(const std::string& path, const std::string& text);
std::vector<uint8_t> testkit_read_file(const std::string& path);

// Deterministic pseudo-random bytes.
std::vector<uint8_t> testkit_random_bytes(size_t count, uint32_t seed);

// Runs a shell command; returns its exit status and (optionally) its output.
int testkit_run(const std::string& command, std::string* output = nullptr);

// Folder of the build's programs (build/bin), from the test's location.
std::string testkit_bin_dir();
