// The generated data set: the forge program, its determinism, the packed
// data.dat and the shell's own files.
#include "forge_decoders.h"
#include "mem.h"
#include "pcx.h"
#include "pfs_archive.h"
#include "pixmap.h"
#include "testkit.h"
#include "tga.h"
#include "vfs.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {
std::string forge_exe() { return testkit_bin_dir() + "/forge"; }

// The tree the build generated data.dat from.
std::string build_tree() { return (fs::path(testkit_bin_dir()).parent_path() / "forge-tree").string(); }

std::map<std::string, std::vector<uint8_t>> read_tree(const std::string& root) {
  std::map<std::string, std::vector<uint8_t>> files;
  for (const auto& e : fs::recursive_directory_iterator(root))
    if (e.is_regular_file())
      files[fs::relative(e.path(), root).generic_string()] = testkit_read_file(e.path().string());
  return files;
}

struct listed {
  std::string name, format;
  size_t size;
};

std::vector<listed> forge_list() {
  std::string out;
  EXPECT_EQ(testkit_run(forge_exe() + " --list", &out), 0);
  std::vector<listed> files;
  std::istringstream in(out);
  std::string line;
  while (std::getline(in, line)) {
    const size_t a = line.find('\t'), b = line.rfind('\t');
    if (a == std::string::npos || a == b)
      continue; // the total line
    files.push_back({line.substr(0, a), line.substr(a + 1, b - a - 1), size_t(std::stoull(line.substr(b + 1)))});
  }
  return files;
}

double luma(uint32_t p) { return 0.299 * (p & 255) + 0.587 * (p >> 8 & 255) + 0.114 * (p >> 16 & 255); }
} // namespace

TEST(ForgeData, EveryRunGivesTheSameBytesWhateverTheThreadCount) {
  testkit_tempdir dir;
  ASSERT_EQ(testkit_run(forge_exe() + " --jobs 1 " + dir.path + " 2>&1"), 0);
  const auto fresh = read_tree(dir.path + "/data");
  const auto built = read_tree(build_tree() + "/data");
  ASSERT_FALSE(fresh.empty());
  ASSERT_EQ(fresh.size(), built.size());
  for (const auto& [name, bytes] : fresh) {
    auto it = built.find(name);
    ASSERT_NE(it, built.end()) << name;
    EXPECT_TRUE(bytes == it->second) << name << " differs between runs";
  }
  // A second run into the same folder replaces the tree (nothing stale stays).
  testkit_write_file(dir.path + "/data/stale.bin", {1, 2, 3});
  ASSERT_EQ(testkit_run(forge_exe() + " --jobs 3 " + dir.path + " 2>&1"), 0);
  EXPECT_FALSE(fs::exists(dir.path + "/data/stale.bin"));
  EXPECT_EQ(read_tree(dir.path + "/data").size(), fresh.size());
}

TEST(ForgeData, EveryListedFileIsInTheTreeAndInDataDatUnderItsName) {
  const std::vector<listed> files = forge_list();
  ASSERT_GE(files.size(), 2u);
  pfs_archive archive;
  std::string reason;
  ASSERT_EQ(pfs_archive_open(&archive, (testkit_bin_dir() + "/data.dat").c_str(), &reason), 1) << reason;
  EXPECT_EQ(archive.entries.size(), files.size()) << "data.dat holds exactly the forge's files";
  for (const listed& f : files) {
    ASSERT_EQ(f.name.compare(0, 5, "data/"), 0) << f.name;
    EXPECT_FALSE(f.format.empty());
    const std::vector<uint8_t> on_disk = testkit_read_file(build_tree() + "/" + f.name);
    EXPECT_EQ(on_disk.size(), f.size) << f.name;
    // The shell asks for "data/x"; the archive stores "x".
    const pfs_entry* e = pfs_archive_find(&archive, pfs_entry_name(f.name.c_str()));
    ASSERT_NE(e, nullptr) << f.name << " missing from data.dat";
    EXPECT_EQ(e->name, f.name.substr(5));
    ASSERT_EQ(e->unpacked_size, f.size) << f.name;
    uint8_t* data = pfs_archive_inflate(&archive, e, &reason);
    ASSERT_NE(data, nullptr) << reason;
    EXPECT_TRUE(std::equal(on_disk.begin(), on_disk.end(), data)) << f.name;
    mem_free(data);
  }
}

TEST(ForgeData, TheLoadingPictureIsDesignedAndItsBarStandsOut) {
  const std::vector<uint8_t> file = testkit_read_file(build_tree() + "/data/loadpic.pcx");
  test_image img;
  ASSERT_TRUE(test_pcx_decode(file, &img));
  ASSERT_EQ(img.width, 320);
  ASSERT_EQ(img.height, 240);
  // The bar's area (rows 40-43, columns 80-209) is dark and far from orange,
  // so the bar (255, 196, 0) drawn over it stands out.
  double bar_luma = 0;
  for (int32_t y = 40; y <= 43; y++)
    for (int32_t x = 80; x <= 209; x++) {
      const uint32_t p = img.pixels[size_t(y) * 320 + size_t(x)];
      bar_luma += luma(p);
      ASSERT_LT(luma(p), 60) << x << "," << y;
    }
  bar_luma /= 4 * 130;
  EXPECT_LT(bar_luma, 25);
  const double bar_colour_luma = 0.299 * 255 + 0.587 * 196;
  EXPECT_GT(bar_colour_luma - bar_luma, 150);
  // A designed picture: many colours, bright title lettering, dark sky.
  std::map<uint32_t, int> colours;
  double bright = 0, dark = 0;
  for (uint32_t p : img.pixels) {
    colours[p & 0xFFFFFF]++;
    bright += luma(p) > 200;
    dark += luma(p) < 40;
  }
  EXPECT_GT(colours.size(), 5000u);
  EXPECT_GT(bright, 1500) << "the title's chrome";
  EXPECT_GT(dark, 320 * 240 / 5) << "deep space";
  // The title sits in the middle band: its rows hold far more contrast than
  // the bar's surroundings.
  double mid_var = 0, mean = 0;
  for (int32_t x = 0; x < 320; x++)
    mean += luma(img.pixels[size_t(115) * 320 + size_t(x)]);
  mean /= 320;
  for (int32_t x = 0; x < 320; x++)
    mid_var += std::pow(luma(img.pixels[size_t(115) * 320 + size_t(x)]) - mean, 2);
  EXPECT_GT(std::sqrt(mid_var / 320), 40);
}

TEST(ForgeData, TheHiddenSpriteIsASmallCharacterWithAKeyedBackground) {
  const std::vector<uint8_t> file = testkit_read_file(build_tree() + "/data/lillget1.tga");
  test_image img;
  ASSERT_TRUE(test_tga_decode(file, &img));
  EXPECT_GE(img.width, 24);
  EXPECT_LE(img.width, 40);
  EXPECT_GE(img.height, 24);
  EXPECT_LE(img.height, 40);
  int see_through = 0, drawn = 0;
  std::map<uint32_t, int> colours;
  for (uint32_t p : img.pixels) {
    if ((p & 255) == 255) {
      see_through++;
    } else {
      drawn++;
      colours[p & 0xFFFFFF]++;
    }
  }
  EXPECT_GT(drawn, img.width * img.height / 4) << "a character, not a speck";
  EXPECT_GT(see_through, img.width * img.height / 4) << "a shape, not a block";
  EXPECT_GT(colours.size(), 20u) << "shaded, not flat";
  // The corners are background; the character's outline is dark.
  for (size_t i : {size_t(0), size_t(img.width - 1), img.pixels.size() - 1})
    EXPECT_EQ(img.pixels[i] & 255, 255u);
}

TEST(ForgeData, RefusesToReplaceAFolderItDidNotMake) {
  testkit_tempdir dir;
  fs::create_directories(dir.path + "/data");
  testkit_write_file(dir.path + "/data/precious.txt", {'x'});
  std::string out;
  EXPECT_NE(testkit_run(forge_exe() + " " + dir.path + " 2>&1", &out), 0);
  EXPECT_NE(out.find("not made by forge"), std::string::npos) << out;
  EXPECT_TRUE(fs::exists(dir.path + "/data/precious.txt"));
  EXPECT_NE(testkit_run(forge_exe() + " 2>&1", &out), 0) << "nothing to do";
  EXPECT_NE(testkit_run(forge_exe() + " --jobs 0 " + dir.path + " 2>&1", &out), 0);
}

// forge packs the tree it wrote with the archive writer, to the same bytes as
// the pfs program; the build makes data.dat that way.
TEST(ForgeData, ArchiveOptionPacksTheTreeAsPfsPackDoes) {
  testkit_tempdir dir;
  const std::string tree = dir.path + "/tree", pfs = testkit_bin_dir() + "/pfs";
  std::string out;
  ASSERT_EQ(testkit_run(forge_exe() + " --only data/lo " + tree + " --archive " + dir.path + "/forge.dat 2>&1", &out),
            0)
      << out;
  ASSERT_EQ(testkit_run(pfs + " pack " + tree + "/data " + dir.path + "/pfs.dat 2>&1", &out), 0) << out;
  const auto packed = testkit_read_file(dir.path + "/forge.dat");
  ASSERT_GE(read_tree(tree + "/data").size(), 2u) << "the files under data/ starting with lo";
  EXPECT_TRUE(packed == testkit_read_file(dir.path + "/pfs.dat"));

  ASSERT_EQ(testkit_run(pfs + " pack " + build_tree() + "/data " + dir.path + "/built.dat 2>&1", &out), 0) << out;
  EXPECT_TRUE(testkit_read_file(testkit_bin_dir() + "/data.dat") == testkit_read_file(dir.path + "/built.dat"));

  // Without OUTDIR there is no tree to pack; a refused pack fails the run.
  EXPECT_NE(testkit_run(forge_exe() + " --list --archive " + dir.path + "/x.dat 2>&1", &out), 0);
  EXPECT_NE(out.find("give OUTDIR"), std::string::npos) << out;
  EXPECT_NE(testkit_run(forge_exe() + " --only data/lo " + tree + " --archive " + tree + "/data/in.dat 2>&1", &out), 0);
  EXPECT_FALSE(fs::exists(tree + "/data/in.dat"));
  EXPECT_FALSE(fs::exists(dir.path + "/x.dat"));
}

TEST(ForgeData, TheShellReadsItsFilesFromDataDatThroughItsOwnReaders) {
  // As the show does: the archive device, names under "data/".
  testkit_tempdir dir(true);
  std::filesystem::copy_file(testkit_bin_dir() + "/data.dat", "data.dat");
  pfs_device_reset();
  pfs_device.parameter = "data.dat";
  ASSERT_EQ(vfs_device_enable(&pfs_device, 0), 1);
  ASSERT_EQ(vfs_device_init(&pfs_device, 0, 0), 1);

  pixmap* pic = pcx_load("data/loadpic.pcx");
  ASSERT_NE(pic, nullptr);
  EXPECT_EQ(pic->width, 320);
  EXPECT_EQ(pic->height, 240);
  // The same picture as the tests' own decoder sees in the tree.
  test_image img;
  ASSERT_TRUE(test_pcx_decode(testkit_read_file(build_tree() + "/data/loadpic.pcx"), &img));
  EXPECT_TRUE(std::equal(img.pixels.begin(), img.pixels.end(), pic->pixels));
  pixmap_free(pic);

  pixmap* sprite = tga_load("data/lillget1.tga");
  ASSERT_NE(sprite, nullptr);
  int keyed = 0, drawn = 0;
  for (int32_t i = 0; i < sprite->width * sprite->height; i++)
    ((sprite->pixels[i] & 255) == 255 ? keyed : drawn)++;
  EXPECT_GT(keyed, 100);
  EXPECT_GT(drawn, 100);
  EXPECT_EQ(sprite->pixels[0] & 255, 255u) << "the top-left corner is see-through";
  pixmap_free(sprite);

  pfs_device_reset();
  vfs_device_enable(&stdio_device, 0);
}

TEST(ForgeData, ContactSheetsShowEveryFolderThroughTheReaders) {
  testkit_tempdir dir;
  std::string out;
  ASSERT_EQ(testkit_run(forge_exe() + " --sheet " + dir.path + "/sheets 2>&1", &out), 0) << out;
  std::set<std::string> folders;
  for (const listed& f : forge_list()) {
    const std::string ext = f.name.substr(f.name.rfind('.') + 1);
    if (ext == "pcx" || ext == "gif" || ext == "tga" || ext == "jpg" || ext == "scx") {
      std::string folder = f.name.substr(0, f.name.rfind('/'));
      std::replace(folder.begin(), folder.end(), '/', '_');
      folders.insert(folder);
    }
  }
  ASSERT_FALSE(folders.empty());
  for (const std::string& folder : folders) {
    const std::string png = dir.path + "/sheets/" + folder + ".png";
    ASSERT_TRUE(fs::exists(png)) << png;
    test_image sheet;
    ASSERT_TRUE(test_magick_decode(png, &sheet)) << png;
    // A folder of one small square picture makes the narrowest sheet.
    EXPECT_GT(sheet.width, 250);
    // A heading and at least one row of thumbnails (a wide picture's is
    // 320 x 120).
    EXPECT_GT(sheet.height, 150);
  }
  EXPECT_TRUE(fs::exists(dir.path + "/sheets/data.png"));
  EXPECT_EQ(out.find("[GIF]"), std::string::npos) << "the readers' progress lines stay quiet";
}
