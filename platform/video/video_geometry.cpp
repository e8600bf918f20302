#include "video_geometry.h"

#include <algorithm>

int32_t video_window_scale(int32_t desktop_w, int32_t desktop_h, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0 || desktop_w <= 0 || desktop_h <= 0)
    return 1;
  const int64_t kw = int64_t(desktop_w) * 4 / 5 / width;
  const int64_t kh = int64_t(desktop_h) * 4 / 5 / height;
  return int32_t(std::max<int64_t>(1, std::min(kw, kh)));
}

video_rect video_fit(int32_t area_w, int32_t area_h, int32_t aspect_w, int32_t aspect_h) {
  if (area_w <= 0 || area_h <= 0 || aspect_w <= 0 || aspect_h <= 0)
    return {0, 0, std::max(area_w, 0), std::max(area_h, 0)};
  int64_t w = area_w, h = area_h;
  if (int64_t(area_w) * aspect_h <= int64_t(area_h) * aspect_w)
    h = int64_t(area_w) * aspect_h / aspect_w; // width-limited: bars above and below
  else
    w = int64_t(area_h) * aspect_w / aspect_h; // height-limited: bars left and right
  w = std::max<int64_t>(w, 1);
  h = std::max<int64_t>(h, 1);
  return {int32_t((area_w - w) / 2), int32_t((area_h - h) / 2), int32_t(w), int32_t(h)};
}

static int32_t to_picture(int32_t w, int32_t origin, int32_t extent, int32_t size) {
  if (extent <= 0 || size <= 0)
    return 0;
  const int64_t d = int64_t(w) - origin;
  int64_t p = d >= 0 ? d * size / extent : -1;
  return int32_t(std::clamp<int64_t>(p, 0, size - 1));
}

static int32_t to_window(int32_t p, int32_t origin, int32_t extent, int32_t size) {
  if (size <= 0)
    return origin;
  // The first window pixel that maps back to p (ceil(p * extent / size)).
  return int32_t(origin + (int64_t(p) * extent + size - 1) / size);
}

void video_window_to_picture(const video_rect* rect, int32_t pic_w, int32_t pic_h, int32_t wx, int32_t wy, int32_t* px,
                             int32_t* py) {
  *px = to_picture(wx, rect->x, rect->w, pic_w);
  *py = to_picture(wy, rect->y, rect->h, pic_h);
}

void video_picture_to_window(const video_rect* rect, int32_t pic_w, int32_t pic_h, int32_t px, int32_t py, int32_t* wx,
                             int32_t* wy) {
  *wx = to_window(px, rect->x, rect->w, pic_w);
  *wy = to_window(py, rect->y, rect->h, pic_h);
}
