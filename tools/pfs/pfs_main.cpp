// pfs: writes, lists and reads packed data archives.
#include "mem.h"
#include "pfs_archive.h"
#include "pfs_writer.h"
#include "version.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

static int pfs_die(const std::string& text) {
  std::fprintf(stderr, "pfs: %s\n", text.c_str());
  return 1;
}

static int pfs_cmd_pack(const std::string& dir, const std::string& archive) {
  std::string error;
  if (!pfs_writer_pack_dir(dir.c_str(), archive.c_str(), &error))
    return pfs_die(error);
  return 0;
}

static int pfs_cmd_list(const std::string& path) {
  pfs_archive archive;
  std::string error;
  if (!pfs_archive_open(&archive, path.c_str(), &error))
    return pfs_die(path + ": " + error);
  for (const pfs_entry& e : archive.entries)
    std::printf("%s\t%u\t%u\n", e.name.c_str(), e.unpacked_size, e.packed_size);
  return 0;
}

static int pfs_cmd_cat(const std::string& path, const std::string& name) {
  pfs_archive archive;
  std::string error;
  if (!pfs_archive_open(&archive, path.c_str(), &error))
    return pfs_die(path + ": " + error);
  const pfs_entry* e = pfs_archive_find(&archive, pfs_entry_name(name.c_str()));
  if (!e)
    return pfs_die(name + ": no such entry in " + path);
  uint8_t* data = pfs_archive_inflate(&archive, e, &error);
  if (!data)
    return pfs_die(error);
  const bool ok = std::fwrite(data, 1, e->unpacked_size, stdout) == e->unpacked_size && std::fflush(stdout) == 0;
  mem_free(data);
  return ok ? 0 : pfs_die("cannot write to standard output");
}

// An entry name as a safe relative path: backslashes become '/', and names
// that are absolute or climb out with ".." are refused.
static bool pfs_safe_relative(const std::string& name, fs::path* out) {
  std::string n = name;
  for (char& c : n)
    if (c == '\\')
      c = '/';
  const fs::path p(n);
  if (n.empty() || p.is_absolute() || p.has_root_name())
    return false;
  for (const fs::path& part : p)
    if (part == "..")
      return false;
  *out = p;
  return true;
}

static int pfs_cmd_extract(const std::string& path, const std::string& dir) {
  pfs_archive archive;
  std::string error;
  if (!pfs_archive_open(&archive, path.c_str(), &error))
    return pfs_die(path + ": " + error);
  for (const pfs_entry& e : archive.entries) {
    fs::path rel;
    if (!pfs_safe_relative(e.name, &rel))
      return pfs_die(e.name + ": refused, it would escape " + dir);
    const fs::path target = fs::path(dir) / rel;
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    if (ec)
      return pfs_die(target.parent_path().string() + ": " + ec.message());
    uint8_t* data = pfs_archive_inflate(&archive, &e, &error);
    if (!data)
      return pfs_die(error);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(e.unpacked_size));
    mem_free(data);
    // Closed before the check: a write that fails while flushing (a full
    // disk) shows only then.
    out.close();
    if (!out)
      return pfs_die("cannot write " + target.string());
  }
  return 0;
}

int main(int argc, char** argv) {
  CLI::App app{"pfs: writes, lists and reads packed data archives (data.dat)"};
  app.set_version_flag("--version", std::string("pfs ") + VORLANE_VERSION);
  app.require_subcommand(1);
  std::string dir, archive, name;

  CLI::App* pack = app.add_subcommand("pack", "pack every regular file under DIR into ARCHIVE");
  pack->add_option("DIR", dir)->required();
  pack->add_option("ARCHIVE", archive)->required();
  CLI::App* list = app.add_subcommand("list", "one line per entry: name, unpacked size, packed size");
  list->add_option("ARCHIVE", archive)->required();
  CLI::App* cat = app.add_subcommand("cat", "write one entry to standard output");
  cat->add_option("ARCHIVE", archive)->required();
  cat->add_option("NAME", name, "name as the program gives it, e.g. data/intro/torus.lwo")->required();
  CLI::App* extract = app.add_subcommand("extract", "write every entry under DIR");
  extract->add_option("ARCHIVE", archive)->required();
  extract->add_option("DIR", dir)->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0)
      return app.exit(e);
    return pfs_die(e.what());
  }
  if (*pack)
    return pfs_cmd_pack(dir, archive);
  if (*list)
    return pfs_cmd_list(archive);
  if (*cat)
    return pfs_cmd_cat(archive, name);
  return pfs_cmd_extract(archive, dir);
}
