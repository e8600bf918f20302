// The measurement report of demo_render: for every sequencer state entered
// (and the end part) its frames, when it began and ended in simulated time
// and music position, and the wall time of its effect steps; and the
// frame loop's own cost per frame (loop_overhead_us), of which the audio's
// rendering (audio_us) is reported apart; and the start-up's wall time up to
// the first frame (startup_seconds).
#pragma once

#include "shell.h"

#include <cstdint>
#include <string>
#include <vector>

struct render_state_span {
  int32_t state;
  int64_t first_frame;
  int64_t frames;
  double begin_seconds, end_seconds;
  uint32_t begin_order, begin_row, end_order, end_row;
  uint32_t begin_flags, end_flags; // frame pixmap flags
  std::vector<double> step_us;     // wall time of each step that ran
};

struct render_report {
  int32_t fps;
  int64_t frames;
  std::vector<render_state_span> spans;
  // Where the previous frame left the clock and the frame's flags.
  int32_t has_last;
  uint32_t last_order, last_row, last_flags;
  // Wall time of the frame loop after the first frame, and of the effect
  // steps in it: their difference is the loop's and driver's own cost.
  double last_wall_us, loop_us, loop_steps_us;
  // Wall time spent rendering the show's audio (part of the loop's cost).
  double audio_us;
  // Wall time from render_report_begin to the end of the first frame: the
  // start-up (data loaded, every effect initialised) and that frame.
  double begin_wall_us, startup_us;
  // The video capture, when there was one: its file, its frames and the
  // wall time it took, muxing included.
  std::string video_path;
  int64_t video_frames;
  double video_wall_seconds;
};

void render_report_begin(render_report* report, int32_t fps);
// Records one frame of the show.
void render_report_frame(render_report* report, const shell_frame_info* info);

struct render_step_stats {
  double median_us, p95_us, max_us;
};
render_step_stats render_report_stats(const render_state_span& span);

// The report as JSON text. wall_seconds and the result fill the summary.
std::string render_report_json(const render_report* report, double wall_seconds, const shell_result* result,
                               int exit_status);
