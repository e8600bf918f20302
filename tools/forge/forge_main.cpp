// forge: generates the show's data tree.
#include "forge_plan.h"
#include "forge_sheet.h"
#include "forge_tree.h"
#include "pfs_writer.h"
#include "version.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

static int forge_die(const std::string& text) {
  std::fprintf(stderr, "forge: %s\n", text.c_str());
  return 1;
}

int main(int argc, char** argv) {
  CLI::App app{"forge: generates the show's data tree (OUTDIR/data/...), the same bytes on every run"};
  app.set_version_flag("--version", std::string("forge ") + VORLANE_VERSION);
  std::string outdir, sheet_dir, only, archive;
  bool list = false;
  int32_t threads = int32_t(std::min(8u, std::max(1u, std::thread::hardware_concurrency())));
  app.add_option("OUTDIR", outdir, "folder to write data/ into");
  app.add_flag("--list", list, "print every file with its format and size");
  app.add_option("--sheet", sheet_dir, "write contact sheets (PNG, one per folder) into this folder");
  app.add_option("--jobs,-j", threads, "threads to generate with")->check(CLI::Range(1, 64));
  app.add_option("--only", only, "make only the files whose names start with this prefix");
  app.add_option("--archive", archive, "then pack OUTDIR/data into this archive, as `pfs pack` does");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0)
      return app.exit(e);
    return forge_die(e.what());
  }
  if (outdir.empty() && !list && sheet_dir.empty())
    return forge_die("nothing to do: give OUTDIR, --list or --sheet DIR (see --help)");
  if (!archive.empty() && outdir.empty())
    return forge_die("--archive packs the tree written to OUTDIR: give OUTDIR");

  forge_plan plan;
  forge_plan_all(&plan);
  std::vector<forge_file> files;
  std::string error;
  if (!forge_run(&plan, threads, &files, &error))
    return forge_die(error);
  if (!only.empty())
    std::erase_if(files, [&](const forge_file& f) { return f.name.compare(0, only.size(), only) != 0; });

  if (!outdir.empty() && !forge_write_tree(outdir, files, &error))
    return forge_die(error);
  // Packed from the tree on disk, so the archive is byte for byte what
  // `pfs pack OUTDIR/data` makes of it.
  if (!archive.empty() &&
      !pfs_writer_pack_dir((std::filesystem::path(outdir) / "data").c_str(), archive.c_str(), &error))
    return forge_die(error);
  if (list)
    std::fputs(forge_list_text(files).c_str(), stdout);
  if (sheet_dir.empty())
    return 0;
  // The readers read files: without OUTDIR the tree goes to a scratch folder.
  std::string root = outdir, scratch;
  if (root.empty()) {
    std::string templ = (std::filesystem::temp_directory_path() / "forge-sheet-XXXXXX").string();
    if (!mkdtemp(templ.data()))
      return forge_die("cannot make a scratch folder");
    root = scratch = templ;
    if (!forge_write_tree(root, files, &error))
      return forge_die(error);
  }
  const int ok = forge_write_sheets(sheet_dir, root, files, &error);
  if (!scratch.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(scratch, ec);
  }
  return ok ? 0 : forge_die(error);
}
