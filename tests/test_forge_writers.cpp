// The format writers: round trips through independent decoders (the tests'
// own, giflib's, libjpeg's and ImageMagick's) and refusal of bad input.
#include "forge_decoders.h"
#include "gif_writer.h"
#include "jpeg_writer.h"
#include "pcx_writer.h"
#include "png_writer.h"
#include "scx_writer.h"
#include "testkit.h"
#include "tga_writer.h"

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <jpeglib.h>

namespace {

uint32_t test_u16_le(const std::vector<uint8_t>& f, size_t at) { return f[at] | uint32_t(f[at + 1]) << 8; }

// A picture with smooth areas, sharp edges, long runs and every byte value,
// including plenty at 0xC0 and above.
forge_picture test_picture(int32_t w, int32_t h, uint32_t seed) {
  forge_picture pic;
  picture_init(&pic, w, h, 0);
  const std::vector<uint8_t> noise = testkit_random_bytes(size_t(w) * size_t(h) * 4, seed);
  for (int32_t y = 0; y < h; y++)
    for (int32_t x = 0; x < w; x++) {
      const size_t i = size_t(y) * size_t(w) + size_t(x);
      uint32_t r, g, b;
      if (y < h / 3) { // runs: flat bands, some of them in the 0xC0+ range
        r = 0xC0 + uint32_t(x / 7) % 64, g = 0xC0, b = uint32_t(y * 16);
      } else if (y < 2 * h / 3) { // gradients
        r = uint32_t(x * 255 / std::max(1, w - 1)), g = uint32_t(y * 3), b = 255 - r;
      } else { // noise
        r = noise[i * 4], g = noise[i * 4 + 1], b = noise[i * 4 + 2];
      }
      pic.pixels[i] = picture_rgba(r, g, b, noise[i * 4 + 3]);
    }
  return pic;
}

indexed_picture test_indexed(int32_t w, int32_t h, int32_t colours, uint32_t seed) {
  indexed_picture pic;
  indexed_init(&pic, w, h, colours);
  const std::vector<uint8_t> noise = testkit_random_bytes(size_t(w) * size_t(h) + 768, seed);
  for (int32_t i = 0; i < 768; i++)
    pic.palette[size_t(i)] = noise[size_t(i)];
  for (int32_t y = 0; y < h; y++)
    for (int32_t x = 0; x < w; x++) {
      const size_t i = size_t(y) * size_t(w) + size_t(x);
      // Long runs in the top half, noise in the bottom half.
      const uint32_t v = y < h / 2 ? uint32_t(x / 5 + 0xBE) : noise[768 + i];
      pic.indices[i] = uint8_t(v % uint32_t(colours));
    }
  return pic;
}

std::vector<uint32_t> rgb_only(const std::vector<uint32_t>& pixels) {
  std::vector<uint32_t> out(pixels.size());
  for (size_t i = 0; i < pixels.size(); i++)
    out[i] = pixels[i] & 0xFFFFFF;
  return out;
}

int32_t max_channel_error(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  int32_t worst = 0;
  for (size_t i = 0; i < a.size(); i++)
    for (int k = 0; k < 24; k += 8)
      worst = std::max(worst, std::abs(int32_t(a[i] >> k & 255) - int32_t(b[i] >> k & 255)));
  return worst;
}

} // namespace

TEST(PcxWriter, Pcx24RoundTripsThroughBothReadingRulesAndImageMagick) {
  testkit_tempdir dir;
  for (int32_t w : {1, 2, 63, 64, 65, 127, 320}) {
    const forge_picture pic = test_picture(w, 37, uint32_t(w));
    std::vector<uint8_t> file;
    ASSERT_EQ(write_pcx24(&pic, &file), 1) << w;
    EXPECT_EQ(file[65], 3);
    EXPECT_EQ(test_u16_le(file, 66), uint32_t(w + (w & 1))) << "bytes per line are even";

    test_image img;
    ASSERT_TRUE(test_pcx_decode(file, &img)) << w;
    EXPECT_EQ(img.width, w);
    EXPECT_EQ(img.height, 37);
    EXPECT_EQ(img.pixels, rgb_only(pic.pixels)) << "width " << w;

    testkit_write_file(dir.file("p.pcx"), file);
    ASSERT_TRUE(test_magick_decode(dir.file("p.pcx"), &img)) << w;
    EXPECT_EQ(rgb_only(img.pixels), rgb_only(pic.pixels)) << "ImageMagick, width " << w;

    if (w % 2 == 0) { // the mirror engine's reader needs no padding
      ASSERT_TRUE(test_pcx24_decode_mirror(file, &img)) << w;
      EXPECT_EQ(img.pixels, rgb_only(pic.pixels)) << "mirror rules, width " << w;
    }
  }
}

TEST(PcxWriter, BytesOfC0AndAboveAreNeverLiterals) {
  // A row of single bytes of every value: each one at 0xC0 or above must be a
  // run of one, so the stream has exactly one extra byte per such value.
  forge_picture pic;
  picture_init(&pic, 256, 1, 0);
  for (uint32_t i = 0; i < 256; i++)
    pic.pixels[i] = picture_rgba(i, i, i, 0);
  std::vector<uint8_t> file;
  ASSERT_EQ(write_pcx24(&pic, &file), 1);
  EXPECT_EQ(file.size(), 128u + 3 * (256 + 64));
  // Walk the stream: a run byte is always followed by its value.
  size_t pos = 128;
  while (pos < file.size()) {
    if (file[pos] >= 0xC0) {
      EXPECT_GT(file[pos], 0xC0) << "no run of zero length";
      pos += 2;
    } else {
      pos++;
    }
  }
  EXPECT_EQ(pos, file.size());
}

TEST(PcxWriter, Pcx8RoundTripsWithItsTrailingPalette) {
  testkit_tempdir dir;
  for (int32_t w : {1, 3, 64, 65, 200}) {
    const indexed_picture pic = test_indexed(w, 21, 256, uint32_t(100 + w));
    std::vector<uint8_t> file;
    ASSERT_EQ(write_pcx8(&pic, &file), 1);
    ASSERT_GE(file.size(), 769u);
    EXPECT_EQ(file[file.size() - 769], 12) << "palette marker";
    forge_picture expect;
    ASSERT_EQ(indexed_expand(&pic, &expect), 1);

    test_image img;
    ASSERT_TRUE(test_pcx_decode(file, &img));
    EXPECT_EQ(img.pixels, expect.pixels) << w;
    testkit_write_file(dir.file("p.pcx"), file);
    ASSERT_TRUE(test_magick_decode(dir.file("p.pcx"), &img));
    EXPECT_EQ(rgb_only(img.pixels), expect.pixels) << "ImageMagick, width " << w;
  }
}

TEST(PcxWriter, RefusesEmptyOversizedAndMalformedPictures) {
  std::vector<uint8_t> file = {1, 2, 3};
  forge_picture pic;
  EXPECT_EQ(write_pcx24(&pic, &file), 0) << "empty";
  picture_init(&pic, 70000, 1, 0);
  EXPECT_EQ(write_pcx24(&pic, &file), 0) << "too wide for the header";
  picture_init(&pic, 4, 4, 0);
  pic.pixels.pop_back();
  EXPECT_EQ(write_pcx24(&pic, &file), 0) << "pixel count does not match the size";
  indexed_picture ip;
  indexed_init(&ip, 4, 4, 16);
  ip.indices.resize(3);
  EXPECT_EQ(write_pcx8(&ip, &file), 0);
}

TEST(PcxWriter, WidestLinesStillFitTheBytesPerLineField) {
  // Widths 65535 and 65536 pad to 65536 bytes a line, which the 16-bit field
  // cannot hold: refused. 65534 is the widest that fits.
  std::vector<uint8_t> file;
  for (int32_t w : {65535, 65536}) {
    forge_picture pic;
    picture_init(&pic, w, 1, 0);
    EXPECT_EQ(write_pcx24(&pic, &file), 0) << w;
    indexed_picture ip;
    indexed_init(&ip, w, 1, 256);
    EXPECT_EQ(write_pcx8(&ip, &file), 0) << w;
  }
  for (int32_t w : {65533, 65534}) {
    forge_picture pic;
    picture_init(&pic, w, 1, 0);
    ASSERT_EQ(write_pcx24(&pic, &file), 1) << w;
    ASSERT_GE(file.size(), size_t(128));
    EXPECT_EQ(test_u16_le(file, 8), uint32_t(w - 1)) << "Xmax";
    EXPECT_EQ(test_u16_le(file, 66), uint32_t(w + (w & 1))) << "bytes per line, padded to even";
    test_image img;
    ASSERT_TRUE(test_pcx_decode(file, &img)) << w;
    EXPECT_EQ(img.width, w);
    EXPECT_EQ(img.height, 1);
  }
  // Heights are only limited by the 16-bit Ymax field.
  indexed_picture tall;
  indexed_init(&tall, 2, 65536, 2);
  ASSERT_EQ(write_pcx8(&tall, &file), 1);
  EXPECT_EQ(test_u16_le(file, 10), 65535u) << "Ymax";
  indexed_init(&tall, 2, 65537, 2);
  EXPECT_EQ(write_pcx8(&tall, &file), 0);
}

TEST(TgaWriter, EveryDepthAndOriginRoundTrips) {
  testkit_tempdir dir;
  const forge_picture pic = test_picture(23, 17, 5);
  for (int32_t bits : {16, 24, 32})
    for (int32_t origin = 0; origin < 4; origin++) {
      std::vector<uint8_t> file;
      ASSERT_EQ(write_tga(&pic, bits, origin, &file), 1);
      EXPECT_EQ(file.size(), 18u + 23u * 17u * uint32_t(bits / 8));
      EXPECT_EQ(file[17] >> 4 & 3, origin);
      test_image img;
      ASSERT_TRUE(test_tga_decode(file, &img));
      std::vector<uint32_t> expect(pic.pixels.size());
      for (size_t i = 0; i < expect.size(); i++) {
        const uint32_t p = pic.pixels[i];
        if (bits == 16)
          expect[i] = picture_rgba(picture_red(p) >> 3, picture_green(p) >> 3, picture_blue(p) >> 3, 0);
        else
          expect[i] = bits == 32 ? p : (p & 0xFFFFFF);
      }
      EXPECT_EQ(img.pixels, expect) << bits << " bits, origin " << origin;

      testkit_write_file(dir.file("t.tga"), file);
      ASSERT_TRUE(test_magick_decode(dir.file("t.tga"), &img));
      for (size_t i = 0; i < expect.size(); i++) {
        uint32_t want = pic.pixels[i] & 0xFFFFFF;
        if (bits == 16) // ImageMagick scales five bits back up
          want = picture_rgba((picture_red(want) >> 3) * 255 / 31, (picture_green(want) >> 3) * 255 / 31,
                              (picture_blue(want) >> 3) * 255 / 31, 0);
        ASSERT_LE(max_channel_error({img.pixels[i] & 0xFFFFFF}, {want}), bits == 16 ? 1 : 0)
            << bits << " bits, origin " << origin << ", pixel " << i;
        if (bits == 32) {
          ASSERT_EQ(picture_alpha(img.pixels[i]), picture_alpha(pic.pixels[i])) << "alpha, pixel " << i;
        }
      }
    }
}

TEST(TgaWriter, RefusesOtherDepthsOriginsAndBadPictures) {
  const forge_picture pic = test_picture(4, 4, 1);
  std::vector<uint8_t> file;
  EXPECT_EQ(write_tga(&pic, 8, 0, &file), 0);
  EXPECT_EQ(write_tga(&pic, 15, 0, &file), 0);
  EXPECT_EQ(write_tga(&pic, 24, 4, &file), 0);
  EXPECT_EQ(write_tga(&pic, 24, -1, &file), 0);
  forge_picture empty;
  EXPECT_EQ(write_tga(&empty, 24, 0, &file), 0);
}

TEST(GifWriter, RoundTripsThroughGiflibAndImageMagickWithEitherPalette) {
  testkit_tempdir dir;
  for (int32_t colours : {2, 3, 16, 200, 256})
    for (int32_t place : {GIF_PALETTE_GLOBAL, GIF_PALETTE_LOCAL}) {
      const indexed_picture pic = test_indexed(97, 61, colours, uint32_t(colours));
      std::vector<uint8_t> file;
      ASSERT_EQ(write_gif(&pic, place, &file), 1);
      testkit_write_file(dir.file("g.gif"), file);

      int error = 0;
      GifFileType* gif = DGifOpenFileName(dir.file("g.gif").c_str(), &error);
      ASSERT_NE(gif, nullptr);
      ASSERT_EQ(DGifSlurp(gif), GIF_OK);
      ASSERT_EQ(gif->ImageCount, 1);
      const SavedImage& image = gif->SavedImages[0];
      EXPECT_EQ(image.ImageDesc.Width, 97);
      EXPECT_EQ(image.ImageDesc.Height, 61);
      EXPECT_FALSE(image.ImageDesc.Interlace);
      const ColorMapObject* map = place == GIF_PALETTE_GLOBAL ? gif->SColorMap : image.ImageDesc.ColorMap;
      ASSERT_NE(map, nullptr);
      EXPECT_EQ(place == GIF_PALETTE_GLOBAL ? image.ImageDesc.ColorMap : gif->SColorMap, nullptr);
      EXPECT_GE(map->ColorCount, colours);
      EXPECT_LT(map->ColorCount, std::max(4, colours * 2)) << "smallest power of two";
      EXPECT_TRUE(std::equal(pic.indices.begin(), pic.indices.end(), image.RasterBits));
      for (int32_t i = 0; i < colours; i++) {
        EXPECT_EQ(map->Colors[i].Red, pic.palette[size_t(i) * 3]);
        EXPECT_EQ(map->Colors[i].Blue, pic.palette[size_t(i) * 3 + 2]);
      }
      DGifCloseFile(gif, &error);

      forge_picture expect;
      indexed_expand(&pic, &expect);
      test_image img;
      ASSERT_TRUE(test_magick_decode(dir.file("g.gif"), &img));
      EXPECT_EQ(rgb_only(img.pixels), expect.pixels) << colours << " colours";
    }
}

TEST(GifWriter, LongCodeStreamsSurviveTableResets) {
  // Noise over 256 colours fills the 4096-entry table many times.
  testkit_tempdir dir;
  indexed_picture pic = test_indexed(512, 512, 256, 77);
  const std::vector<uint8_t> noise = testkit_random_bytes(pic.indices.size(), 78);
  std::copy(noise.begin(), noise.end(), pic.indices.begin());
  std::vector<uint8_t> file;
  ASSERT_EQ(write_gif(&pic, GIF_PALETTE_GLOBAL, &file), 1);
  testkit_write_file(dir.file("n.gif"), file);
  int error = 0;
  GifFileType* gif = DGifOpenFileName(dir.file("n.gif").c_str(), &error);
  ASSERT_NE(gif, nullptr);
  ASSERT_EQ(DGifSlurp(gif), GIF_OK);
  EXPECT_TRUE(std::equal(pic.indices.begin(), pic.indices.end(), gif->SavedImages[0].RasterBits));
  DGifCloseFile(gif, &error);
}

TEST(GifWriter, RefusesIndicesBeyondThePaletteAndBadPictures) {
  indexed_picture pic = test_indexed(8, 8, 16, 1);
  pic.indices[10] = 16;
  std::vector<uint8_t> file;
  EXPECT_EQ(write_gif(&pic, GIF_PALETTE_GLOBAL, &file), 0);
  pic.indices[10] = 0;
  EXPECT_EQ(write_gif(&pic, 2, &file), 0) << "unknown palette place";
  pic.colours = 0;
  EXPECT_EQ(write_gif(&pic, GIF_PALETTE_GLOBAL, &file), 0);
}

namespace {
// Decodes a JPEG held in memory with libjpeg into RGB pixels.
bool test_jpeg_decode(const std::vector<uint8_t>& file, test_image* out, bool* progressive) {
  jpeg_decompress_struct info;
  jpeg_error_mgr err;
  info.err = jpeg_std_error(&err);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, file.data(), (unsigned long)file.size());
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  *progressive = jpeg_has_multiple_scans(&info);
  jpeg_start_decompress(&info);
  out->width = int32_t(info.output_width), out->height = int32_t(info.output_height);
  out->pixels.resize(size_t(out->width) * size_t(out->height));
  std::vector<uint8_t> row(size_t(info.output_width) * info.output_components);
  while (info.output_scanline < info.output_height) {
    JSAMPROW rows[1] = {row.data()};
    const int32_t y = int32_t(info.output_scanline);
    jpeg_read_scanlines(&info, rows, 1);
    for (int32_t x = 0; x < out->width; x++)
      out->pixels[size_t(y) * size_t(out->width) + size_t(x)] =
          uint32_t(row[size_t(x) * 3]) | uint32_t(row[size_t(x) * 3 + 1]) << 8 | uint32_t(row[size_t(x) * 3 + 2]) << 16;
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

double psnr(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  double sum = 0;
  for (size_t i = 0; i < a.size(); i++)
    for (int k = 0; k < 24; k += 8) {
      const double d = double(a[i] >> k & 255) - double(b[i] >> k & 255);
      sum += d * d;
    }
  const double mse = sum / double(a.size() * 3);
  return mse > 0 ? 10 * std::log10(255.0 * 255.0 / mse) : 99;
}
} // namespace

TEST(JpegWriter, QualityProgressionAndChromaAreHonoured) {
  testkit_tempdir dir;
  // A smooth picture, as the show's backgrounds are.
  forge_picture pic;
  picture_init(&pic, 160, 120, 0);
  for (int32_t y = 0; y < 120; y++)
    for (int32_t x = 0; x < 160; x++)
      pic.pixels[size_t(y) * 160 + size_t(x)] = picture_rgba(uint32_t(128 + 100 * std::sin(x * 0.05)), uint32_t(y * 2),
                                                             uint32_t(128 + 90 * std::cos(y * 0.07)), 0);
  std::vector<uint8_t> low, high;
  jpeg_options opt;
  opt.quality = 30;
  ASSERT_EQ(write_jpeg(&pic, &opt, &low), 1);
  opt.quality = 95;
  opt.progressive = true;
  opt.full_chroma = true;
  ASSERT_EQ(write_jpeg(&pic, &opt, &high), 1);
  EXPECT_LT(low.size(), high.size());

  test_image a, b;
  bool prog_a = true, prog_b = false;
  ASSERT_TRUE(test_jpeg_decode(low, &a, &prog_a));
  ASSERT_TRUE(test_jpeg_decode(high, &b, &prog_b));
  EXPECT_FALSE(prog_a);
  EXPECT_TRUE(prog_b);
  EXPECT_EQ(a.width, 160);
  EXPECT_EQ(b.height, 120);
  const double q_low = psnr(a.pixels, rgb_only(pic.pixels)), q_high = psnr(b.pixels, rgb_only(pic.pixels));
  EXPECT_GT(q_high, 38.0);
  EXPECT_GT(q_high, q_low + 3);

  testkit_write_file(dir.file("h.jpg"), high);
  EXPECT_EQ(test_magick_identify(dir.file("h.jpg"), "%Q %[jpeg:sampling-factor] %[interlace]"), "95 1x1,1x1,1x1 JPEG");
  testkit_write_file(dir.file("l.jpg"), low);
  EXPECT_EQ(test_magick_identify(dir.file("l.jpg"), "%Q %[jpeg:sampling-factor]"), "30 2x2,1x1,1x1");
}

TEST(JpegWriter, RefusesBadQualityAndEmptyPictures) {
  forge_picture pic;
  picture_init(&pic, 8, 8, 0);
  std::vector<uint8_t> file;
  jpeg_options opt;
  opt.quality = 0;
  EXPECT_EQ(write_jpeg(&pic, &opt, &file), 0);
  opt.quality = 101;
  EXPECT_EQ(write_jpeg(&pic, &opt, &file), 0);
  forge_picture empty;
  EXPECT_EQ(write_jpeg(&empty, nullptr, &file), 0);
  forge_picture wide;
  picture_init(&wide, 65501, 1, 0);
  EXPECT_EQ(write_jpeg(&wide, nullptr, &file), 0) << "wider than the format allows";
  picture_init(&wide, 1, 65501, 0);
  EXPECT_EQ(write_jpeg(&wide, nullptr, &file), 0) << "taller than the format allows";
  EXPECT_TRUE(file.empty()) << "a refusal leaves the output as it was";
  EXPECT_EQ(write_jpeg(&pic, nullptr, &file), 1) << "default options";
}

TEST(JpegWriter, FilesLargerThanTheFirstBlockRoundTrip) {
  // Noise compresses badly, so the file passes the destination's first 4 KB
  // block many times over.
  const forge_picture pic = test_picture(320, 240, 31);
  std::vector<uint8_t> file = {1, 2, 3};
  jpeg_options opt;
  opt.quality = 97;
  opt.full_chroma = true;
  ASSERT_EQ(write_jpeg(&pic, &opt, &file), 1);
  EXPECT_GT(file.size(), size_t(64 * 1024));
  ASSERT_GE(file.size(), size_t(4));
  EXPECT_EQ(file[0], 0xFF);
  EXPECT_EQ(file[1], 0xD8) << "starts with the image start marker";
  EXPECT_EQ(file[file.size() - 2], 0xFF);
  EXPECT_EQ(file[file.size() - 1], 0xD9) << "ends with the image end marker, nothing after it";
  test_image img;
  bool progressive = true;
  ASSERT_TRUE(test_jpeg_decode(file, &img, &progressive));
  EXPECT_EQ(img.width, 320);
  EXPECT_EQ(img.height, 240);
  EXPECT_GT(psnr(img.pixels, rgb_only(pic.pixels)), 30.0);
}

namespace {
struct test_jpeg_error {
  jpeg_error_mgr mgr;
  jmp_buf jump;
};

void test_jpeg_error_exit(j_common_ptr info) { longjmp(reinterpret_cast<test_jpeg_error*>(info->err)->jump, 1); }

// Compresses the first `rows` rows of a picture into out through the writer's
// destination and then finishes, which the library refuses with an error when
// rows are missing. Returns 1 when it finished, 0 after the error.
int test_jpeg_rows(const forge_picture* pic, int32_t rows, uint8_t* row, std::vector<uint8_t>* out, size_t* written) {
  jpeg_compress_struct info;
  test_jpeg_error error;
  info.err = jpeg_std_error(&error.mgr);
  error.mgr.error_exit = test_jpeg_error_exit;
  if (setjmp(error.jump)) {
    jpeg_destroy_compress(&info);
    return 0;
  }
  jpeg_create_compress(&info);
  jpeg_writer_dest_set(&info, out);
  info.image_width = JDIMENSION(pic->width);
  info.image_height = JDIMENSION(pic->height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 97, TRUE);
  info.comp_info[0].h_samp_factor = info.comp_info[0].v_samp_factor = 1;
  jpeg_start_compress(&info, TRUE);
  for (int32_t y = 0; y < rows; y++) {
    for (int32_t x = 0; x < pic->width; x++) {
      const uint32_t p = pic->pixels[size_t(y) * size_t(pic->width) + size_t(x)];
      row[x * 3] = uint8_t(picture_red(p)), row[x * 3 + 1] = uint8_t(picture_green(p));
      row[x * 3 + 2] = uint8_t(picture_blue(p));
    }
    JSAMPROW rows_at[1] = {row};
    jpeg_write_scanlines(&info, rows_at, 1);
  }
  *written = size_t(info.dest->next_output_byte - out->data());
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return 1;
}
} // namespace

TEST(JpegWriter, ALibraryErrorAfterTheFirstBlockFreesEverythingOnce) {
  // Under the address sanitizer a double free or a leak on the error path
  // fails this test.
  const forge_picture pic = test_picture(256, 256, 77);
  std::vector<uint8_t> row(256 * 3), out;
  size_t written = 0;
  EXPECT_EQ(test_jpeg_rows(&pic, 200, row.data(), &out, &written), 0) << "rows missing";
  EXPECT_GT(written, size_t(4096)) << "the error came after the output passed its first block";
  // The vector is still the caller's and whole: reuse it for a full file.
  EXPECT_EQ(test_jpeg_rows(&pic, 256, row.data(), &out, &written), 1);
  test_image img;
  bool progressive = true;
  ASSERT_TRUE(test_jpeg_decode(out, &img, &progressive));
  EXPECT_EQ(img.width, 256);
  EXPECT_EQ(img.height, 256);
  EXPECT_GT(psnr(img.pixels, rgb_only(pic.pixels)), 30.0);
}

TEST(ScxWriter, HeaderIs778BytesAndPixelsFollowInRowOrder) {
  scx_map map;
  map.width = 300;
  map.height = 7;
  map.pixels = testkit_random_bytes(2100, 9);
  std::vector<uint8_t> file;
  ASSERT_EQ(write_scx(&map, &file), 1);
  ASSERT_EQ(file.size(), size_t(SCX_HEADER_SIZE) + 2100);
  EXPECT_EQ(file[4] | file[5] << 8, 300);
  EXPECT_EQ(file[6] | file[7] << 8, 7);
  EXPECT_TRUE(std::equal(map.pixels.begin(), map.pixels.end(), file.begin() + SCX_HEADER_SIZE));
  map.pixels.pop_back();
  EXPECT_EQ(write_scx(&map, &file), 0);
  map.width = 0;
  map.pixels.clear();
  EXPECT_EQ(write_scx(&map, &file), 0);
}

TEST(PngWriter, RoundTripsWithAndWithoutAlpha) {
  testkit_tempdir dir;
  const forge_picture pic = test_picture(33, 19, 3);
  for (bool alpha : {false, true}) {
    std::vector<uint8_t> file, again;
    ASSERT_EQ(write_png(&pic, alpha, &file), 1);
    ASSERT_EQ(write_png(&pic, alpha, &again), 1);
    EXPECT_EQ(file, again) << "no time stamp or other varying chunk";
    testkit_write_file(dir.file("p.png"), file);
    test_image img;
    ASSERT_TRUE(test_magick_decode(dir.file("p.png"), &img));
    EXPECT_EQ(rgb_only(img.pixels), rgb_only(pic.pixels));
    if (alpha) {
      EXPECT_EQ(img.pixels, pic.pixels);
    }
  }
}
