// The picture tool: info lines, PNG output equal to the readers' pixmaps, and
// one-line errors.
#include "gif.h"
#include "jpeg.h"
#include "pcx.h"
#include "reader_checks.h"
#include "testkit.h"
#include "tga.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>

namespace {

std::string picture_command(const std::string& args) { return testkit_bin_dir() + "/picture " + args; }

// Runs the tool; returns its status, with standard output and error.
int run_picture(const std::string& args, std::string* out, std::string* err) {
  std::remove("err.txt");
  const int status = testkit_run(picture_command(args) + " 2>err.txt", out);
  const fixture_bytes e = testkit_read_file("err.txt");
  err->assign(e.begin(), e.end());
  return status;
}

fixture_bytes pixmap_bytes(const pixmap* pm, int channels) {
  fixture_bytes out;
  for (int32_t i = 0; i < pm->width * pm->height; i++)
    for (int k = 0; k < channels; k++)
      out.push_back(uint8_t(pm->pixels[i] >> (8 * k)));
  return out;
}

TEST(PictureTool, PngIsWhatTheReaderGives) {
  READER_REQUIRE_TOOL("convert");
  testkit_tempdir dir(true);
  const int w = 23, h = 17;
  const fixture_bytes rgb = fixture_rgb(w, h, 3);
  fixture_gif gif;
  gif.screen_w = w;
  gif.screen_h = h;
  gif.palette = fixture_palette(64, 2);
  gif.images.push_back({0, 0, w, h, true, {}, fixture_indices(w, h, 64, 2)});
  std::vector<uint32_t> pixels;
  for (int i = 0; i < w * h; i++)
    pixels.push_back(pixmap_rgba(rgb[size_t(i) * 3], rgb[size_t(i) * 3 + 1], rgb[size_t(i) * 3 + 2], uint32_t(i)));
  fixture_tga_options bottom;
  bottom.origin = 0;
  testkit_write_file("a.pcx", fixture_pcx(w, h, 3, rgb, {}));
  testkit_write_file("b.GIF", fixture_gif_giflib(gif));
  testkit_write_file("c.tga", fixture_tga(w, h, 32, pixels, bottom));
  testkit_write_file("d.jpeg", fixture_jpeg(w, h, rgb, 90, true));
  testkit_write_file("e.scx", fixture_scx(w, h, fixture_indices(w, h, 256, 5), 1));
  const fixture_bytes grey = fixture_indices(w, h, 256, 5);

  for (const char* name : {"a.pcx", "b.GIF", "c.tga", "d.jpeg", "e.scx"}) {
    for (bool alpha : {false, true}) {
      std::string out, err;
      ASSERT_EQ(run_picture(std::string("png ") + name + " out.png" + (alpha ? " --alpha" : ""), &out, &err), 0)
          << name << ": " << err;
      EXPECT_EQ(err, "");
      const fixture_bytes png = reader_magick_raw("out.png", "", alpha ? "rgba" : "rgb");
      const std::string n = name;
      pixmap_ptr pm;
      {
        reader_capture quiet;
        pm.reset(n == "a.pcx"    ? pcx_load(name)
                 : n == "b.GIF"  ? gif_load(name)
                 : n == "c.tga"  ? tga_load(name)
                 : n == "d.jpeg" ? jpeg_load(name)
                                 : nullptr);
      }
      fixture_bytes expected;
      if (pm) {
        expected = pixmap_bytes(pm.get(), alpha ? 4 : 3);
      } else {
        expected.clear();
        for (uint8_t v : grey) {
          expected.insert(expected.end(), {v, v, v});
          if (alpha)
            expected.push_back(255);
        }
      }
      EXPECT_EQ(png, expected) << name << (alpha ? " with alpha" : "");
    }
  }
}

TEST(PictureTool, InfoNamesFormatSizeAndKind) {
  testkit_tempdir dir(true);
  const fixture_bytes rgb = fixture_rgb(12, 8, 1);
  testkit_write_file("i.pcx", fixture_pcx(12, 8, 1, fixture_indices(12, 8, 256, 1), fixture_palette(256, 1)));
  testkit_write_file("t.pcx", fixture_pcx(12, 8, 3, rgb, {}));
  fixture_gif gif;
  gif.screen_w = 12;
  gif.screen_h = 8;
  gif.palette = fixture_palette(16, 1);
  gif.images.push_back({0, 0, 12, 8, false, fixture_palette(4, 2), fixture_indices(12, 8, 4, 1)});
  gif.images.push_back({0, 0, 12, 8, false, {}, fixture_indices(12, 8, 16, 2)});
  testkit_write_file("g.gif", fixture_gif_giflib(gif));
  fixture_tga_options right;
  right.origin = 3;
  testkit_write_file("t.tga", fixture_tga(12, 8, 16, std::vector<uint32_t>(96, 0x1234), right));
  testkit_write_file("j.jpg", fixture_jpeg(12, 8, rgb, 80, false));
  testkit_write_file("m.scx", fixture_scx(12, 8, rgb, 1));
  struct info_case {
    const char* file;
    std::vector<std::string> lines;
  };
  const info_case cases[] = {
      {"i.pcx", {"format: PCX\n", "width: 12\n", "height: 8\n", "kind: 8-bit indexed\n"}},
      {"t.pcx", {"format: PCX\n", "kind: 24-bit\n"}},
      {"g.gif", {"format: GIF\n", "width: 12\n", "images: 2\n", "palette: local, 4 colours\n"}},
      {"t.tga", {"format: TGA\n", "bits per pixel: 16\n", "origin: top right\n"}},
      {"j.jpg", {"format: JPEG\n", "width: 12\n", "components: 3\n", "progressive: no\n"}},
      {"m.scx", {"format: SCX\n", "width: 12\n", "height: 8\n"}},
  };
  for (const info_case& c : cases) {
    std::string out, err;
    ASSERT_EQ(run_picture(std::string("info ") + c.file, &out, &err), 0) << c.file << ": " << err;
    for (const std::string& line : c.lines)
      EXPECT_NE(out.find(line), std::string::npos) << c.file << " lacks '" << line << "' in:\n" << out;
  }
}

// With --pcx24 the mirror engine's reader decodes: one run may fill several
// rows and planes.
TEST(PictureTool, Pcx24ReadsRunsAcrossRowsAndPlanes) {
  READER_REQUIRE_TOOL("convert");
  testkit_tempdir dir(true);
  fixture_bytes file = fixture_pcx(4, 2, 3, fixture_rgb(4, 2, 1), {});
  file.resize(128);
  // Rows of three planes of four bytes: a run of 14 bytes of 100 reaches
  // into the second row's red plane; 10 of 60 end the picture.
  for (uint8_t b : {0xCE, 100, 0xCA, 60})
    file.push_back(b);
  testkit_write_file("runs.pcx", file);
  std::string out, err;
  ASSERT_EQ(run_picture("png --pcx24 runs.pcx out.png", &out, &err), 0) << err;
  fixture_bytes expected(12, 100);
  for (uint8_t b : {100, 60, 60, 100, 60, 60, 60, 60, 60, 60, 60, 60})
    expected.push_back(b);
  EXPECT_EQ(reader_magick_raw("out.png", "", "rgb"), expected);
  ASSERT_EQ(run_picture("info --pcx24 runs.pcx", &out, &err), 0) << err;
  EXPECT_EQ(out, "format: PCX\nwidth: 4\nheight: 2\nkind: 24-bit, three planes (mirror engine reader)\n");
  testkit_write_file("i.pcx", fixture_pcx(4, 2, 1, fixture_indices(4, 2, 256, 1), fixture_palette(256, 1)));
  EXPECT_NE(run_picture("info --pcx24 i.pcx", &out, &err), 0);
  EXPECT_EQ(err, "picture: i.pcx: cannot read as 24-bit PCX ([PCX]: Unsupported version of fileformat.)\n");
}

TEST(PictureTool, ErrorsAreOneLineOnStandardError) {
  testkit_tempdir dir(true);
  fixture_bytes bad = fixture_pcx(4, 4, 3, fixture_rgb(4, 4, 1), {});
  bad[1] = 4;
  testkit_write_file("bad.pcx", bad);
  testkit_write_file("x.bmp", {1, 2, 3});
  for (const char* args : {"png missing.tga out.png", "png bad.pcx out.png", "info bad.pcx", "png x.bmp out.png",
                           "info missing.jpg", "png", "frobnicate x.pcx"}) {
    std::string out, err;
    EXPECT_NE(run_picture(args, &out, &err), 0) << args;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << args << ": " << err;
    EXPECT_EQ(err.rfind("picture: ", 0), 0u) << args << ": " << err;
  }
  std::string out, err;
  EXPECT_NE(run_picture("png bad.pcx out.png", &out, &err), 0);
  EXPECT_FALSE(std::ifstream("out.png").good()) << "no PNG is written for a refused picture";
}

TEST(PictureTool, PngReportsAWriteThatFailsOnClose) {
  // A small PNG stays in the stream's buffer until the close, which is where
  // the full device refuses it.
  ASSERT_TRUE(std::ifstream("/dev/full").good());
  testkit_tempdir dir(true);
  testkit_write_file("good.pcx", fixture_pcx(4, 4, 3, fixture_rgb(4, 4, 1), {}));
  std::string out, err;
  ASSERT_EQ(run_picture("png good.pcx ok.png", &out, &err), 0) << err;
  EXPECT_NE(run_picture("png good.pcx /dev/full", &out, &err), 0);
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_NE(err.find("cannot write"), std::string::npos) << err;
}

} // namespace
