#include "install_path.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {
bool install_readable(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f)
    return false;
  std::fclose(f);
  return true;
}
} // namespace

std::string install_data_dir() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || self.empty())
    return {};
  return (self.parent_path().parent_path() / "share" / "vorlane").string();
}

std::string install_find(const char* name) {
  const std::string plain = name ? name : "";
  if (plain.empty() || plain.front() == '/' || install_readable(plain))
    return plain;
  const std::string dir = install_data_dir();
  if (dir.empty())
    return plain;
  const std::string installed = dir + "/" + plain;
  return install_readable(installed) ? installed : plain;
}
