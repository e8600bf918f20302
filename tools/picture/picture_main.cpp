// picture: decodes one picture file with the system's own readers.
//   picture info FILE            format, size and kind of the file
//   picture png FILE OUT.png     the pixmap the show would display, as PNG
// With --pcx24 the mirror engine's 24-bit PCX reader decodes the file.
#include "picture_decode.h"
#include "pixmap_png.h"
#include "version.h"
#include "vfs.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>

namespace {

int picture_fail(const std::string& message) {
  std::fflush(stdout);
  std::fprintf(stderr, "picture: %s\n", message.c_str());
  return 1;
}

int picture_info(const std::string& path, bool pcx24) {
  if (pcx24) {
    std::string text, error;
    if (!picture_describe_pcx24(path, &text, &error))
      return picture_fail(path + ": cannot read as 24-bit PCX (" + error + ")");
    std::fputs(text.c_str(), stdout);
    return 0;
  }
  const picture_format format = picture_format_of(path);
  if (format == PICTURE_UNKNOWN)
    return picture_fail(path + ": unknown picture extension");
  std::string text;
  if (!picture_describe(path, format, &text))
    return picture_fail(path + ": cannot read as " + picture_format_name(format));
  std::fputs(text.c_str(), stdout);
  return 0;
}

int picture_png(const std::string& path, const std::string& out, bool alpha, bool pcx24) {
  pixmap* pm = nullptr;
  if (pcx24) {
    std::string error;
    pm = picture_decode_pcx24(path, &error);
    if (!pm)
      return picture_fail(path + ": cannot read as 24-bit PCX (" + error + ")");
  } else {
    const picture_format format = picture_format_of(path);
    if (format == PICTURE_UNKNOWN)
      return picture_fail(path + ": unknown picture extension");
    pm = picture_decode(path, format);
    if (!pm)
      return picture_fail(path + ": cannot read as " + picture_format_name(format));
  }
  std::string error;
  const int ok = pixmap_png_write(pm, out, alpha, &error);
  pixmap_free(pm);
  if (!ok)
    return picture_fail(out + ": " + error);
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  CLI::App app{"Decodes a picture file (PCX, GIF, TGA, JPEG, SCX) with the system's readers."};
  app.set_version_flag("--version", std::string("picture ") + VORLANE_VERSION);
  app.require_subcommand(1);
  std::string file, out;
  bool alpha = false, pcx24 = false;
  CLI::App* info = app.add_subcommand("info", "Print format, size and kind of FILE");
  info->add_option("FILE", file, "Picture file")->required();
  info->add_flag("--pcx24", pcx24, "Read FILE with the mirror engine's 24-bit PCX reader");
  CLI::App* png = app.add_subcommand("png", "Decode FILE and write it as PNG");
  png->add_option("FILE", file, "Picture file")->required();
  png->add_option("OUT", out, "PNG file to write")->required();
  png->add_flag("--alpha", alpha, "Write byte 3 of each pixel as alpha");
  png->add_flag("--pcx24", pcx24, "Read FILE with the mirror engine's 24-bit PCX reader");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0)
      return app.exit(e); // --help, --version
    return picture_fail(e.what()) + 1;
  }
  vfs_device_enable(&stdio_device, 0);
  if (*info)
    return picture_info(file, pcx24);
  return picture_png(file, out, alpha, pcx24);
}
