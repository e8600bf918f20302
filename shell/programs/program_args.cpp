#include "program_args.h"

#include "version.h"

#include <cstdio>
#include <cstring>

int program_answer(int argc, char** argv, const char* name, const char* what) {
  for (int i = 1; i < argc; i++) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("%s %s\n", name, VORLANE_VERSION);
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0) {
      std::printf("%s: %s\n\n"
                  "Usage: %s [--help] [--version]\n\n"
                  "Plays the Vorlane demo with its music. It reads data.dat and readme.txt\n"
                  "from the current directory, or else from the installed data folder\n"
                  "(../share/vorlane beside the program's bin folder).\n\n"
                  "Keys: Space skips to the next effect, p pauses the pictures, Escape\n"
                  "leaves; F11 or Alt+Enter switches between window and full screen, F10\n"
                  "between sharp and smooth scaling.\n",
                  name, what, name);
      return 0;
    }
  }
  return -1;
}
