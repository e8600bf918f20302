#include "forge_sheet.h"

#include "art_canvas.h"
#include "art_composite.h"
#include "art_text.h"
#include "gif.h"
#include "jpeg.h"
#include "pcx.h"
#include "pixmap.h"
#include "png_writer.h"
#include "scx.h"
#include "tga.h"
#include "vfs.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
constexpr int32_t sheet_width = 1280; // widest row of thumbnails
constexpr int32_t sheet_thumb = 320;  // largest side of a thumbnail
constexpr int32_t sheet_small = 64;   // smaller pictures are enlarged to at least this
constexpr int32_t sheet_pad = 10;
constexpr float sheet_label_size = 11;

struct sheet_cell {
  std::string name;
  forge_picture thumb;
  art_text label;
  int32_t width, height; // the cell, label included
};

// The readers print progress lines; the sheets keep standard output quiet.
struct sheet_quiet {
  int saved = -1;
  sheet_quiet() {
    std::fflush(stdout);
    saved = dup(1);
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, 1);
      close(null);
    }
  }
  ~sheet_quiet() {
    std::fflush(stdout);
    if (saved >= 0) {
      dup2(saved, 1);
      close(saved);
    }
  }
};
} // namespace

std::string forge_sheet_kind(const std::string& name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos)
    return {};
  std::string ext = name.substr(dot + 1);
  for (char& c : ext)
    c = char(std::tolower(static_cast<unsigned char>(c)));
  if (ext == "jpg" || ext == "jpeg")
    return "jpeg";
  if (ext == "pcx" || ext == "gif" || ext == "tga" || ext == "scx")
    return ext;
  return {};
}

// Reads one file through the system's reader for its kind.
static int sheet_decode(const std::string& path, const std::string& kind, forge_picture* out) {
  if (kind == "scx") {
    scx_bitmap* map = scx_load(path.c_str());
    if (!map)
      return 0;
    picture_init(out, map->width, map->height, 0);
    for (size_t i = 0; i < out->pixels.size(); i++)
      out->pixels[i] = picture_rgba(map->pixels[i], map->pixels[i], map->pixels[i], 0);
    scx_free(map);
    return 1;
  }
  pixmap* pm = nullptr;
  if (kind == "pcx")
    pm = pcx_load(path.c_str());
  else if (kind == "gif")
    pm = gif_load(path.c_str());
  else if (kind == "tga")
    pm = tga_load(path.c_str());
  else if (kind == "jpeg")
    pm = jpeg_load(path.c_str());
  if (!pm)
    return 0;
  const int ok = picture_from_pixmap(out, pm);
  pixmap_free(pm);
  return ok;
}

// Shrinks by box averaging or enlarges by whole factors (pixels stay crisp).
static forge_picture sheet_thumbnail(const forge_picture* pic) {
  const int32_t side = std::max(pic->width, pic->height);
  forge_picture out;
  if (side > sheet_thumb) {
    const int32_t w = std::max(1, int32_t(int64_t(pic->width) * sheet_thumb / side));
    const int32_t h = std::max(1, int32_t(int64_t(pic->height) * sheet_thumb / side));
    picture_init(&out, w, h, 0);
    for (int32_t y = 0; y < h; y++)
      for (int32_t x = 0; x < w; x++) {
        const int32_t x0 = int32_t(int64_t(x) * pic->width / w), x1 = int32_t(int64_t(x + 1) * pic->width / w);
        const int32_t y0 = int32_t(int64_t(y) * pic->height / h), y1 = int32_t(int64_t(y + 1) * pic->height / h);
        uint64_t sum[3] = {}, n = 0;
        for (int32_t sy = y0; sy < std::max(y1, y0 + 1); sy++)
          for (int32_t sx = x0; sx < std::max(x1, x0 + 1); sx++) {
            const uint32_t p = pic->pixels[size_t(sy) * size_t(pic->width) + size_t(sx)];
            sum[0] += picture_red(p), sum[1] += picture_green(p), sum[2] += picture_blue(p), n++;
          }
        out.pixels[size_t(y) * size_t(w) + size_t(x)] =
            picture_rgba(uint32_t(sum[0] / n), uint32_t(sum[1] / n), uint32_t(sum[2] / n), 0);
      }
    return out;
  }
  int32_t k = 1;
  while (side * k < sheet_small)
    k++;
  picture_init(&out, pic->width * k, pic->height * k, 0);
  for (int32_t y = 0; y < out.height; y++)
    for (int32_t x = 0; x < out.width; x++)
      out.pixels[size_t(y) * size_t(out.width) + size_t(x)] =
          pic->pixels[size_t(y / k) * size_t(pic->width) + size_t(x / k)];
  return out;
}

// Lays the cells out in rows and draws them with their labels.
static int sheet_compose(const std::string& title, std::vector<sheet_cell>* cells, forge_picture* out) {
  art_text_style label_style;
  label_style.font = "DejaVuSans.ttf";
  label_style.size = sheet_label_size;
  art_text_style title_style;
  title_style.font = "DejaVuSans-Bold.ttf";
  title_style.size = 18;
  art_text heading;
  if (!art_text_render(&title_style, title.c_str(), 2, &heading))
    return 0;
  for (sheet_cell& c : *cells) {
    if (!art_text_render(&label_style, c.name.c_str(), 1, &c.label))
      return 0;
    c.width = std::max(c.thumb.width, c.label.mask.width);
    c.height = c.thumb.height + 4 + c.label.mask.height;
  }
  // Shelf packing, in name order.
  struct place {
    int32_t x, y;
  };
  std::vector<place> at;
  int32_t x = sheet_pad, y = sheet_pad * 2 + heading.mask.height, row_h = 0, width = 0;
  for (const sheet_cell& c : *cells) {
    if (x > sheet_pad && x + c.width + sheet_pad > sheet_width) {
      x = sheet_pad;
      y += row_h + sheet_pad;
      row_h = 0;
    }
    at.push_back({x, y});
    x += c.width + sheet_pad;
    row_h = std::max(row_h, c.height);
    width = std::max(width, x);
  }
  const int32_t height = y + row_h + sheet_pad;
  width = std::max(width, heading.mask.width + 2 * sheet_pad);

  art_canvas canvas;
  art_canvas_init(&canvas, width, height, art_rgb(22, 22, 34));
  art_paint_mask(&canvas, &heading.mask, sheet_pad, sheet_pad, art_rgb(255, 196, 0), ART_BLEND_OVER, 1);
  for (size_t i = 0; i < cells->size(); i++) {
    const sheet_cell& c = (*cells)[i];
    art_paint_mask(&canvas, &c.label.mask, at[i].x, at[i].y + c.thumb.height + 4, art_rgb(220, 220, 235),
                   ART_BLEND_OVER, 1);
  }
  art_canvas_to_picture(&canvas, out, false);
  for (size_t i = 0; i < cells->size(); i++) {
    const sheet_cell& c = (*cells)[i];
    for (int32_t ty = 0; ty < c.thumb.height; ty++)
      for (int32_t tx = 0; tx < c.thumb.width; tx++)
        out->pixels[size_t(at[i].y + ty) * size_t(width) + size_t(at[i].x + tx)] =
            c.thumb.pixels[size_t(ty) * size_t(c.thumb.width) + size_t(tx)] & 0xFFFFFF;
  }
  return 1;
}

int forge_write_sheets(const std::string& sheet_dir, const std::string& tree_root, const std::vector<forge_file>& files,
                       std::string* error) {
  std::map<std::string, std::vector<sheet_cell>> folders;
  vfs_device* previous = vfs_device_active();
  vfs_device_enable(&stdio_device, 0);
  {
    sheet_quiet quiet;
    for (const forge_file& f : files) {
      const std::string kind = forge_sheet_kind(f.name);
      if (kind.empty())
        continue;
      sheet_cell cell;
      forge_picture pic;
      if (!sheet_decode((fs::path(tree_root) / f.name).string(), kind, &pic)) {
        vfs_device_enable(previous, 0);
        *error = f.name + ": the " + kind + " reader refuses it";
        return 0;
      }
      const size_t slash = f.name.rfind('/');
      cell.name = f.name.substr(slash + 1) + "  " + std::to_string(pic.width) + "x" + std::to_string(pic.height);
      cell.thumb = sheet_thumbnail(&pic);
      folders[f.name.substr(0, slash)].push_back(std::move(cell));
    }
  }
  vfs_device_enable(previous, 0);

  std::error_code ec;
  fs::create_directories(sheet_dir, ec);
  if (ec) {
    *error = sheet_dir + ": " + ec.message();
    return 0;
  }
  for (auto& [folder, cells] : folders) {
    forge_picture sheet;
    std::vector<uint8_t> png;
    if (!sheet_compose(folder + "/  (" + std::to_string(cells.size()) + ")", &cells, &sheet) ||
        !write_png(&sheet, false, &png)) {
      *error = folder + ": cannot make its contact sheet";
      return 0;
    }
    std::string file = folder;
    std::replace(file.begin(), file.end(), '/', '_');
    const fs::path target = fs::path(sheet_dir) / (file + ".png");
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    out.close();
    if (!out) {
      *error = "cannot write " + target.string();
      return 0;
    }
  }
  return 1;
}
