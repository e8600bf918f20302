// Where the picture goes in the window: the scale a window opens at, the
// rectangle the picture fills with its aspect kept, and the mapping of
// pointer positions between the window and the picture.
#pragma once

#include <cstdint>

struct video_rect {
  int32_t x, y, w, h;
};

// The largest integer multiple (at least 1) of a picture of width x height
// that fits 80% of a desktop of desktop_w x desktop_h.
int32_t video_window_scale(int32_t desktop_w, int32_t desktop_h, int32_t width, int32_t height);

// The largest rectangle of aspect aspect_w : aspect_h inside an area of
// area_w x area_h, centred (black bars fill the rest).
video_rect video_fit(int32_t area_w, int32_t area_h, int32_t aspect_w, int32_t aspect_h);

// A window position to a picture of pic_w x pic_h shown in rect, clamped to
// the picture; and a picture pixel to a window position that maps back to it
// (every one does while the picture is shown at least at its own size).
void video_window_to_picture(const video_rect* rect, int32_t pic_w, int32_t pic_h, int32_t wx, int32_t wy, int32_t* px,
                             int32_t* py);
void video_picture_to_window(const video_rect* rect, int32_t pic_w, int32_t pic_h, int32_t px, int32_t py, int32_t* wx,
                             int32_t* wy);
