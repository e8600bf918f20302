// demo_render --video: the show's frames go to ffmpeg as they are presented,
// its audio into a temporary WAV file, and both are muxed into the video file
// when the show is over. Everything is written to hidden temporary files
// beside the video, which appears (renamed into place) only when it is whole.
#pragma once

#include "pixmap.h"
#include "render_process.h"
#include "render_video_plan.h"
#include "wav_file.h"

#include <string>
#include <vector>

struct render_video {
  render_video_plan plan;
  std::string path;   // the video file
  std::string ffmpeg; // the program
  // The temporaries beside it: the encoded frames, the audio, the muxed
  // file before its rename (empty: not made).
  std::string video_tmp, audio_tmp, partial;
  render_process encoder;
  wav_file audio;
  std::vector<uint32_t> staging; // one frame as ffmpeg reads it
  int64_t frames;                // frames handed to the encoder
  int32_t failed;                // the encoder stopped reading: the show should stop
};

// Checks all that can be checked before the show (the file's kind, size and
// scale, ffmpeg and its encoders, a folder that takes files) and starts the
// encoder. 1, or 0 with one line in error and nothing left behind.
int render_video_open(render_video* v, const std::string& path, const std::string& size, int32_t scale, int32_t fps,
                      int32_t frame_w, int32_t frame_h, std::string* error);

// Hands over the frame: the top-left frame_w x frame_h of screen. 0 once the
// encoder no longer takes frames.
int render_video_frame(render_video* v, const pixmap* screen);

// Sink for music_virtual_output.samples; user is the render_video.
void render_video_samples(void* user, const int16_t* data, uint32_t frames);

// Ends the capture. With keep set, the encoder finishes, the audio is muxed
// in and the video file takes its place: 1 when it is whole. Without it
// (the show failed or was interrupted) the encoder is stopped. Either way no
// temporary file is left; on failure error says why (ffmpeg's own words
// included).
int render_video_close(render_video* v, int keep, std::string* error);
