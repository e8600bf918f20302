// The show programs take no arguments but --help and --version; anything
// else on the command line is ignored, and the show starts.
#pragma once

// Prints the help or the version when asked and returns the exit status 0;
// returns -1 when the show should start.
int program_answer(int argc, char** argv, const char* name, const char* what);
