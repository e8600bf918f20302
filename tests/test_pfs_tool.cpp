// The pfs program: pack, list, cat and extract, and its refusals.
#include "pfs_writer.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {
std::string pfs_bin() { return testkit_bin_dir() + "/pfs"; }

int pfs(const std::string& args, std::string* out = nullptr) {
  return testkit_run(pfs_bin() + " " + args + " 2>/dev/null", out);
}

// Runs pfs and returns only what it printed on standard error.
std::string pfs_stderr(const std::string& args, int* status) {
  std::string err;
  *status = testkit_run(pfs_bin() + " " + args + " 2>&1 >/dev/null", &err);
  return err;
}

struct pfs_tool : ::testing::Test {
  testkit_tempdir dir{true};
  std::map<std::string, std::vector<uint8_t>> files = {
      {"loadpic.pcx", testkit_random_bytes(20000, 1)},
      {"intro/torus.lwo", testkit_random_bytes(777, 2)},
      {"intro/Z.txt", {'z'}},
      {"galaxy/deep/space/empty.bin", {}},
      {"galaxy/big.jpg", testkit_random_bytes(300000, 3)},
  };
  void make_tree(const std::string& root) {
    for (const auto& [name, bytes] : files) {
      fs::create_directories(fs::path(root + "/" + name).parent_path());
      testkit_write_file(root + "/" + name, bytes);
    }
  }
};
} // namespace

TEST_F(pfs_tool, PackListAndCatReproduceEveryFile) {
  make_tree("tree/data");
  fs::create_symlink("../loadpic.pcx", "tree/data/intro/link.pcx");
  ASSERT_EQ(pfs("pack tree/data out.dat"), 0);
  std::string listing;
  ASSERT_EQ(pfs("list out.dat", &listing), 0);
  std::istringstream lines(listing);
  std::string line;
  std::vector<std::string> names;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string name, unpacked, packed;
    std::getline(fields, name, '\t');
    std::getline(fields, unpacked, '\t');
    std::getline(fields, packed, '\t');
    ASSERT_TRUE(files.count(name)) << "unexpected entry " << name;
    EXPECT_EQ(std::stoul(unpacked), files[name].size()) << name;
    EXPECT_GT(std::stoul(packed), 0u) << name;
    names.push_back(name);
  }
  EXPECT_EQ(names.size(), files.size()) << "the symbolic link is skipped";
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end())) << "entries sorted bytewise";
  for (const auto& [name, bytes] : files) {
    std::string out;
    ASSERT_EQ(pfs("cat out.dat data/" + name, &out), 0) << name;
    EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.end()), bytes) << name;
  }
  std::string out;
  ASSERT_EQ(pfs("cat out.dat 'data/Intro\\Torus.LWO'", &out), 0);
  EXPECT_EQ(out.size(), 777u);
}

TEST_F(pfs_tool, ExtractWritesEveryEntry) {
  make_tree("tree");
  ASSERT_EQ(pfs("pack tree a.dat"), 0);
  ASSERT_EQ(pfs("extract a.dat copy"), 0);
  for (const auto& [name, bytes] : files)
    EXPECT_EQ(testkit_read_file("copy/" + name), bytes) << name;
}

TEST_F(pfs_tool, ExtractReportsAWriteThatFailsOnClose) {
  // A few bytes sit in the stream's buffer until the close, which is where
  // the full device refuses them.
  ASSERT_TRUE(fs::exists("/dev/full"));
  std::string error;
  ASSERT_EQ(pfs_writer_write("one.dat", {{"small.txt", {'a', 'b', 'c'}}}, &error), 1) << error;
  fs::create_directories("out");
  fs::create_symlink("/dev/full", "out/small.txt");
  int status = 0;
  const std::string err = pfs_stderr("extract one.dat out", &status);
  EXPECT_NE(status, 0);
  EXPECT_NE(err.find("cannot write"), std::string::npos) << err;
}

TEST_F(pfs_tool, ExtractRefusesNamesThatEscape) {
  for (const char* bad : {"../evil.txt", "/tmp/vorlane-evil.txt", "a\\..\\..\\evil.txt", "ok/../../evil.txt"}) {
    SCOPED_TRACE(bad);
    std::string error;
    ASSERT_EQ(pfs_writer_write("bad.dat", {{"fine.txt", {'1'}}, {bad, {'x'}}}, &error), 1) << error;
    int status = 0;
    const std::string err = pfs_stderr("extract bad.dat out/inner", &status);
    EXPECT_NE(status, 0);
    EXPECT_NE(err.find("refused"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists("out/evil.txt"));
    EXPECT_FALSE(fs::exists("evil.txt"));
    EXPECT_FALSE(fs::exists("/tmp/vorlane-evil.txt"));
  }
}

TEST_F(pfs_tool, PackRefusesCollidingNamesAndLeavesTheOldArchive) {
  make_tree("tree");
  ASSERT_EQ(pfs("pack tree keep.dat"), 0);
  const auto before = testkit_read_file("keep.dat");
  testkit_write_file("tree/intro/TORUS.LWO", {'x'});
  int status = 0;
  const std::string err = pfs_stderr("pack tree keep.dat", &status);
  EXPECT_NE(status, 0);
  EXPECT_NE(err.find("collide"), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << "one line: " << err;
  EXPECT_EQ(testkit_read_file("keep.dat"), before) << "a failed pack leaves the archive as it was";
  for (const auto& e : fs::directory_iterator("."))
    EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << "no temporary left behind";
}

TEST_F(pfs_tool, PackRefusesLongNamesAndArchivesInsideTheTree) {
  make_tree("tree");
  int status = 0;
  pfs_stderr("pack tree tree/inner.dat", &status);
  EXPECT_NE(status, 0);
  EXPECT_FALSE(fs::exists("tree/inner.dat"));
  pfs_stderr("pack tree tree/intro/../x.dat", &status);
  EXPECT_NE(status, 0);

  const std::string deep = "tree/" + std::string(120, 'a') + "/" + std::string(120, 'b');
  fs::create_directories(deep);
  testkit_write_file(deep + "/a-rather-long-file-name.txt", {'1'}); // 242 + 28 bytes of entry name
  const std::string err = pfs_stderr("pack tree long.dat", &status);
  EXPECT_NE(status, 0);
  EXPECT_NE(err.find("255"), std::string::npos) << err;
  EXPECT_FALSE(fs::exists("long.dat"));
}

TEST_F(pfs_tool, ErrorsAreOneLineAndNonZero) {
  testkit_write_file("junk.dat", {1, 2, 3});
  make_tree("tree");
  ASSERT_EQ(pfs("pack tree ok.dat"), 0);
  const std::string cases[] = {"list missing.dat", "list junk.dat",        "cat ok.dat data/nothing.txt",
                               "pack nodir x.dat", "extract junk.dat out", "frobnicate"};
  for (const std::string& c : cases) {
    int status = 0;
    const std::string err = pfs_stderr(c, &status);
    EXPECT_NE(status, 0) << c;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << c << ": " << err;
  }
}
