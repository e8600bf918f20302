// Where the show finds its data files (data.dat, readme.txt): in the current
// directory first; where there is none there, in the data folder of an
// installed show, found relative to the program itself (../share/vorlane
// from bin/), so the installed show runs from any directory.
#pragma once

#include <string>

// The data folder beside an installed program ("<exe dir>/../share/vorlane"),
// or an empty string when the program's own path cannot be read.
std::string install_data_dir();

// `name` itself when a file of that name can be opened from the current
// directory (or `name` is absolute); else the same name in the installed
// data folder when a file is there; else `name` unchanged.
std::string install_find(const char* name);
