// The capture's progress on standard error: a bar, frames done of the
// total, simulated seconds, speed as a multiple of real time and the time
// left. On a terminal one line is redrawn in place a few times a second;
// elsewhere (a log) a line is written every few seconds.
#pragma once

#include <cstdint>
#include <string>

struct render_progress {
  int32_t fps;
  int64_t total;     // frames expected; 0 when not known
  int32_t estimated; // the total is an estimate, not a limit
  int32_t tty;       // standard error is a terminal
  double start;      // wall seconds when the show began
  double last;       // wall seconds of the last line
  size_t shown;      // length of the line on the terminal
};

void render_progress_begin(render_progress* p, int32_t fps);
// A new total (estimated: only what the songs suggest).
void render_progress_total(render_progress* p, int64_t total, int32_t estimated);

// One progress line: done frames of total (0: unknown; "~" marks an
// estimate) after wall_seconds of work.
std::string render_progress_line(int64_t done, int64_t total, int32_t estimated, int32_t fps, double wall_seconds);

// After every frame; writes a line when one is due.
void render_progress_frame(render_progress* p, int64_t done);
// Clears the line on a terminal and writes text as the last line.
void render_progress_end(render_progress* p, const std::string& text);
// Wall seconds since begin.
double render_progress_elapsed(const render_progress* p);
