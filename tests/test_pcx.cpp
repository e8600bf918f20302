#include "pcx.h"
#include "reader_checks.h"
#include "testkit.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

// 24-bit pictures from ImageMagick (even widths only: it writes odd-width
// lines unpadded) decode to ImageMagick's own reading, byte 3 = 0.
TEST(Pcx, TrueColourFromImageMagick) {
  READER_REQUIRE_TOOL("convert");
  testkit_tempdir dir(true);
  for (int w : {64, 30, 2}) {
    const int h = 21;
    testkit_write_file("in.ppm", fixture_ppm(w, h, fixture_rgb(w, h, uint32_t(w))));
    ASSERT_TRUE(reader_run("convert in.ppm -type TrueColor t.pcx"));
    const fixture_bytes file = testkit_read_file("t.pcx");
    ASSERT_EQ(file.at(65), 3) << "ImageMagick did not write three planes";
    pixmap_ptr pm = reader_load(pcx_load, "t.pcx");
    EXPECT_TRUE(reader_same(pm.get(), w, h, reader_magick_raw("t.pcx", "", "rgb"), 0)) << "width " << w;
  }
}

TEST(Pcx, IndexedFromImageMagick) {
  READER_REQUIRE_TOOL("convert");
  testkit_tempdir dir(true);
  for (int w : {64, 18}) {
    const int h = 13;
    testkit_write_file("in.ppm", fixture_ppm(w, h, fixture_rgb(w, h, 3)));
    ASSERT_TRUE(reader_run("convert in.ppm -colors 60 -type Palette p.pcx"));
    const fixture_bytes file = testkit_read_file("p.pcx");
    ASSERT_EQ(file.at(65), 1) << "ImageMagick did not write one plane";
    ASSERT_EQ(file.at(3), 8) << "ImageMagick did not write 8 bits per pixel";
    pixmap_ptr pm = reader_load(pcx_load, "p.pcx");
    EXPECT_TRUE(reader_same(pm.get(), w, h, reader_magick_raw("p.pcx", "", "rgb"), 0)) << "width " << w;
  }
}

// Odd widths from an encoder that pads plane rows to even length; the pad
// stored as one byte, as the two bytes 0xC1 value, or given by a run that
// crosses into the next plane.
TEST(Pcx, OddWidthsWithEveryKindOfPad) {
  testkit_tempdir dir(true);
  const fixture_bytes palette = fixture_palette(256, 4);
  for (int w : {1, 7, 33, 65}) {
    const int h = 9;
    const fixture_bytes rgb = fixture_rgb(w, h, uint32_t(w));
    const fixture_bytes indices = fixture_indices(w, h, 256, uint32_t(w));
    for (uint8_t pad : {uint8_t(0), uint8_t(0xC7)}) {
      fixture_pcx_options options;
      options.pad = pad;
      pixmap_ptr true_colour = reader_load_bytes(pcx_load, "t.pcx", fixture_pcx(w, h, 3, rgb, {}, options));
      EXPECT_TRUE(reader_same(true_colour.get(), w, h, rgb, 0)) << "width " << w << " pad " << int(pad);
      pixmap_ptr indexed = reader_load_bytes(pcx_load, "p.pcx", fixture_pcx(w, h, 1, indices, palette, options));
      EXPECT_TRUE(reader_same(indexed.get(), w, h, reader_lookup(indices, palette), 0))
          << "width " << w << " pad " << int(pad);
    }
    fixture_pcx_options across;
    across.runs_across_planes = true;
    pixmap_ptr pm = reader_load_bytes(pcx_load, "a.pcx", fixture_pcx(w, h, 3, rgb, {}, across));
    EXPECT_TRUE(reader_same(pm.get(), w, h, rgb, 0)) << "runs across planes, width " << w;
  }
}

// A file with only a header and the given data bytes.
fixture_bytes pcx_raw(int w, int h, int planes, const fixture_bytes& data) {
  fixture_pcx_options options;
  options.palette = false;
  fixture_bytes file = fixture_pcx(w, h, planes, fixture_bytes(size_t(w * h * planes)), {}, options);
  file.resize(128);
  file.insert(file.end(), data.begin(), data.end());
  return file;
}

fixture_bytes with_palette(fixture_bytes file, const fixture_bytes& palette) {
  file.push_back(12);
  file.insert(file.end(), palette.begin(), palette.end());
  return file;
}

TEST(Pcx, RunsAcrossPlanesCarryButNotAcrossLines) {
  testkit_tempdir dir(true);
  // Red plane 9 9, green 9 9 from the same run of four, blue 5 6; the second
  // line's blue run of three loses its last byte at the line end.
  const fixture_bytes data = {0xC4, 9, 5, 6, 1, 2, 3, 4, 0xC3, 7, 8, 8, 8, 8, 8, 8};
  pixmap_ptr pm = reader_load_bytes(pcx_load, "c.pcx", pcx_raw(2, 3, 3, data));
  ASSERT_TRUE(pm);
  const fixture_bytes expected = {9, 9, 5, 9, 9, 6, 1, 3, 7, 2, 4, 7, 8, 8, 8, 8, 8, 8};
  EXPECT_TRUE(reader_same(pm.get(), 2, 3, expected, 0));
}

TEST(Pcx, IndexedRunAcrossRowsLosesItsRest) {
  testkit_tempdir dir(true);
  const fixture_bytes palette = fixture_palette(256, 8);
  // A run of six on a row of four: the last two are lost, the next row is read anew.
  const fixture_bytes data = {0xC6, 7, 1, 2, 3, 4};
  pixmap_ptr pm = reader_load_bytes(pcx_load, "r.pcx", with_palette(pcx_raw(4, 2, 1, data), palette));
  EXPECT_TRUE(reader_same(pm.get(), 4, 2, reader_lookup({7, 7, 7, 7, 1, 2, 3, 4}, palette), 0));
}

TEST(Pcx, OddWidthPadFromCarriedRun) {
  testkit_tempdir dir(true);
  // Width 1: a run of five gives red, pad, green, pad, blue; the blue plane
  // ends the run exactly, so its pad byte is read (0). Second line: literals
  // with their pads, the last pad stored as 0xC1 value.
  const fixture_bytes data = {0xC5, 8, 0, 1, 0, 2, 0, 3, 0xC1, 0xEE};
  pixmap_ptr pm = reader_load_bytes(pcx_load, "o.pcx", pcx_raw(1, 2, 3, data));
  EXPECT_TRUE(reader_same(pm.get(), 1, 2, {8, 8, 8, 1, 2, 3}, 0));
  // 0xC0 is a literal, not a run of zero.
  pixmap_ptr literal = reader_load_bytes(pcx_load, "l.pcx", pcx_raw(2, 1, 3, {0xC0, 0xC0, 1, 2, 3, 4}));
  EXPECT_TRUE(reader_same(literal.get(), 2, 1, {0xC0, 1, 3, 0xC0, 2, 4}, 0));
}

TEST(Pcx, WidthIsXmaxPlusOneWhateverXmin) {
  testkit_tempdir dir(true);
  fixture_pcx_options options;
  options.xmin = 3;
  const fixture_bytes rgb = fixture_rgb(10, 4, 1);
  fixture_bytes file = fixture_pcx(10, 4, 3, rgb, {}, options);
  file[8] = 9; // Xmax = 9 while Xmin = 3
  file[9] = 0;
  pixmap_ptr pm = reader_load_bytes(pcx_load, "x.pcx", file);
  EXPECT_TRUE(reader_same(pm.get(), 10, 4, rgb, 0));
}

TEST(Pcx, RefusesWhatItDoesNotRead) {
  testkit_tempdir dir(true);
  const fixture_bytes palette = fixture_palette(256, 1);
  const fixture_bytes indices = fixture_indices(8, 8, 256, 1);
  const fixture_bytes good = fixture_pcx(8, 8, 1, indices, palette);
  ASSERT_TRUE(reader_load_bytes(pcx_load, "g.pcx", good));

  fixture_pcx_options no_palette;
  no_palette.palette = false;
  EXPECT_FALSE(reader_load_bytes(pcx_load, "n.pcx", fixture_pcx(8, 8, 1, indices, palette, no_palette)));
  fixture_bytes short_palette = good;
  short_palette.resize(good.size() - 1);
  EXPECT_FALSE(reader_load_bytes(pcx_load, "s.pcx", short_palette));
  for (auto [offset, value] : {std::pair{0, 11}, {1, 3}, {65, 2}, {65, 4}}) {
    fixture_bytes bad = good;
    bad[size_t(offset)] = uint8_t(value);
    EXPECT_FALSE(reader_load_bytes(pcx_load, "b.pcx", bad)) << "byte " << offset << " = " << value;
  }
  EXPECT_FALSE(reader_load_bytes(pcx_load, "h.pcx", fixture_bytes(good.begin(), good.begin() + 127)));
  EXPECT_FALSE(reader_load(pcx_load, "missing.pcx"));
}

TEST(Pcx, RefusesSizesTheFileCannotHold) {
  testkit_tempdir dir(true);
  fixture_bytes file = fixture_pcx(4, 4, 3, fixture_rgb(4, 4, 2), {});
  file[8] = file[9] = file[10] = file[11] = 0xFF; // 65536 x 65536
  EXPECT_FALSE(reader_load_bytes(pcx_load, "big.pcx", file));
  // 4000 x 4000 needs at least 2 * 16e6 * 3 / 63 bytes even in runs of 63.
  file[8] = uint8_t(3999 & 255), file[9] = uint8_t(3999 >> 8);
  file[10] = uint8_t(3999 & 255), file[11] = uint8_t(3999 >> 8);
  file.resize(100000, 0xFF);
  EXPECT_FALSE(reader_load_bytes(pcx_load, "big.pcx", file));
}

// A 24-bit picture cut short keeps the lines decoded before the end of the
// file; the rest stays zero. An 8-bit one cannot reach its palette and fails.
TEST(Pcx, TruncatedPictures) {
  testkit_tempdir dir(true);
  const int w = 40, h = 30;
  const fixture_bytes rgb = fixture_rgb(w, h, 6);
  const fixture_bytes file = fixture_pcx(w, h, 3, rgb, {});
  // Where each line's encoding ends (lines are encoded independently).
  std::vector<size_t> line_end;
  for (int k = 1; k <= h; k++)
    line_end.push_back(fixture_pcx(w, k, 3, fixture_bytes(rgb.begin(), rgb.begin() + k * w * 3), {}).size());
  for (size_t cut = 129; cut < file.size(); cut += 37) {
    pixmap_ptr pm = reader_load_bytes(pcx_load, "t.pcx", fixture_bytes(file.begin(), file.begin() + long(cut)));
    // Too little left to hold the declared picture even in runs of 63: refused.
    if (cut - 128 < 2 * ((w * h * 3 + 62) / 63)) {
      EXPECT_FALSE(pm) << "cut at " << cut;
      continue;
    }
    ASSERT_TRUE(pm) << "cut at " << cut;
    int complete = 0;
    while (complete < h && line_end[size_t(complete)] <= cut)
      complete++;
    for (int y = 0; y < h; y++)
      for (int x = 0; x < w; x++) {
        const uint32_t got = pm->pixels[y * w + x];
        const uint8_t* e = &rgb[size_t(y * w + x) * 3];
        const uint32_t want = pixmap_rgba(e[0], e[1], e[2], 0);
        if (y < complete)
          ASSERT_EQ(got, want) << "cut " << cut << " pixel " << x << "," << y;
        else if (y > complete)
          ASSERT_EQ(got, 0u) << "cut " << cut << " pixel " << x << "," << y;
        else
          for (int k = 0; k < 3; k++)
            ASSERT_TRUE(((got >> (8 * k)) & 255) == 0 || ((got >> (8 * k)) & 255) == e[k]) << "cut " << cut;
      }
  }
  const fixture_bytes palette = fixture_palette(256, 2);
  const fixture_bytes indexed = fixture_pcx(w, h, 1, fixture_indices(w, h, 256, 2), palette);
  for (size_t cut = 0; cut < indexed.size(); cut += 23)
    EXPECT_FALSE(reader_load_bytes(pcx_load, "i.pcx", fixture_bytes(indexed.begin(), indexed.begin() + long(cut))));
}

TEST(Pcx, VerboseSwitchNamesTheRefusal) {
  testkit_tempdir dir(true);
  fixture_bytes file = fixture_pcx(2, 2, 3, fixture_rgb(2, 2, 1), {});
  file[0] = 'Q';
  testing::internal::CaptureStdout();
  pcx_verbose = 1;
  pixmap_ptr pm = reader_load_bytes(pcx_load, "v.pcx", file);
  file[0] = 10;
  file[1] = '3';
  pixmap_ptr pm2 = reader_load_bytes(pcx_load, "v.pcx", file);
  pcx_verbose = 0;
  pixmap_ptr quiet = reader_load_bytes(pcx_load, "v.pcx", file);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "[PCX] manufacturer: 'Q'\n[PCX] warning! PCX Version not supported: '3'\n");
  EXPECT_FALSE(pm);
  EXPECT_FALSE(pm2);
  EXPECT_FALSE(quiet);
}

} // namespace
