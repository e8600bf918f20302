#include "render_video.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The encoders ffmpeg lists ("-encoders": a legend, a rule, then one line
// per encoder with its flags and name).
std::vector<std::string> listed_encoders(const std::string& listing) {
  std::vector<std::string> names;
  std::istringstream in(listing);
  std::string line;
  bool past_rule = false;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string flags, name;
    words >> flags >> name;
    if (!past_rule) {
      past_rule = flags.size() >= 3 && flags.find_first_not_of('-') == std::string::npos;
      continue;
    }
    if (!name.empty())
      names.push_back(name);
  }
  return names;
}

int has_encoders(render_video* v, std::string* error) {
  std::string listing, why;
  if (!render_process_run(v->ffmpeg, {"-hide_banner", "-encoders"}, &listing, &why)) {
    *error = "cannot list ffmpeg's encoders: " + why;
    return 0;
  }
  const std::vector<std::string> have = listed_encoders(listing);
  for (const std::string& want : render_video_encoders(v->plan.container))
    if (std::find(have.begin(), have.end(), want) == have.end()) {
      *error = v->ffmpeg + " has no " + want + " encoder, which " +
               (v->plan.container == RENDER_VIDEO_MP4 ? ".mp4" : ".mkv") + " files need";
      return 0;
    }
  return 1;
}

// A new empty file dir/.base.XXXXXX<suffix>; its name, or empty.
std::string make_temporary(const std::string& path, const std::string& suffix, std::string* error) {
  const size_t slash = path.find_last_of('/');
  const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string name = (dir == "/" ? "" : dir) + "/." + base + ".XXXXXX" + suffix;
  const int fd = mkstemps(name.data(), int(suffix.size()));
  if (fd < 0) {
    *error = "cannot write " + path + ": " + std::strerror(errno);
    return {};
  }
  close(fd);
  return name;
}

void remove_temporaries(render_video* v) {
  for (std::string* name : {&v->video_tmp, &v->audio_tmp, &v->partial}) {
    if (!name->empty())
      std::remove(name->c_str());
    name->clear();
  }
}
} // namespace

int render_video_open(render_video* v, const std::string& path, const std::string& size, int32_t scale, int32_t fps,
                      int32_t frame_w, int32_t frame_h, std::string* error) {
  *v = render_video{};
  v->path = path;
  if (!render_video_plan_make(path, size, scale, fps, frame_w, frame_h, &v->plan, error))
    return 0;
  struct stat st {};
  if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    *error = path + " is a folder";
    return 0;
  }
  v->ffmpeg = render_process_find("ffmpeg");
  if (v->ffmpeg.empty()) {
    *error = "ffmpeg is not on PATH: video capture needs it (Debian's ffmpeg package)";
    return 0;
  }
  if (!has_encoders(v, error))
    return 0;

  const std::string ext = v->plan.container == RENDER_VIDEO_MP4 ? ".mp4" : ".mkv";
  v->video_tmp = make_temporary(path, ".video" + ext, error);
  if (!v->video_tmp.empty())
    v->audio_tmp = make_temporary(path, ".audio.wav", error);
  if (!v->audio_tmp.empty())
    v->partial = make_temporary(path, ".partial" + ext, error);
  if (v->partial.empty()) {
    remove_temporaries(v);
    return 0;
  }
  if (!wav_file_open(&v->audio, v->audio_tmp.c_str(), MUSIC_SAMPLE_RATE)) {
    *error = "cannot write " + v->audio_tmp + ": " + std::strerror(errno);
    remove_temporaries(v);
    return 0;
  }
  v->staging.assign(size_t(frame_w) * size_t(frame_h), 0);
  if (!render_process_start(&v->encoder, v->ffmpeg, render_video_encode_args(v->plan, v->video_tmp), 1, nullptr,
                            error)) {
    wav_file_close(&v->audio);
    remove_temporaries(v);
    return 0;
  }
  return 1;
}

int render_video_frame(render_video* v, const pixmap* screen) {
  if (v->failed)
    return 0;
  const int32_t w = v->plan.frame_w, h = v->plan.frame_h;
  // The screen is at least the frame's size; anything it lacks stays black.
  const int32_t cw = screen ? std::min(w, screen->width) : 0;
  const int32_t ch = screen ? std::min(h, screen->height) : 0;
  if (cw < w || ch < h)
    std::fill(v->staging.begin(), v->staging.end(), 0u);
  for (int32_t y = 0; y < ch; y++)
    std::memcpy(v->staging.data() + size_t(y) * size_t(w), screen->pixels + screen->rows[y], size_t(cw) * 4);
  if (!render_process_write(&v->encoder, v->staging.data(), v->staging.size() * 4)) {
    v->failed = 1;
    return 0;
  }
  v->frames++;
  return 1;
}

void render_video_samples(void* user, const int16_t* data, uint32_t frames) {
  wav_file_write(&static_cast<render_video*>(user)->audio, data, frames);
}

int render_video_close(render_video* v, int keep, std::string* error) {
  const int audio_whole = wav_file_close(&v->audio);
  if (!keep) {
    render_process_stop(&v->encoder);
    remove_temporaries(v);
    return 0;
  }
  int ok = render_process_finish(&v->encoder, error);
  if (ok && v->failed) {
    *error = "ffmpeg stopped taking frames";
    ok = 0;
  }
  if (ok && !audio_whole) {
    *error = "cannot write the audio to " + v->audio_tmp;
    ok = 0;
  }
  if (ok && v->frames == 0) {
    *error = "no frame to put in " + v->path;
    ok = 0;
  }
  if (ok) {
    std::string output;
    ok = render_process_run(v->ffmpeg, render_video_mux_args(v->plan, v->video_tmp, v->audio_tmp, v->partial), &output,
                            error);
  }
  if (ok) {
    // Temporaries are private; the video gets the permissions of any new file.
    const mode_t mask = umask(0);
    umask(mask);
    chmod(v->partial.c_str(), 0666 & ~mask);
  }
  if (ok && std::rename(v->partial.c_str(), v->path.c_str()) != 0) {
    *error = "cannot write " + v->path + ": " + std::strerror(errno);
    ok = 0;
  }
  if (ok)
    v->partial.clear(); // it is the video file now
  remove_temporaries(v);
  return ok;
}
