#include "render_video_plan.h"

#include <algorithm>
#include <cctype>

namespace {
// H.264: the quality asked of x264 and how hard it works for it. The frames
// are flat-shaded pixel art scaled by whole numbers; this keeps their edges.
constexpr const char* x264_preset = "veryfast";
constexpr const char* x264_crf = "16";
constexpr const char* aac_bitrate = "256k";

std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return s;
}

// A positive decimal number of at most five digits, or 0.
int32_t parse_side(const std::string& text) {
  if (text.empty() || text.size() > 5 || !std::all_of(text.begin(), text.end(), ::isdigit))
    return 0;
  return std::stoi(text);
}

std::string size_text(int32_t w, int32_t h) { return std::to_string(w) + "x" + std::to_string(h); }
} // namespace

int32_t render_video_container(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  const size_t slash = path.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return 0;
  const std::string ext = lower(path.substr(dot));
  if (ext == ".mp4")
    return RENDER_VIDEO_MP4;
  if (ext == ".mkv")
    return RENDER_VIDEO_MKV;
  return 0;
}

int render_video_plan_make(const std::string& path, const std::string& size, int32_t scale, int32_t fps,
                           int32_t frame_w, int32_t frame_h, render_video_plan* plan, std::string* error) {
  render_video_plan p{};
  p.container = render_video_container(path);
  if (!p.container) {
    *error = path + ": unknown kind of video file (.mp4 or .mkv)";
    return 0;
  }
  if (fps <= 0 || frame_w <= 0 || frame_h <= 0 || scale < 0) {
    *error = "no frame to capture";
    return 0;
  }
  p.fps = fps;
  p.frame_w = frame_w;
  p.frame_h = frame_h;
  const bool native = size == "native";
  int32_t w = RENDER_VIDEO_WIDTH, h = RENDER_VIDEO_HEIGHT;
  if (!native && !size.empty()) {
    const size_t x = size.find('x');
    w = x == std::string::npos ? 0 : parse_side(size.substr(0, x));
    h = x == std::string::npos ? 0 : parse_side(size.substr(x + 1));
    if (!w || !h || w > RENDER_VIDEO_MAX_SIDE || h > RENDER_VIDEO_MAX_SIDE) {
      *error =
          "--size wants WxH (each 1 to " + std::to_string(RENDER_VIDEO_MAX_SIDE) + ") or native, got '" + size + "'";
      return 0;
    }
  }
  p.scale = scale ? scale : std::min(w / frame_w, h / frame_h);
  if (native) {
    w = int32_t(std::min<int64_t>(int64_t(frame_w) * p.scale, RENDER_VIDEO_MAX_SIDE + 1));
    h = int32_t(std::min<int64_t>(int64_t(frame_h) * p.scale, RENDER_VIDEO_MAX_SIDE + 1));
    if (w > RENDER_VIDEO_MAX_SIDE || h > RENDER_VIDEO_MAX_SIDE) {
      *error = "--scale " + std::to_string(p.scale) + " makes a video larger than " +
               std::to_string(RENDER_VIDEO_MAX_SIDE) + " pixels a side";
      return 0;
    }
  }
  if (p.scale == 0) {
    *error = "--size " + size_text(w, h) + " is smaller than the " + size_text(frame_w, frame_h) + " frame";
    return 0;
  }
  if (int64_t(frame_w) * p.scale > w || int64_t(frame_h) * p.scale > h) {
    *error = "--scale " + std::to_string(p.scale) + " makes " +
             size_text(int32_t(std::min<int64_t>(int64_t(frame_w) * p.scale, INT32_MAX)),
                       int32_t(std::min<int64_t>(int64_t(frame_h) * p.scale, INT32_MAX))) +
             ", larger than the video's " + size_text(w, h);
    return 0;
  }
  if (p.container == RENDER_VIDEO_MP4 && (w % 2 || h % 2)) {
    *error = "H.264 wants an even width and height, got " + size_text(w, h);
    return 0;
  }
  p.width = w;
  p.height = h;
  p.x = (w - frame_w * p.scale) / 2;
  p.y = (h - frame_h * p.scale) / 2;
  if (p.container == RENDER_VIDEO_MP4) {
    // Chroma comes in 2x2 blocks: the frame starts on one.
    p.x &= ~1;
    p.y &= ~1;
  }
  *plan = p;
  return 1;
}

std::vector<std::string> render_video_encoders(int32_t container) {
  if (container == RENDER_VIDEO_MP4)
    return {"libx264", "aac"};
  if (container == RENDER_VIDEO_MKV)
    return {"ffv1", "flac"};
  return {};
}

std::vector<std::string> render_video_encode_args(const render_video_plan& plan, const std::string& video) {
  const std::string scaled =
      std::to_string(plan.frame_w * plan.scale) + ":" + std::to_string(plan.frame_h * plan.scale);
  const std::string pad = "pad=" + std::to_string(plan.width) + ":" + std::to_string(plan.height) + ":" +
                          std::to_string(plan.x) + ":" + std::to_string(plan.y) + ":black";
  std::vector<std::string> args = {"-hide_banner",
                                   "-nostdin",
                                   "-loglevel",
                                   "error",
                                   "-y",
                                   "-f",
                                   "rawvideo",
                                   "-pix_fmt",
                                   "rgb0",
                                   "-video_size",
                                   size_text(plan.frame_w, plan.frame_h),
                                   "-framerate",
                                   std::to_string(plan.fps),
                                   "-i",
                                   "pipe:0",
                                   "-an"};
  if (plan.container == RENDER_VIDEO_MP4) {
    // Each frame pixel's own colour goes into the chroma (no averaging with
    // its neighbour before scaling), converted with the HD matrix that
    // players assume for video of this size, and tagged so.
    const std::vector<std::string> tail = {
        "-vf",
        "scale=" + scaled + ":flags=neighbor+full_chroma_inp+accurate_rnd:out_color_matrix=bt709:out_range=tv," +
            "format=yuv420p," + pad,
        "-c:v",
        "libx264",
        "-preset",
        x264_preset,
        "-crf",
        x264_crf,
        "-pix_fmt",
        "yuv420p",
        "-colorspace",
        "bt709",
        "-color_primaries",
        "bt709",
        "-color_trc",
        "bt709",
        "-color_range",
        "tv",
        "-f",
        "mp4",
        video};
    args.insert(args.end(), tail.begin(), tail.end());
  } else {
    // RGB all the way: every pixel as the show drew it. Intra frames in
    // slices, checked by CRC, as archives of FFV1 are kept.
    const std::vector<std::string> tail = {"-vf",       "scale=" + scaled + ":flags=neighbor,format=bgr0," + pad,
                                           "-c:v",      "ffv1",
                                           "-level",    "3",
                                           "-g",        "1",
                                           "-slices",   "4",
                                           "-slicecrc", "1",
                                           "-f",        "matroska",
                                           video};
    args.insert(args.end(), tail.begin(), tail.end());
  }
  return args;
}

std::vector<std::string> render_video_mux_args(const render_video_plan& plan, const std::string& video,
                                               const std::string& audio, const std::string& out) {
  std::vector<std::string> args = {"-hide_banner", "-nostdin", "-loglevel", "error", "-y",    "-i",   video, "-i",
                                   audio,          "-map",     "0:v:0",     "-map",  "1:a:0", "-c:v", "copy"};
  if (plan.container == RENDER_VIDEO_MP4) {
    const std::vector<std::string> tail = {"-c:a",       "aac", "-b:a", aac_bitrate, "-movflags",
                                           "+faststart", "-f",  "mp4",  out};
    args.insert(args.end(), tail.begin(), tail.end());
  } else {
    const std::vector<std::string> tail = {"-c:a", "flac", "-f", "matroska", out};
    args.insert(args.end(), tail.begin(), tail.end());
  }
  return args;
}
