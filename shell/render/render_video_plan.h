// How a capture is encoded: the container and codecs from the file's
// extension, the video's size and where the frame, scaled by a whole number,
// sits in it; and the ffmpeg command lines of the two passes (the frames
// encoded as they come, then muxed with the show's audio).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum : int32_t {
  RENDER_VIDEO_MP4 = 1, // H.264 in yuv420p with AAC: every player opens it
  RENDER_VIDEO_MKV = 2, // FFV1 in RGB with FLAC: lossless
};

// The video's size unless --size says otherwise.
constexpr int32_t RENDER_VIDEO_WIDTH = 1920;
constexpr int32_t RENDER_VIDEO_HEIGHT = 1080;
// The largest width or height taken.
constexpr int32_t RENDER_VIDEO_MAX_SIDE = 8192;

struct render_video_plan {
  int32_t container;
  int32_t fps;
  int32_t frame_w, frame_h; // the show's frame
  int32_t scale;            // nearest-neighbour, by a whole number
  int32_t width, height;    // the video's
  int32_t x, y;             // the scaled frame's top-left corner in it
};

// The container for a file name by its extension (any case), 0 for none.
int32_t render_video_container(const std::string& path);

// Plans a capture to path. size is "WxH", "native" (exactly the scaled
// frame) or "" (1920x1080); scale 0 takes the largest that fits (for
// "native", the one that fits the default size). 1, or 0 with error.
int render_video_plan_make(const std::string& path, const std::string& size, int32_t scale, int32_t fps,
                           int32_t frame_w, int32_t frame_h, render_video_plan* plan, std::string* error);

// The ffmpeg encoders the container needs.
std::vector<std::string> render_video_encoders(int32_t container);

// ffmpeg's arguments (after the program's name) for the first pass: raw
// frames of the plan (bytes red, green, blue, unused) on standard input,
// encoded without audio into video.
std::vector<std::string> render_video_encode_args(const render_video_plan& plan, const std::string& video);
// ... and for the second: that video copied and the WAV file audio encoded
// into out.
std::vector<std::string> render_video_mux_args(const render_video_plan& plan, const std::string& video,
                                               const std::string& audio, const std::string& out);
