#include "gif.h"
#include "reader_checks.h"
#include "testkit.h"

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <map>

namespace {

// Loads with the progress lines captured; *lines gets them.
pixmap_ptr load_gif(const fixture_bytes& bytes, std::string* lines = nullptr) {
  testing::internal::CaptureStdout();
  pixmap_ptr pm = reader_load_bytes(gif_load, "g.gif", bytes);
  const std::string out = testing::internal::GetCapturedStdout();
  if (lines)
    *lines = out;
  return pm;
}

// Palette triples with byte 3 as a quad list for reader_same(.., -1).
fixture_bytes quads(const fixture_bytes& rgb, uint8_t alpha) {
  fixture_bytes out;
  for (size_t i = 0; i + 2 < rgb.size(); i += 3)
    out.insert(out.end(), {rgb[i], rgb[i + 1], rgb[i + 2], alpha});
  return out;
}

fixture_gif one_image(int w, int h, int colours, uint32_t seed) {
  fixture_gif gif;
  gif.screen_w = w;
  gif.screen_h = h;
  gif.palette = fixture_palette(colours, seed);
  fixture_gif_image image;
  image.w = w;
  image.h = h;
  image.indices = fixture_indices(w, h, colours, seed);
  gif.images.push_back(image);
  return gif;
}

TEST(Gif, GlobalPaletteFromGiflibWithItsProgressLines) {
  testkit_tempdir dir(true);
  const fixture_gif gif = one_image(37, 23, 16, 1);
  std::string lines;
  pixmap_ptr pm = load_gif(fixture_gif_giflib(gif), &lines);
  EXPECT_TRUE(reader_same(pm.get(), 37, 23, quads(reader_lookup(gif.images[0].indices, gif.palette), 255), -1));
  EXPECT_EQ(lines, "[GIF] signature: 'GIF'\n"
                   "[GIF] version: '89a'\n"
                   "[GIF] (width,height) = (37,23)\n"
                   "[GIF] reading global palette with 16 colors\n"
                   "[GIF] reading image\n"
                   "[GIF] Finished reading\n");
}

TEST(Gif, LocalPaletteWinsOverGlobal) {
  testkit_tempdir dir(true);
  fixture_gif gif = one_image(20, 10, 32, 2);
  gif.images[0].palette = fixture_palette(32, 77);
  std::string lines;
  pixmap_ptr pm = load_gif(fixture_gif_giflib(gif), &lines);
  EXPECT_TRUE(reader_same(pm.get(), 20, 10, quads(reader_lookup(gif.images[0].indices, gif.images[0].palette), 0), -1));
  EXPECT_NE(lines.find("[GIF] reading local palette with 32 colors\n"), std::string::npos) << lines;
  // Without a global palette at all.
  gif.palette.clear();
  pm = load_gif(fixture_gif_giflib(gif));
  EXPECT_TRUE(reader_same(pm.get(), 20, 10, quads(reader_lookup(gif.images[0].indices, gif.images[0].palette), 0), -1));
}

TEST(Gif, SeveralImagesGiveTheFirst) {
  testkit_tempdir dir(true);
  fixture_gif gif = one_image(30, 12, 64, 3);
  fixture_gif_image second;
  second.left = 3;
  second.w = 11;
  second.h = 5;
  second.indices = fixture_indices(11, 5, 64, 9);
  second.palette = fixture_palette(64, 10);
  gif.images.push_back(second);
  gif.images.push_back(gif.images[0]);
  std::string lines;
  pixmap_ptr pm = load_gif(fixture_gif_giflib(gif), &lines);
  EXPECT_TRUE(reader_same(pm.get(), 30, 12, quads(reader_lookup(gif.images[0].indices, gif.palette), 255), -1));
  size_t images = 0;
  for (size_t at = 0; (at = lines.find("[GIF] reading image\n", at)) != std::string::npos; at++)
    images++;
  EXPECT_EQ(images, 3u);
}

TEST(Gif, InterlacedRowsStayInStoredOrder) {
  testkit_tempdir dir(true);
  fixture_gif gif = one_image(17, 19, 8, 4);
  gif.images[0].interlace = true;
  pixmap_ptr pm = load_gif(fixture_gif_giflib(gif));
  EXPECT_TRUE(reader_same(pm.get(), 17, 19, quads(reader_lookup(gif.images[0].indices, gif.palette), 255), -1));
}

TEST(Gif, CommentIsEchoedAndTwoColourPalette) {
  testkit_tempdir dir(true);
  fixture_gif gif = one_image(9, 9, 2, 5);
  gif.comment = "made for the reader";
  std::string lines;
  pixmap_ptr pm = load_gif(fixture_gif_giflib(gif), &lines);
  EXPECT_TRUE(reader_same(pm.get(), 9, 9, quads(reader_lookup(gif.images[0].indices, gif.palette), 255), -1));
  EXPECT_NE(lines.find("[GIF] reading global palette with 2 colors\n"), std::string::npos) << lines;
  EXPECT_NE(lines.find("[GIF] printing Comment Extension\nmade for the reader\n[GIF] reading image\n"),
            std::string::npos)
      << lines;
}

// giflib's view of a file: is the first image's palette local?
bool giflib_first_is_local(const std::string& path) {
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  if (!gif)
    return false;
  const bool ok = DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0;
  const bool local = ok && gif->SavedImages[0].ImageDesc.ColorMap != nullptr;
  DGifCloseFile(gif, &error);
  return local;
}

// ImageMagick's GIFs: one or several frames, interlaced, with a comment, two
// colours. Compared with ImageMagick's decoding of the first frame, its rows
// put back in stored order where the file is interlaced.
TEST(Gif, FilesFromImageMagick) {
  READER_REQUIRE_TOOL("convert");
  testkit_tempdir dir(true);
  const int w = 40, h = 27;
  testkit_write_file("a.ppm", fixture_ppm(w, h, fixture_rgb(w, h, 1)));
  testkit_write_file("b.ppm", fixture_ppm(w, h, fixture_rgb(w, h, 2)));
  struct magick_case {
    std::string options;
    bool interlaced;
  };
  const magick_case cases[] = {
      {"a.ppm -colors 64", false},
      {"a.ppm -colors 2", false},
      {"a.ppm -colors 100 -interlace GIF", true},
      {"-comment 'a comment' a.ppm -colors 30", false},
      {"a.ppm b.ppm -colors 128", false},
      {"a.ppm b.ppm +map", false},
  };
  for (const magick_case& c : cases) {
    ASSERT_TRUE(reader_run("convert " + c.options + " m.gif"));
    fixture_bytes expected = reader_magick_raw("m.gif[0]", "", "rgb");
    if (c.interlaced)
      expected = reader_reorder_rows(expected, w, 3, fixture_interlace_order(h));
    const uint8_t alpha = giflib_first_is_local("m.gif") ? 0 : 255;
    std::string lines;
    pixmap_ptr pm = load_gif(testkit_read_file("m.gif"), &lines);
    EXPECT_TRUE(reader_same(pm.get(), w, h, quads(expected, alpha), -1)) << c.options;
    if (c.options.find("comment") != std::string::npos) {
      EXPECT_NE(lines.find("[GIF] printing Comment Extension\na comment\n"), std::string::npos) << lines;
    }
  }
}

// An LZW encoder of the test's own that, unlike giflib, keeps coding with a
// full table instead of sending a clear code.
fixture_bytes lzw_deferred_clear(const fixture_bytes& indices, int min_size) {
  fixture_bytes packed;
  uint32_t acc = 0;
  int bits = 0, size = min_size + 1;
  auto emit = [&](int code) {
    acc |= uint32_t(code) << bits;
    bits += size;
    while (bits >= 8) {
      packed.push_back(uint8_t(acc));
      acc >>= 8;
      bits -= 8;
    }
  };
  const int clear = 1 << min_size;
  int next = clear + 2;
  std::map<int, int> table;
  emit(clear);
  int prefix = indices[0];
  auto output = [&](int code) {
    emit(code);
    if (next >= (1 << size) && size < 12)
      size++;
  };
  for (size_t i = 1; i < indices.size(); i++) {
    const int key = prefix << 8 | indices[i];
    auto it = table.find(key);
    if (it != table.end()) {
      prefix = it->second;
      continue;
    }
    output(prefix);
    if (next < 4096)
      table[key] = next++;
    prefix = indices[i];
  }
  output(prefix);
  emit(clear + 1);
  if (bits > 0)
    packed.push_back(uint8_t(acc));
  fixture_bytes out = {uint8_t(min_size)};
  for (size_t at = 0; at < packed.size(); at += 255) {
    const size_t n = std::min<size_t>(255, packed.size() - at);
    out.push_back(uint8_t(n));
    out.insert(out.end(), packed.begin() + long(at), packed.begin() + long(at + n));
  }
  out.push_back(0);
  return out;
}

// A GIF file around raw image data: global palette, one image.
fixture_bytes gif_around(int w, int h, const fixture_bytes& palette, const fixture_bytes& data) {
  int depth = 0;
  while ((2 << depth) < int(palette.size() / 3))
    depth++;
  fixture_bytes out = {
      'G', 'I', 'F', '8', '9', 'a', uint8_t(w), uint8_t(w >> 8), uint8_t(h), uint8_t(h >> 8), uint8_t(0x80 | depth),
      0,   0};
  out.reserve(out.size() + palette.size() + 10 + data.size() + 1); // GCC 12 at -O3 warns falsely without it
  out.insert(out.end(), palette.begin(), palette.end());
  out.insert(out.end(), {',', 0, 0, 0, 0, uint8_t(w), uint8_t(w >> 8), uint8_t(h), uint8_t(h >> 8), 0});
  out.insert(out.end(), data.begin(), data.end());
  out.push_back(';');
  return out;
}

fixture_bytes giflib_decode(const fixture_bytes& file) {
  testkit_write_file("check.gif", file);
  int error = 0;
  GifFileType* gif = DGifOpenFileName("check.gif", &error);
  fixture_bytes out;
  if (gif && DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0) {
    const SavedImage& image = gif->SavedImages[0];
    out.assign(image.RasterBits, image.RasterBits + image.ImageDesc.Width * image.ImageDesc.Height);
  }
  if (gif)
    DGifCloseFile(gif, &error);
  return out;
}

TEST(Gif, FullTableKeepsDecodingUntilTheNextClear) {
  testkit_tempdir dir(true);
  const int w = 160, h = 120;
  const fixture_bytes palette = fixture_palette(4, 6);
  fixture_bytes indices = fixture_indices(w, h, 4, 6);
  const fixture_bytes file = gif_around(w, h, palette, lzw_deferred_clear(indices, 2));
  ASSERT_EQ(giflib_decode(file), indices) << "the test's encoder is wrong";
  pixmap_ptr pm = load_gif(file);
  EXPECT_TRUE(reader_same(pm.get(), w, h, quads(reader_lookup(indices, palette), 255), -1));
}

TEST(Gif, NeverWritesMoreIndicesThanThePicture) {
  testkit_tempdir dir(true);
  fixture_gif gif = one_image(16, 16, 16, 7);
  fixture_bytes file = fixture_gif_giflib(gif);
  // The image descriptor follows the 13-byte screen descriptor and the palette.
  const size_t descriptor = 13 + 16 * 3;
  ASSERT_EQ(file.at(descriptor), ',');
  file[descriptor + 5] = 8; // 8 x 4 of a 16 x 16 stream
  file[descriptor + 7] = 4;
  pixmap_ptr pm = load_gif(file);
  const fixture_bytes first(gif.images[0].indices.begin(), gif.images[0].indices.begin() + 32);
  EXPECT_TRUE(reader_same(pm.get(), 8, 4, quads(reader_lookup(first, gif.palette), 255), -1));
  // A taller picture than the data: the rest keeps index 0.
  file[descriptor + 5] = 16;
  file[descriptor + 7] = 20;
  pm = load_gif(file);
  fixture_bytes longer = gif.images[0].indices;
  longer.resize(16 * 20, 0);
  EXPECT_TRUE(reader_same(pm.get(), 16, 20, quads(reader_lookup(longer, gif.palette), 255), -1));
}

TEST(Gif, BlocksTheReaderDoesNotKnow) {
  testkit_tempdir dir(true);
  const fixture_gif gif = one_image(6, 5, 4, 8);
  fixture_bytes file = fixture_gif_giflib(gif);
  ASSERT_EQ(file.back(), ';');
  // A stray byte before the trailer, and a file that ends without a trailer.
  file.back() = 0x5;
  std::string lines;
  pixmap_ptr pm = load_gif(file, &lines);
  EXPECT_TRUE(reader_same(pm.get(), 6, 5, quads(reader_lookup(gif.images[0].indices, gif.palette), 255), -1));
  EXPECT_NE(lines.find("[GIF] unknown type (0x 5)\n[GIF] Finished reading\n"), std::string::npos) << lines;
  // An extension with an unknown label: its sub-block bytes read as introducers.
  file.back() = '!';
  file.insert(file.end(), {0x99, 2, 0x41, 0x42, 0, ';'});
  pm = load_gif(file, &lines);
  EXPECT_TRUE(pm);
  EXPECT_NE(lines.find("[GIF] unknown type (0x 2)\n[GIF] unknown type (0x41)\n[GIF] unknown type (0x42)\n"
                       "[GIF] unknown type (0x 0)\n[GIF] Finished reading\n"),
            std::string::npos)
      << lines;
}

TEST(Gif, RefusedFiles) {
  testkit_tempdir dir(true);
  const fixture_gif gif = one_image(6, 5, 4, 9);
  const fixture_bytes good = fixture_gif_giflib(gif);
  const size_t descriptor = 13 + 4 * 3;
  ASSERT_EQ(good.at(descriptor), ',');
  std::string lines;

  fixture_bytes bad = good;
  bad[0] = 'J';
  EXPECT_FALSE(load_gif(bad, &lines));
  EXPECT_EQ(lines, "[GIF] signature: 'JIF'\n");
  for (uint8_t size : {0, 1, 10, 12}) {
    bad = good;
    bad[descriptor + 10] = size; // minimum code size
    EXPECT_FALSE(load_gif(bad)) << int(size);
  }
  // No image: only the screen descriptor, palette and trailer.
  bad.assign(good.begin(), good.begin() + long(descriptor));
  bad.push_back(';');
  EXPECT_FALSE(load_gif(bad));
  // No palette anywhere.
  fixture_gif bare = gif;
  bare.palette.clear();
  EXPECT_FALSE(load_gif(fixture_gif_giflib(bare)));
  // A size the data cannot fill.
  bad = good;
  bad[descriptor + 5] = bad[descriptor + 6] = bad[descriptor + 7] = bad[descriptor + 8] = 0xFF;
  EXPECT_FALSE(load_gif(bad));
  bad[descriptor + 5] = bad[descriptor + 6] = bad[descriptor + 7] = bad[descriptor + 8] = 0;
  EXPECT_FALSE(load_gif(bad)) << "an image of no pixels";
  EXPECT_FALSE(reader_load(gif_load, "missing.gif"));
}

} // namespace
