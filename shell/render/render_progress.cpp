#include "render_progress.h"

#include <chrono>
#include <cstdio>
#include <unistd.h>

namespace {
constexpr int32_t bar_width = 24;
constexpr double tty_period = 0.25; // seconds between redraws on a terminal
constexpr double log_period = 10.0; // seconds between lines in a log

double wall_now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

std::string clock_text(double seconds) {
  const int64_t s = seconds > 0 ? int64_t(seconds + 0.5) : 0;
  char text[32];
  if (s >= 3600)
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                  static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
  else
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(s / 60), static_cast<long long>(s % 60));
  return text;
}
} // namespace

void render_progress_begin(render_progress* p, int32_t fps) {
  *p = render_progress{};
  p->fps = fps > 0 ? fps : 60;
  p->tty = isatty(STDERR_FILENO);
  p->start = p->last = wall_now();
}

void render_progress_total(render_progress* p, int64_t total, int32_t estimated) {
  p->total = total > 0 ? total : 0;
  p->estimated = estimated;
}

std::string render_progress_line(int64_t done, int64_t total, int32_t estimated, int32_t fps, double wall_seconds) {
  const double simulated = fps > 0 ? double(done) / fps : 0.0;
  const double speed = wall_seconds > 0 ? simulated / wall_seconds : 0.0;
  // An estimate already passed says nothing any more.
  const int64_t of = total >= done ? total : 0;
  std::string line;
  char part[96];
  if (of > 0) {
    const int32_t filled = int32_t(done * bar_width / of);
    line.assign(1, '[');
    line.append(size_t(filled), '#');
    line.append(size_t(bar_width - filled), '-');
    line += "] ";
    std::snprintf(part, sizeof part, "%lld/%s%lld frames", static_cast<long long>(done), estimated ? "~" : "",
                  static_cast<long long>(of));
  } else {
    std::snprintf(part, sizeof part, "%lld frames", static_cast<long long>(done));
  }
  line += part;
  std::snprintf(part, sizeof part, "  %.1f s  %.2fx real time", simulated, speed);
  line += part;
  if (of > 0 && speed > 0) {
    line += "  ";
    line += clock_text(double(of - done) / fps / speed);
    line += " left";
  }
  return line;
}

double render_progress_elapsed(const render_progress* p) { return wall_now() - p->start; }

void render_progress_frame(render_progress* p, int64_t done) {
  const double now = wall_now();
  if (now - p->last < (p->tty ? tty_period : log_period))
    return;
  p->last = now;
  const std::string line = render_progress_line(done, p->total, p->estimated, p->fps, now - p->start);
  if (p->tty) {
    // Redrawn in place, the rest of a longer line before it wiped.
    const size_t pad = p->shown > line.size() ? p->shown - line.size() : 0;
    std::fprintf(stderr, "\r%s%s", line.c_str(), std::string(pad, ' ').c_str());
    p->shown = line.size();
  } else {
    std::fprintf(stderr, "%s\n", line.c_str());
  }
  std::fflush(stderr);
}

void render_progress_end(render_progress* p, const std::string& text) {
  if (p->tty && p->shown)
    std::fprintf(stderr, "\r%s\r", std::string(p->shown, ' ').c_str());
  p->shown = 0;
  std::fprintf(stderr, "%s\n", text.c_str());
}
