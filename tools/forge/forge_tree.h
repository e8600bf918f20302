// Writing the generated files as a tree on disk.
#pragma once

#include "forge_plan.h"

#include <string>
#include <vector>

// Name of the marker file beside data/ that shows a folder was made by the
// forge (so it may be rewritten).
constexpr const char* FORGE_MARKER = ".forge-tree";

// Writes every file under outdir (file "data/x" to outdir/data/x). An
// existing outdir/data is replaced only when the marker says the forge made
// it; anything else there is refused. Returns 1, or 0 with error set.
int forge_write_tree(const std::string& outdir, const std::vector<forge_file>& files, std::string* error);

// One line per file: name, format, size in bytes (tab-separated), then a
// total line.
std::string forge_list_text(const std::vector<forge_file>& files);
