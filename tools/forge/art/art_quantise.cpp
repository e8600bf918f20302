#include "art_quantise.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <vector>

namespace {
struct art_qcolour {
  uint8_t c[3];
  uint32_t count;
};

struct art_qbox {
  size_t begin, end; // range in the colour list
};
} // namespace

static uint32_t art_qkey(uint32_t p) { return p & 0xFFFFFF; }

// Exact palette when the picture has few enough colours.
static bool art_quantise_exact(const forge_picture* in, int32_t colours, indexed_picture* out) {
  std::map<uint32_t, uint8_t> seen;
  for (uint32_t p : in->pixels) {
    if (seen.count(art_qkey(p)))
      continue;
    if (int32_t(seen.size()) == colours)
      return false;
    seen.emplace(art_qkey(p), 0);
  }
  indexed_init(out, in->width, in->height, std::max<int32_t>(1, int32_t(seen.size())));
  uint8_t next = 0;
  for (auto& [key, index] : seen) {
    index = next;
    out->palette[size_t(next) * 3] = uint8_t(key);
    out->palette[size_t(next) * 3 + 1] = uint8_t(key >> 8);
    out->palette[size_t(next) * 3 + 2] = uint8_t(key >> 16);
    next++;
  }
  for (size_t i = 0; i < in->pixels.size(); i++)
    out->indices[i] = seen[art_qkey(in->pixels[i])];
  return true;
}

static void art_median_cut(std::vector<art_qcolour>* list, int32_t colours, std::vector<uint8_t>* palette) {
  std::vector<art_qbox> boxes = {{0, list->size()}};
  auto extent = [&](const art_qbox& b, int* axis) {
    int best = -1;
    for (int k = 0; k < 3; k++) {
      uint8_t lo = 255, hi = 0;
      for (size_t i = b.begin; i < b.end; i++)
        lo = std::min(lo, (*list)[i].c[k]), hi = std::max(hi, (*list)[i].c[k]);
      if (int(hi) - int(lo) > best)
        best = int(hi) - int(lo), *axis = k;
    }
    return best;
  };
  while (int32_t(boxes.size()) < colours) {
    // Split the box with the largest weighted extent.
    int best_score = 0;
    size_t best = boxes.size();
    int best_axis = 0;
    for (size_t i = 0; i < boxes.size(); i++) {
      if (boxes[i].end - boxes[i].begin < 2)
        continue;
      int axis = 0;
      const int e = extent(boxes[i], &axis);
      uint64_t weight = 0;
      for (size_t j = boxes[i].begin; j < boxes[i].end; j++)
        weight += (*list)[j].count;
      const int score = int(std::min<uint64_t>(uint64_t(e) * (1 + weight / 64), 0x7FFFFFFF));
      if (e > 0 && score > best_score)
        best_score = score, best = i, best_axis = axis;
    }
    if (best == boxes.size())
      break;
    art_qbox& b = boxes[best];
    std::stable_sort(list->begin() + ptrdiff_t(b.begin), list->begin() + ptrdiff_t(b.end),
                     [&](const art_qcolour& x, const art_qcolour& y) { return x.c[best_axis] < y.c[best_axis]; });
    uint64_t total = 0, half = 0;
    for (size_t j = b.begin; j < b.end; j++)
      total += (*list)[j].count;
    size_t cut = b.begin + 1;
    for (size_t j = b.begin; j < b.end - 1; j++) {
      half += (*list)[j].count;
      cut = j + 1;
      if (half * 2 >= total)
        break;
    }
    const art_qbox second = {cut, b.end};
    b.end = cut;
    boxes.push_back(second);
  }
  palette->clear();
  for (const art_qbox& b : boxes) {
    uint64_t sum[3] = {}, weight = 0;
    for (size_t j = b.begin; j < b.end; j++) {
      for (int k = 0; k < 3; k++)
        sum[k] += uint64_t((*list)[j].c[k]) * (*list)[j].count;
      weight += (*list)[j].count;
    }
    for (int k = 0; k < 3; k++)
      palette->push_back(uint8_t(weight ? (sum[k] + weight / 2) / weight : 0));
  }
}

static uint8_t art_nearest(const std::vector<uint8_t>& palette, int r, int g, int b) {
  int best = 0x7FFFFFFF;
  uint8_t index = 0;
  for (size_t i = 0; i < palette.size() / 3; i++) {
    const int dr = r - palette[i * 3], dg = g - palette[i * 3 + 1], db = b - palette[i * 3 + 2];
    const int d = dr * dr * 3 + dg * dg * 4 + db * db * 2;
    if (d < best)
      best = d, index = uint8_t(i);
  }
  return index;
}

int art_quantise(const forge_picture* in, int32_t colours, bool dither, indexed_picture* out) {
  if (!picture_valid(in) || colours < 1 || colours > 256)
    return 0;
  if (art_quantise_exact(in, colours, out))
    return 1;

  // Histogram at 6 bits per channel: enough precision, bounded work.
  std::map<uint32_t, uint32_t> histogram;
  for (uint32_t p : in->pixels)
    histogram[(picture_red(p) >> 2) | (picture_green(p) >> 2) << 6 | (picture_blue(p) >> 2) << 12]++;
  std::vector<art_qcolour> list;
  for (const auto& [key, count] : histogram)
    list.push_back(
        {{uint8_t((key & 63) << 2 | 2), uint8_t((key >> 6 & 63) << 2 | 2), uint8_t((key >> 12) << 2 | 2)}, count});
  std::vector<uint8_t> palette;
  art_median_cut(&list, colours, &palette);
  indexed_init(out, in->width, in->height, int32_t(palette.size() / 3));
  std::copy(palette.begin(), palette.end(), out->palette.begin());

  std::unordered_map<uint32_t, uint8_t> cache;
  std::vector<int> error(size_t(in->width + 2) * 3 * 2, 0); // two rows of error, in 1/16 steps
  for (int32_t y = 0; y < in->height; y++) {
    int* cur = &error[size_t(y & 1) * size_t(in->width + 2) * 3];
    int* next = &error[size_t((y + 1) & 1) * size_t(in->width + 2) * 3];
    std::fill(next, next + size_t(in->width + 2) * 3, 0);
    for (int32_t x = 0; x < in->width; x++) {
      const uint32_t p = in->pixels[size_t(y) * size_t(in->width) + size_t(x)];
      int c[3] = {int(picture_red(p)), int(picture_green(p)), int(picture_blue(p))};
      if (dither)
        for (int k = 0; k < 3; k++)
          c[k] = std::clamp(c[k] + cur[size_t(x + 1) * 3 + size_t(k)] / 16, 0, 255);
      const uint32_t key = uint32_t(c[0] | c[1] << 8 | c[2] << 16);
      auto it = cache.find(key);
      const uint8_t index = it != cache.end() ? it->second : (cache[key] = art_nearest(palette, c[0], c[1], c[2]));
      out->indices[size_t(y) * size_t(in->width) + size_t(x)] = index;
      if (dither)
        for (int k = 0; k < 3; k++) {
          const int e = c[k] - palette[size_t(index) * 3 + size_t(k)];
          cur[size_t(x + 2) * 3 + size_t(k)] += e * 7;
          next[size_t(x) * 3 + size_t(k)] += e * 3;
          next[size_t(x + 1) * 3 + size_t(k)] += e * 5;
          next[size_t(x + 2) * 3 + size_t(k)] += e * 1;
        }
    }
  }
  return 1;
}
