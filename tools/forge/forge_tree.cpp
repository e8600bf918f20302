#include "forge_tree.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

int forge_write_tree(const std::string& outdir, const std::vector<forge_file>& files, std::string* error) {
  std::error_code ec;
  const fs::path root(outdir);
  const fs::path data = root / "data";
  const fs::path marker = root / FORGE_MARKER;
  if (fs::exists(data, ec) && !fs::exists(marker, ec)) {
    *error = data.string() + " exists and was not made by forge; remove it or choose another folder";
    return 0;
  }
  fs::create_directories(root, ec);
  if (ec) {
    *error = root.string() + ": " + ec.message();
    return 0;
  }
  {
    std::ofstream mark(marker, std::ios::trunc);
    mark << "made by forge; data/ is rewritten on every run\n";
    if (!mark) {
      *error = "cannot write " + marker.string();
      return 0;
    }
  }
  fs::remove_all(data, ec);
  if (ec) {
    *error = data.string() + ": " + ec.message();
    return 0;
  }
  for (const forge_file& f : files) {
    const fs::path target = root / f.name;
    fs::create_directories(target.parent_path(), ec);
    if (ec) {
      *error = target.parent_path().string() + ": " + ec.message();
      return 0;
    }
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(f.bytes.data()), std::streamsize(f.bytes.size()));
    out.close();
    if (!out) {
      *error = "cannot write " + target.string();
      return 0;
    }
  }
  return 1;
}

std::string forge_list_text(const std::vector<forge_file>& files) {
  std::string text;
  size_t total = 0;
  for (const forge_file& f : files) {
    text += f.name + "\t" + f.format + "\t" + std::to_string(f.bytes.size()) + "\n";
    total += f.bytes.size();
  }
  text += std::to_string(files.size()) + " files, " + std::to_string(total) + " bytes\n";
  return text;
}
