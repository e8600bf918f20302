#include "render_report.h"

#include <algorithm>
#include <chrono>
#include <nlohmann/json.hpp>

namespace {
double wall_us() {
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
} // namespace

void render_report_begin(render_report* report, int32_t fps) {
  report->fps = fps > 0 ? fps : 60;
  report->frames = 0;
  report->spans.clear();
  report->has_last = 0;
  report->loop_us = 0;
  report->loop_steps_us = 0;
  report->audio_us = 0;
  report->video_path.clear();
  report->video_frames = 0;
  report->video_wall_seconds = 0;
  report->begin_wall_us = wall_us();
  report->startup_us = 0;
}

void render_report_frame(render_report* report, const shell_frame_info* info) {
  const int64_t n = report->frames++;
  // A frame ends at simulated time (n + 1) / fps.
  const double now = double(n + 1) / report->fps;
  if (report->spans.empty() || report->spans.back().state != info->part_state) {
    render_state_span span{};
    span.state = info->part_state;
    span.first_frame = n;
    span.begin_seconds = double(n) / report->fps;
    // A state begins where the frame before it left the clock; the first
    // frame, and the end part with its own song, start from the top of a song.
    const int32_t from_last = report->has_last && info->part_state != SHELL_END_PART;
    span.begin_order = from_last ? report->last_order : 0;
    span.begin_row = from_last ? report->last_row : 0;
    span.begin_flags = report->has_last ? report->last_flags : info->frame_flags;
    report->spans.push_back(std::move(span));
  }
  render_state_span& span = report->spans.back();
  span.frames++;
  span.end_seconds = now;
  span.end_order = info->order;
  span.end_row = info->row;
  span.end_flags = info->frame_flags;
  if (info->stepped)
    span.step_us.push_back(info->step_us);
  // The loop's own cost: wall time between the first and the last frame
  // minus the effect steps inside it.
  const double now_us = wall_us();
  if (report->has_last) {
    report->loop_us += now_us - report->last_wall_us;
    if (info->stepped)
      report->loop_steps_us += info->step_us;
  }
  if (n == 0)
    report->startup_us = now_us - report->begin_wall_us;
  report->last_wall_us = now_us;
  report->has_last = 1;
  report->last_order = info->order;
  report->last_row = info->row;
  report->last_flags = info->frame_flags;
}

render_step_stats render_report_stats(const render_state_span& span) {
  if (span.step_us.empty())
    return {0, 0, 0};
  std::vector<double> v = span.step_us;
  std::sort(v.begin(), v.end());
  const auto at = [&](double q) { return v[std::min(v.size() - 1, size_t(q * double(v.size() - 1) + 0.5))]; };
  return {at(0.5), at(0.95), v.back()};
}

std::string render_report_json(const render_report* report, double wall_seconds, const shell_result* result,
                               int exit_status) {
  nlohmann::json states = nlohmann::json::array();
  for (const render_state_span& s : report->spans) {
    const render_step_stats st = render_report_stats(s);
    states.push_back({
        {"state", s.state == SHELL_END_PART ? nlohmann::json("end_part") : nlohmann::json(s.state)},
        {"first_frame", s.first_frame},
        {"frames", s.frames},
        {"begin_seconds", s.begin_seconds},
        {"end_seconds", s.end_seconds},
        {"begin", {{"order", s.begin_order}, {"row", s.begin_row}, {"frame_flags", s.begin_flags}}},
        {"end", {{"order", s.end_order}, {"row", s.end_row}, {"frame_flags", s.end_flags}}},
        {"step_us", {{"median", st.median_us}, {"p95", st.p95_us}, {"max", st.max_us}}},
    });
  }
  nlohmann::json doc = {
      {"fps", report->fps},
      {"frames", report->frames},
      {"simulated_seconds", double(report->frames) / report->fps},
      {"wall_seconds", wall_seconds},
      {"startup_seconds", report->startup_us / 1e6},
      {"loop_overhead_us",
       report->frames > 1 ? std::max(0.0, report->loop_us - report->loop_steps_us) / double(report->frames - 1) : 0.0},
      {"audio_us", report->frames > 0 ? report->audio_us / double(report->frames) : 0.0},
      {"final_state", result->final_state},
      {"end_part_ran", result->end_part_ran != 0},
      {"exit_path", result->exit_path ? result->exit_path : "end"},
      {"exit_status", exit_status},
      {"states", states},
  };
  if (!report->video_path.empty()) {
    const double seconds = double(report->video_frames) / report->fps;
    const double wall = report->video_wall_seconds;
    doc["video"] = {{"file", report->video_path},
                    {"frames", report->video_frames},
                    {"wall_seconds", wall},
                    {"real_time_multiple", wall > 0 ? seconds / wall : 0.0}};
  }
  return doc.dump(2) + "\n";
}
