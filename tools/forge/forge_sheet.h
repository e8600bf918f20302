// Contact sheets: every picture and map of the tree decoded through the
// system's own readers, labelled with its name, one PNG per folder.
#pragma once

#include "forge_plan.h"

#include <string>
#include <vector>

// Which reader a file name goes to: "pcx", "gif", "tga", "jpeg", "scx", or
// empty for files that are not pictures.
std::string forge_sheet_kind(const std::string& name);

// Decodes the files (already written under tree_root, so that the readers
// read them through the file layer) and writes sheet_dir/<folder>.png for
// every folder holding pictures: "data.png" for data/, "data_galaxy.png" for
// data/galaxy/ and so on. Returns 1, or 0 with error set (a picture the
// readers refuse is an error).
int forge_write_sheets(const std::string& sheet_dir, const std::string& tree_root, const std::vector<forge_file>& files,
                       std::string* error);
