#include "picture_decode.h"

#include "gif.h"
#include "jpeg.h"
#include "mirror_scene.h"
#include "pcx.h"
#include "scx.h"
#include "tga.h"
#include "vfs.h"

#include <algorithm>
#include <cctype>

picture_format picture_format_of(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  const size_t slash = path.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return PICTURE_UNKNOWN;
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  if (ext == "pcx")
    return PICTURE_PCX;
  if (ext == "gif")
    return PICTURE_GIF;
  if (ext == "tga")
    return PICTURE_TGA;
  if (ext == "jpg" || ext == "jpeg")
    return PICTURE_JPEG;
  if (ext == "scx")
    return PICTURE_SCX;
  return PICTURE_UNKNOWN;
}

const char* picture_format_name(picture_format format) {
  switch (format) {
  case PICTURE_PCX:
    return "PCX";
  case PICTURE_GIF:
    return "GIF";
  case PICTURE_TGA:
    return "TGA";
  case PICTURE_JPEG:
    return "JPEG";
  case PICTURE_SCX:
    return "SCX";
  default:
    return "unknown";
  }
}

static pixmap* picture_scx_pixmap(const std::string& path) {
  scx_bitmap* map = scx_load(path.c_str());
  if (!map)
    return nullptr;
  pixmap* pm = pixmap_create(map->width, map->height, 0);
  if (pm) {
    const size_t count = size_t(map->width) * size_t(map->height);
    for (size_t i = 0; i < count; i++)
      pm->pixels[i] = pixmap_rgba(map->pixels[i], map->pixels[i], map->pixels[i], 255);
  }
  scx_free(map);
  return pm;
}

pixmap* picture_decode(const std::string& path, picture_format format) {
  switch (format) {
  case PICTURE_PCX:
    return pcx_load(path.c_str());
  case PICTURE_GIF:
    return gif_load(path.c_str());
  case PICTURE_TGA:
    return tga_load(path.c_str());
  case PICTURE_JPEG:
    return jpeg_load(path.c_str());
  case PICTURE_SCX:
    return picture_scx_pixmap(path);
  default:
    return nullptr;
  }
}

static std::string picture_line(const char* key, const std::string& value) {
  return std::string(key) + ": " + value + "\n";
}

static std::string picture_size_lines(int32_t width, int32_t height) {
  return picture_line("width", std::to_string(width)) + picture_line("height", std::to_string(height));
}

static bool picture_describe_gif(const std::string& path, std::string* text) {
  vfs_file* file = vfs_open(path.c_str(), "rb");
  if (!file)
    return false;
  gif_file* gif = gif_parse(file);
  vfs_close(file);
  if (!gif)
    return false;
  const bool ok = gif->image_count > 0;
  if (ok) {
    const gif_image* first = gif->images[0];
    std::string palette = "none";
    if (first->local_colours > 0)
      palette = "local, " + std::to_string(first->local_colours) + " colours";
    else if (gif->global_colours > 0)
      palette = "global, " + std::to_string(gif->global_colours) + " colours";
    *text += picture_size_lines(first->width, first->height);
    *text += picture_line("screen", std::to_string(gif->screen_width) + "x" + std::to_string(gif->screen_height));
    *text += picture_line("images", std::to_string(gif->image_count));
    *text += picture_line("palette", palette);
    *text += picture_line("interlaced", (first->packed & 0x40) ? "yes" : "no");
  }
  gif_file_free(gif);
  return ok;
}

bool picture_describe(const std::string& path, picture_format format, std::string* text) {
  *text = picture_line("format", picture_format_name(format));
  switch (format) {
  case PICTURE_PCX: {
    int32_t kind, width, height;
    if (!pcx_read_info(path.c_str(), &kind, &width, &height))
      return false;
    *text += picture_size_lines(width, height);
    *text += picture_line("kind", kind == PCX_INDEXED ? "8-bit indexed" : "24-bit");
    return true;
  }
  case PICTURE_GIF:
    return picture_describe_gif(path, text);
  case PICTURE_TGA: {
    static const char* const origins[] = {"bottom left", "bottom right", "top left", "top right"};
    tga_header header;
    if (!tga_read_info(path.c_str(), &header))
      return false;
    *text += picture_size_lines(header.width, header.height);
    *text += picture_line("bits per pixel", std::to_string(header.bits_per_pixel));
    *text += picture_line("origin", origins[(header.descriptor >> 4) & 3]);
    return true;
  }
  case PICTURE_JPEG: {
    jpeg_info info;
    if (!jpeg_read_info(path.c_str(), &info))
      return false;
    *text += picture_size_lines(info.width, info.height);
    *text += picture_line("components", std::to_string(info.components));
    *text += picture_line("progressive", info.progressive ? "yes" : "no");
    return true;
  }
  case PICTURE_SCX: {
    scx_bitmap* map = scx_load(path.c_str());
    if (!map)
      return false;
    *text += picture_size_lines(map->width, map->height);
    *text += picture_line("size", std::to_string(int64_t(map->width) * map->height) + " bytes");
    scx_free(map);
    return true;
  }
  default:
    return false;
  }
}

pixmap* picture_decode_pcx24(const std::string& path, std::string* error) {
  rgb_image* image = pcx24_load(path.c_str());
  if (!image) {
    *error = pcx24_error_text();
    return nullptr;
  }
  pixmap* pm = pixmap_create(image->width, image->height, 0);
  if (pm)
    std::copy(image->pixels, image->pixels + size_t(image->width) * size_t(image->height), pm->pixels);
  else
    *error = "no memory for the picture";
  rgb_image_free(image);
  return pm;
}

bool picture_describe_pcx24(const std::string& path, std::string* text, std::string* error) {
  pixmap* pm = picture_decode_pcx24(path, error);
  if (!pm)
    return false;
  *text = picture_line("format", "PCX") + picture_size_lines(pm->width, pm->height) +
          picture_line("kind", "24-bit, three planes (mirror engine reader)");
  pixmap_free(pm);
  return true;
}
