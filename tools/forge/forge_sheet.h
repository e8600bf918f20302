// Contact sheets: every picture and map of the tree decoded through the
// system's own readers, labelled with its name, one PNG per folder.
#pragma once

#include "forge_plan.h"

#include <string>
#include <vector>

// Writes sheet_dir/<folder>.png for every folder holding pictures ("data"
// for the top folder, "data_galaxy" for data/galaxy, ...). Returns 1, or 0
// with error set (a picture the readers refuse is an error).
int forge_write_sheets(const std::string& sheet_dir, const std::vector<forge_file>& files, std::string* error);
