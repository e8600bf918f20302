#include "forge_formats.h"

#include "pcx_writer.h"

static std::string forge_size_text(int32_t width, int32_t height) {
  return std::to_string(width) + "x" + std::to_string(height);
}

static int forge_finish(const std::string& name, const std::string& format, int ok, std::vector<uint8_t>* bytes,
                        forge_file* file, std::string* error) {
  if (!ok) {
    *error = name + ": cannot write " + format;
    return 0;
  }
  file->name = name;
  file->format = format;
  file->bytes = std::move(*bytes);
  return 1;
}

int forge_make_pcx8(const std::string& name, const indexed_picture* pic, forge_file* file, std::string* error) {
  std::vector<uint8_t> bytes;
  const int ok = write_pcx8(pic, &bytes);
  return forge_finish(name, "PCX 8-bit " + forge_size_text(pic->width, pic->height), ok, &bytes, file, error);
}

int forge_make_pcx24(const std::string& name, const forge_picture* pic, forge_file* file, std::string* error) {
  std::vector<uint8_t> bytes;
  const int ok = write_pcx24(pic, &bytes);
  return forge_finish(name, "PCX 24-bit " + forge_size_text(pic->width, pic->height), ok, &bytes, file, error);
}

int forge_make_gif(const std::string& name, const indexed_picture* pic, int32_t palette_place, forge_file* file,
                   std::string* error) {
  std::vector<uint8_t> bytes;
  const int ok = write_gif(pic, palette_place, &bytes);
  return forge_finish(name,
                      "GIF " + std::to_string(pic->colours) + " colours " + forge_size_text(pic->width, pic->height),
                      ok, &bytes, file, error);
}

int forge_make_tga(const std::string& name, const forge_picture* pic, int32_t bits, int32_t origin, forge_file* file,
                   std::string* error) {
  std::vector<uint8_t> bytes;
  const int ok = write_tga(pic, bits, origin, &bytes);
  return forge_finish(name, "TGA " + std::to_string(bits) + "-bit " + forge_size_text(pic->width, pic->height), ok,
                      &bytes, file, error);
}

int forge_make_jpeg(const std::string& name, const forge_picture* pic, const jpeg_options* options, forge_file* file,
                    std::string* error) {
  std::vector<uint8_t> bytes;
  const int ok = write_jpeg(pic, options, &bytes);
  const int quality = options ? options->quality : jpeg_options{}.quality;
  return forge_finish(name, "JPEG q" + std::to_string(quality) + " " + forge_size_text(pic->width, pic->height), ok,
                      &bytes, file, error);
}

int forge_make_scx(const std::string& name, const scx_map* map, forge_file* file, std::string* error) {
  std::vector<uint8_t> bytes;
  const int ok = write_scx(map, &bytes);
  return forge_finish(name, "SCX " + forge_size_text(map->width, map->height), ok, &bytes, file, error);
}
