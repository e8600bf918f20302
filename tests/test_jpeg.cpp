#include "jpeg.h"
#include "reader_checks.h"
#include "testkit.h"

#include <gtest/gtest.h>

namespace {

// libjpeg-turbo's cjpeg writes, its djpeg decodes: the reader must give the
// same pixels (same library, same default settings), byte 3 = 0, grey-scale
// expanded to red = green = blue.
TEST(Jpeg, FilesFromCjpegDecodeAsDjpegDoes) {
  READER_REQUIRE_TOOL("cjpeg");
  READER_REQUIRE_TOOL("djpeg");
  testkit_tempdir dir(true);
  const int w = 75, h = 41;
  testkit_write_file("in.ppm", fixture_ppm(w, h, fixture_rgb(w, h, 5)));
  for (const char* options : {"-quality 85", "-progressive", "-grayscale", "-progressive -grayscale",
                              "-sample 1x1 -quality 95", "-restart 1 -optimize", "-arithmetic"}) {
    ASSERT_TRUE(reader_run(std::string("cjpeg ") + options + " -outfile a.jpg in.ppm"));
    ASSERT_TRUE(reader_run("djpeg -pnm -outfile a.pnm a.jpg"));
    int ew = 0, eh = 0;
    const fixture_bytes expected = reader_read_pnm("a.pnm", &ew, &eh);
    ASSERT_EQ(ew, w);
    pixmap_ptr pm = reader_load(jpeg_load, "a.jpg");
    EXPECT_TRUE(reader_same(pm.get(), w, h, expected, 0)) << options;
    if (std::string(options).find("grayscale") != std::string::npos) {
      ASSERT_TRUE(pm);
      uint32_t p = pm->pixels[w * h / 2];
      EXPECT_TRUE((p & 255) == (p >> 8 & 255) && (p & 255) == (p >> 16 & 255));
    }
  }
}

// Cut short in the entropy data, the picture still comes out whole: the
// missing part is decoded from a fake end-of-image marker (as djpeg does), and
// the library warns once.
TEST(Jpeg, CutShortInItsDataStillGivesTheWholePicture) {
  READER_REQUIRE_TOOL("cjpeg");
  READER_REQUIRE_TOOL("djpeg");
  testkit_tempdir dir(true);
  const int w = 64, h = 48;
  testkit_write_file("in.ppm", fixture_ppm(w, h, fixture_rgb(w, h, 6)));
  for (const char* options : {"-quality 90", "-progressive"}) {
    ASSERT_TRUE(reader_run(std::string("cjpeg ") + options + " -outfile full.jpg in.ppm"));
    const fixture_bytes full = testkit_read_file("full.jpg");
    // Cut in the middle of the last scan's data.
    size_t last_scan = 0;
    for (size_t i = 0; i + 1 < full.size(); i++)
      if (full[i] == 0xFF && full[i + 1] == 0xDA)
        last_scan = i;
    ASSERT_GT(last_scan, 0u);
    const size_t cut = last_scan + (full.size() - last_scan) / 2;
    testkit_write_file("cut.jpg", fixture_bytes(full.begin(), full.begin() + long(cut)));
    // djpeg ends with status 2 after a warning, and still writes the picture.
    std::string djpeg;
    EXPECT_EQ(testkit_run("djpeg -pnm -outfile cut.pnm cut.jpg 2>&1", &djpeg), 2) << options << ": " << djpeg;
    int ew = 0, eh = 0;
    const fixture_bytes expected = reader_read_pnm("cut.pnm", &ew, &eh);
    ASSERT_EQ(ew, w);
    testing::internal::CaptureStderr();
    pixmap_ptr pm = reader_load(jpeg_load, "cut.jpg");
    const std::string warnings = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(reader_same(pm.get(), w, h, expected, 0)) << options;
    const std::string warning = "Premature end of JPEG file";
    const size_t at = warnings.find(warning);
    EXPECT_NE(at, std::string::npos) << warnings;
    EXPECT_EQ(warnings.find(warning, at + 1), std::string::npos) << "warned more than once: " << warnings;
  }
}

TEST(Jpeg, RefusedFiles) {
  READER_REQUIRE_TOOL("cjpeg");
  testkit_tempdir dir(true);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(reader_load_bytes(jpeg_load, "empty.jpg", {}));
  EXPECT_FALSE(reader_load_bytes(jpeg_load, "junk.jpg", testkit_random_bytes(3000, 4)));
  EXPECT_FALSE(reader_load_bytes(jpeg_load, "soi.jpg", {0xFF, 0xD8}));
  EXPECT_FALSE(reader_load(jpeg_load, "missing.jpg"));
  const std::string messages = testing::internal::GetCapturedStderr();
  // Errors come back to the loader silently.
  EXPECT_EQ(messages.find("Empty input file"), std::string::npos) << messages;
}

// CMYK files come out of the library as four components a pixel: refused.
TEST(Jpeg, CmykIsRefused) {
  READER_REQUIRE_TOOL("convert");
  testkit_tempdir dir(true);
  testkit_write_file("in.ppm", fixture_ppm(16, 16, fixture_rgb(16, 16, 7)));
  ASSERT_TRUE(reader_run("convert in.ppm -colorspace CMYK cmyk.jpg"));
  EXPECT_FALSE(reader_load(jpeg_load, "cmyk.jpg"));
  jpeg_info info;
  EXPECT_FALSE(jpeg_read_info("cmyk.jpg", &info));
  EXPECT_EQ(info.components, 4);
}

// A frame header patched to a huge size: refused from the header, before the
// library sets up buffers for it (a progressive picture keeps coefficients
// for the whole frame); sizes a pixmap could hold still meet the library's
// memory bound instead of gigabytes of coefficients.
TEST(Jpeg, HugeDeclaredSizesFailWithoutHugeAllocations) {
  testkit_tempdir dir(true);
  for (const bool progressive : {false, true}) {
    fixture_bytes bytes = fixture_jpeg(16, 16, fixture_rgb(16, 16, 3), 75, progressive);
    size_t sof = 0;
    for (size_t i = 2; i + 9 < bytes.size(); i++)
      if (bytes[i] == 0xFF && (bytes[i + 1] == 0xC0 || bytes[i + 1] == 0xC2)) {
        sof = i;
        break;
      }
    ASSERT_NE(sof, 0u);
    auto patch = [&](int w, int h) {
      fixture_bytes b = bytes;
      b[sof + 5] = uint8_t(h >> 8);
      b[sof + 6] = uint8_t(h);
      b[sof + 7] = uint8_t(w >> 8);
      b[sof + 8] = uint8_t(w);
      return b;
    };
    testing::internal::CaptureStderr();
    EXPECT_FALSE(reader_load_bytes(jpeg_load, "huge.jpg", patch(65000, 65000))) << progressive;
    if (progressive) {
      EXPECT_FALSE(reader_load_bytes(jpeg_load, "big.jpg", patch(20000, 20000)));
    }
    // Within the pixel bound, but far more 8 x 8 blocks than the data has bits.
    EXPECT_FALSE(reader_load_bytes(jpeg_load, "forged.jpg", patch(2000, 2000))) << progressive;
    testing::internal::GetCapturedStderr();
    jpeg_info info;
    ASSERT_TRUE(jpeg_read_info("huge.jpg", &info)) << "the header itself is readable";
    EXPECT_EQ(info.width, 65000);
    // The untouched file still decodes.
    pixmap_ptr pm = reader_load_bytes(jpeg_load, "fine.jpg", bytes);
    ASSERT_TRUE(pm);
    EXPECT_EQ(pm->width, 16);
  }
}

TEST(Jpeg, InfoReadsTheHeaderOnly) {
  testkit_tempdir dir(true);
  testkit_write_file("p.jpg", fixture_jpeg(30, 20, fixture_rgb(30, 20, 1), 80, true));
  jpeg_info info;
  ASSERT_TRUE(jpeg_read_info("p.jpg", &info));
  EXPECT_EQ(info.width, 30);
  EXPECT_EQ(info.height, 20);
  EXPECT_EQ(info.components, 3);
  EXPECT_EQ(info.progressive, 1);
}

} // namespace
