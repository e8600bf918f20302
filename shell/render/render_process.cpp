#include "render_process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {
// Lines of a failed program's standard error that are reported.
constexpr int log_lines_reported = 8;

// The last lines of text, joined by "; ".
std::string last_lines(const std::string& text, int count) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos)
      end = text.size();
    std::string line = text.substr(at, end - at);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
      line.pop_back();
    if (!line.empty())
      lines.push_back(line);
    at = end + 1;
  }
  std::string out;
  for (size_t i = lines.size() > size_t(count) ? lines.size() - size_t(count) : 0; i < lines.size(); i++)
    out += (out.empty() ? "" : "; ") + lines[i];
  return out;
}

std::string read_back(std::FILE* f) {
  std::string text;
  if (!f || std::fseek(f, 0, SEEK_SET) != 0)
    return text;
  char block[4096];
  size_t n;
  while ((n = std::fread(block, 1, sizeof block, f)) > 0)
    text.append(block, n);
  return text;
}

// Waits for the process; its status as waitpid gives it, -1 when lost.
int wait_for(int pid) {
  int status = 0;
  for (;;) {
    if (waitpid(pid, &status, 0) == pid)
      return status;
    if (errno != EINTR)
      return -1;
  }
}

std::string how_it_ended(int status) {
  if (status == -1)
    return "was lost";
  if (WIFSIGNALED(status))
    return "was killed by signal " + std::to_string(WTERMSIG(status));
  return "failed with status " + std::to_string(WEXITSTATUS(status));
}

void close_input(render_process* p) {
  if (p->input >= 0)
    close(p->input);
  p->input = -1;
}

void close_log(render_process* p) {
  if (p->log)
    std::fclose(p->log);
  p->log = nullptr;
}
} // namespace

std::string render_process_find(const std::string& name) {
  const auto runnable = [](const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
  };
  if (name.find('/') != std::string::npos)
    return runnable(name) ? name : std::string();
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "";
  size_t at = 0;
  while (at <= dirs.size()) {
    size_t end = dirs.find(':', at);
    if (end == std::string::npos)
      end = dirs.size();
    const std::string dir = end > at ? dirs.substr(at, end - at) : ".";
    const std::string candidate = dir + "/" + name;
    if (runnable(candidate))
      return candidate;
    at = end + 1;
  }
  return {};
}

int render_process_start(render_process* p, const std::string& program, const std::vector<std::string>& args,
                         int with_input, std::FILE* output, std::string* error) {
  *p = render_process{};
  p->input = -1;
  const size_t slash = program.find_last_of('/');
  p->name = slash == std::string::npos ? program : program.substr(slash + 1);
  p->log = std::tmpfile();
  if (!p->log) {
    *error = std::string("no temporary file for ") + p->name + "'s messages: " + std::strerror(errno);
    return 0;
  }
  fcntl(fileno(p->log), F_SETFD, FD_CLOEXEC); // only this program gets it, as its standard error
  int pipe_fds[2] = {-1, -1};
  if (with_input && pipe2(pipe_fds, O_CLOEXEC) != 0) {
    *error = std::string("no pipe to ") + p->name + ": " + std::strerror(errno);
    close_log(p);
    return 0;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (with_input)
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[0], 0);
  else
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (output)
    posix_spawn_file_actions_adddup2(&actions, fileno(output), 1);
  else
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, fileno(p->log), 2);

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args)
    argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (with_input)
    close(pipe_fds[0]);
  if (failed) {
    *error = "cannot start " + program + ": " + std::strerror(failed);
    if (with_input)
      close(pipe_fds[1]);
    close_log(p);
    return 0;
  }
  p->pid = pid;
  p->input = with_input ? pipe_fds[1] : -1;
  return 1;
}

int render_process_write(render_process* p, const void* data, size_t bytes) {
  if (p->input < 0)
    return 0;
  const auto* at = static_cast<const uint8_t*>(data);
  while (bytes > 0) {
    const ssize_t n = write(p->input, at, bytes);
    if (n < 0) {
      if (errno == EINTR)
        continue;
      close_input(p); // EPIPE: it stopped reading
      return 0;
    }
    at += n;
    bytes -= size_t(n);
  }
  return 1;
}

int render_process_finish(render_process* p, std::string* error) {
  close_input(p);
  if (!p->pid) {
    close_log(p);
    *error = p->name + " is not running";
    return 0;
  }
  const int status = wait_for(p->pid);
  p->pid = 0;
  const std::string said = last_lines(read_back(p->log), log_lines_reported);
  close_log(p);
  if (status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
    return 1;
  *error = p->name + " " + how_it_ended(status) + (said.empty() ? "" : ": " + said);
  return 0;
}

void render_process_stop(render_process* p) {
  close_input(p);
  if (p->pid) {
    kill(p->pid, SIGTERM);
    wait_for(p->pid);
    p->pid = 0;
  }
  close_log(p);
}

int render_process_run(const std::string& program, const std::vector<std::string>& args, std::string* output,
                       std::string* error) {
  std::FILE* out = std::tmpfile();
  if (!out) {
    *error = std::string("no temporary file: ") + std::strerror(errno);
    return 0;
  }
  fcntl(fileno(out), F_SETFD, FD_CLOEXEC);
  render_process p;
  int ok = render_process_start(&p, program, args, 0, out, error) && render_process_finish(&p, error);
  *output = read_back(out);
  std::fclose(out);
  return ok;
}
