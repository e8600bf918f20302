// A helper program run by demo_render (ffmpeg): found on PATH, started with a
// pipe to its standard input where asked, its standard error kept in an
// anonymous temporary file so that its own words tell why it failed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct render_process {
  std::string name; // as it is reported
  int pid;          // 0: not running
  int input;        // write end of the pipe to its standard input, or -1
  std::FILE* log;   // its standard error
};

// The executable name on PATH (or name itself when it holds a slash);
// empty when there is none.
std::string render_process_find(const std::string& name);

// Starts program with args. with_input: a pipe to its standard input (else
// /dev/null); output: where its standard output goes (none: /dev/null).
// 1, or 0 with error.
int render_process_start(render_process* p, const std::string& program, const std::vector<std::string>& args,
                         int with_input, std::FILE* output, std::string* error);

// Writes all of data to its standard input. 0 once it no longer reads.
int render_process_write(render_process* p, const void* data, size_t bytes);

// Closes its standard input and waits for it. 1 when it ended with status 0;
// otherwise 0 with error telling how it ended and the last lines it wrote on
// standard error.
int render_process_finish(render_process* p, std::string* error);

// Ends it (SIGTERM) and waits, for a capture given up on our side.
void render_process_stop(render_process* p);

// Runs program with args to the end, its standard output into *output.
// 1 when it ended with status 0, else 0 with error.
int render_process_run(const std::string& program, const std::vector<std::string>& args, std::string* output,
                       std::string* error);
