// pfs_device and the archive module: lookup, reads, seeks, slots, and
// archives that are bad in every way the format allows.
#include "mem.h"
#include "pfs_archive.h"
#include "pfs_writer.h"
#include "testkit.h"
#include "vfs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <zlib.h>

namespace {
void put_u32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; i++)
    out.push_back(uint8_t(v >> (8 * i)));
}

std::vector<uint8_t> zpack(const std::vector<uint8_t>& data) {
  uLongf len = compressBound(uLong(data.size()));
  std::vector<uint8_t> out(len);
  compress2(out.data(), &len, data.data(), uLong(data.size()), 9);
  out.resize(len);
  return out;
}

struct raw_entry {
  uint32_t offset, unpacked, packed;
  std::string name;
};

// An archive laid out by hand: blob, then the directory, then the trailer.
std::vector<uint8_t> raw_archive(const std::vector<uint8_t>& blob, const std::vector<raw_entry>& entries,
                                 uint32_t count_override = UINT32_MAX, uint32_t dir_override = UINT32_MAX) {
  std::vector<uint8_t> out = blob;
  const uint32_t dir = uint32_t(out.size());
  for (const raw_entry& e : entries) {
    put_u32(out, e.offset);
    put_u32(out, e.unpacked);
    put_u32(out, e.packed);
    put_u32(out, 0);
    out.insert(out.end(), e.name.begin(), e.name.end());
    out.push_back(0);
  }
  put_u32(out, 0);
  put_u32(out, count_override != UINT32_MAX ? count_override : uint32_t(entries.size()));
  put_u32(out, dir_override != UINT32_MAX ? dir_override : dir);
  return out;
}

struct pfs_fixture : ::testing::Test {
  testkit_tempdir dir{true};
  std::vector<uint8_t> torus = testkit_random_bytes(3000, 11);
  std::vector<uint8_t> small = {'h', 'e', 'l', 'l', 'o', '!', '\n', 0, 1, 2};

  void SetUp() override {
    pfs_device_reset();
    pfs_device.parameter = "data.dat";
    vfs_device_enable(&pfs_device, 0);
  }
  void TearDown() override {
    pfs_device_reset();
    vfs_device_enable(&stdio_device, 0);
  }
  void write_standard_archive() {
    std::string error;
    ASSERT_EQ(
        pfs_writer_write("data.dat", {{"intro/torus.lwo", torus}, {"small.txt", small}, {"empty.bin", {}}}, &error), 1)
        << error;
  }
};
} // namespace

TEST_F(pfs_fixture, FindsEntriesIgnoringCaseAndSlashDirection) {
  write_standard_archive();
  EXPECT_EQ(vfs_device_init(&pfs_device, 0, 0), 1);
  EXPECT_NE(pfs_device.flags & VFS_DEVICE_READY, 0u);
  vfs_file* f = vfs_open("data/Intro\\Torus.LWO", "rb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->size, 3000);
  EXPECT_EQ(vfs_size(f), 3000);
  std::vector<uint8_t> got(3000);
  EXPECT_EQ(vfs_read(got.data(), 1, 3000, f), 3000);
  EXPECT_EQ(got, torus);
  EXPECT_EQ(vfs_close(f), 1);
  EXPECT_EQ(vfs_open("data/intro/torus.lw", "rb"), nullptr) << "names must have the same length";
  EXPECT_EQ(vfs_open("data/intro/torus.lwoo", "rb"), nullptr);
}

TEST_F(pfs_fixture, FirstOpenInitialisesTheDevice) {
  write_standard_archive();
  vfs_file* f = vfs_open("data/small.txt", "rt");
  ASSERT_NE(f, nullptr);
  EXPECT_NE(pfs_device.flags & VFS_DEVICE_READY, 0u);
  vfs_close(f);
}

TEST_F(pfs_fixture, NameWithoutSeparatorIsLookedUpWhole) {
  write_standard_archive();
  vfs_file* f = vfs_open("small.txt", "rb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->size, 10);
  vfs_close(f);
}

TEST_F(pfs_fixture, TextAndBinaryModesReadAlikeAndWriteModeCannotRead) {
  write_standard_archive();
  for (const char* mode : std::initializer_list<const char*>{"rt", "rb", "RB", nullptr}) {
    vfs_file* f = vfs_open("data/small.txt", mode);
    ASSERT_NE(f, nullptr) << (mode ? mode : "none");
    uint8_t buf[10];
    EXPECT_EQ(vfs_read(buf, 1, 10, f), 10);
    EXPECT_EQ(std::memcmp(buf, small.data(), 10), 0);
    vfs_close(f);
  }
  vfs_file* w = vfs_open("data/small.txt", "w");
  ASSERT_NE(w, nullptr);
  uint8_t b;
  EXPECT_EQ(pfs_device.read(w, &b, 1), -2);
  EXPECT_EQ(pfs_device.write(w, &b, 1), -1);
  vfs_close(w);
}

TEST_F(pfs_fixture, ReadingPastTheEndGivesTheRestThenZero) {
  write_standard_archive();
  vfs_file* f = vfs_open("data/small.txt", "rb");
  ASSERT_NE(f, nullptr);
  uint8_t buf[16];
  EXPECT_EQ(vfs_read(buf, 1, 7, f), 7);
  EXPECT_EQ(vfs_read(buf, 1, 16, f), 3);
  EXPECT_EQ(pfs_device.read(f, buf, 16), 0);
  EXPECT_EQ(vfs_eof(f), 1);
  vfs_close(f);
}

TEST_F(pfs_fixture, EmptyEntryOpensWithSizeZero) {
  write_standard_archive();
  vfs_file* f = vfs_open("data/empty.bin", "rb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(vfs_size(f), 0);
  uint8_t b;
  EXPECT_EQ(vfs_read(&b, 1, 1, f), 0);
  vfs_close(f);
}

TEST_F(pfs_fixture, ArchiveWithoutEntriesIsWrittenAndServesNothing) {
  std::string error;
  ASSERT_EQ(pfs_writer_write("data.dat", {}, &error), 1) << error;
  EXPECT_EQ(testkit_read_file("data.dat").size(), 12u) << "the trailer alone";
  pfs_archive archive;
  std::string reason;
  EXPECT_EQ(pfs_archive_open(&archive, "data.dat", &reason), 1) << reason;
  EXPECT_TRUE(archive.entries.empty());
  EXPECT_EQ(vfs_open("data/small.txt", "rb"), nullptr);
}

TEST_F(pfs_fixture, SeeksClampToTheFile) {
  write_standard_archive();
  vfs_file* f = vfs_open("data/small.txt", "rb");
  ASSERT_NE(f, nullptr);
  vfs_seek(f, 110, 0);
  EXPECT_EQ(vfs_tell(f), 10);
  vfs_seek(f, 4, 0);
  vfs_seek(f, -10, 1);
  EXPECT_EQ(vfs_tell(f), 0);
  vfs_seek(f, -3, 2);
  EXPECT_EQ(vfs_tell(f), 7);
  EXPECT_EQ(pfs_device.control(f, VFS_SETPOS), 1);
  EXPECT_EQ(pfs_device.control(f, 2), -2);
  EXPECT_EQ(vfs_tell(f), 2);
  EXPECT_EQ(vfs_read_u8(f), uint32_t('l'));
  EXPECT_EQ(pfs_device.control(f, VFS_SEEK_SET), -2);
  EXPECT_EQ(pfs_device.control(f, INT32_MAX), -2) << "a large offset clamps without overflow";
  EXPECT_EQ(vfs_tell(f), 10);
  vfs_seek(f, INT32_MIN, 1);
  EXPECT_EQ(vfs_tell(f), 0);
  EXPECT_EQ(pfs_device.control(f, 9999), -2) << "unknown codes";
  vfs_close(f);
}

TEST_F(pfs_fixture, TwoHandlesHaveSeparateCopies) {
  write_standard_archive();
  vfs_file* a = vfs_open("data/small.txt", "rb");
  vfs_file* b = vfs_open("data/small.txt", "rb");
  ASSERT_TRUE(a && b);
  EXPECT_NE(a->dev_word1, b->dev_word1);
  vfs_seek(a, 5, 0);
  EXPECT_EQ(vfs_read_u8(b), uint32_t('h'));
  EXPECT_EQ(vfs_read_u8(a), uint32_t('!'));
  vfs_close(a);
  EXPECT_EQ(vfs_read_u8(b), uint32_t('e'));
  vfs_close(b);
}

TEST_F(pfs_fixture, At511OpenFilesTheNextOpenFails) {
  write_standard_archive();
  std::vector<vfs_file*> open;
  for (int i = 0; i < 511; i++) {
    vfs_file* f = vfs_open("data/empty.bin", "rb");
    ASSERT_NE(f, nullptr) << i;
    EXPECT_GE(f->dev_word1, 1);
    EXPECT_LE(f->dev_word1, 511);
    open.push_back(f);
  }
  EXPECT_EQ(vfs_open("data/empty.bin", "rb"), nullptr);
  vfs_close(open[100]);
  vfs_file* again = vfs_open("data/empty.bin", "rb");
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->dev_word1, 101) << "the lowest free slot is reused";
  open[100] = again;
  for (vfs_file* f : open)
    EXPECT_EQ(vfs_close(f), 1);
}

TEST_F(pfs_fixture, ClosedHandlesAnswerWithoutTouchingReleasedMemory) {
  write_standard_archive();
  vfs_file* f = vfs_open("data/small.txt", "rb");
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(vfs_close(f), 1);
  uint8_t b;
  EXPECT_EQ(pfs_device.close(f), 0);
  EXPECT_EQ(pfs_device.read(f, &b, 1), -1);
  EXPECT_EQ(pfs_device.control(f, VFS_TELL), -1);
  EXPECT_EQ(vfs_close(f), 0);
}

TEST_F(pfs_fixture, ClosedHandleDisarmsAPendingSeek) {
  write_standard_archive();
  vfs_file* a = vfs_open("data/small.txt", "rb");
  vfs_file* b = vfs_open("data/small.txt", "rb");
  ASSERT_TRUE(a && b);
  ASSERT_EQ(vfs_close(a), 1);
  pfs_device.control(b, VFS_SEEK_SET); // armed
  EXPECT_EQ(pfs_device.control(a, 3), -1);
  // The tell is answered as a tell, not taken as the seek's offset.
  EXPECT_EQ(pfs_device.control(b, VFS_TELL), 0);
  EXPECT_EQ(vfs_read_u8(b), uint32_t('h'));
  vfs_close(b);
}

TEST_F(pfs_fixture, MissingArchiveFailsInitOnceAndEveryOpen) {
  EXPECT_EQ(vfs_device_init(&pfs_device, 0, 0), 0);
  EXPECT_NE(pfs_device.flags & VFS_DEVICE_READY, 0u) << "a failed init is not retried";
  write_standard_archive();
  EXPECT_EQ(vfs_device_init(&pfs_device, 0, 0), 1);
  EXPECT_EQ(vfs_open("data/small.txt", "rb"), nullptr) << "the directory stays empty";
}

TEST_F(pfs_fixture, BadDirectoriesFailInitWithNothingServed) {
  const auto packed = zpack(small);
  const raw_entry good{0, 10, uint32_t(packed.size()), "small.txt"};
  struct bad_case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  std::vector<bad_case> cases = {
      {"shorter than a trailer", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
      {"empty file", {}},
      {"directory beyond the file", raw_archive(packed, {good}, UINT32_MAX, 1u << 30)},
      {"directory inside the trailer", raw_archive(packed, {good}, UINT32_MAX, uint32_t(packed.size() + 40))},
      {"more entries than bytes", raw_archive(packed, {good}, 1000000)},
      {"count one too many", raw_archive(packed, {good, good}, 3)},
      {"name over 255", raw_archive(packed, {good, {0, 10, 1, std::string(256, 'a')}})},
  };
  // A name that runs into the trailer without a terminator.
  std::vector<uint8_t> unterminated = packed;
  const uint32_t dir = uint32_t(unterminated.size());
  for (uint32_t v : {0u, 10u, uint32_t(packed.size()), 0u})
    put_u32(unterminated, v);
  for (char c : std::string("small.txt"))
    unterminated.push_back(uint8_t(c));
  put_u32(unterminated, 0);
  put_u32(unterminated, 1);
  put_u32(unterminated, dir);
  // The trailer's own bytes are not part of the directory: the name has no end.
  unterminated[unterminated.size() - 12] = 'x';
  cases.push_back({"name without terminator", unterminated});

  for (const bad_case& c : cases) {
    SCOPED_TRACE(c.what);
    testkit_write_file("data.dat", c.bytes);
    pfs_archive archive;
    archive.entries.push_back({});
    std::string reason;
    EXPECT_EQ(pfs_archive_open(&archive, "data.dat", &reason), 0);
    EXPECT_FALSE(reason.empty());
    EXPECT_TRUE(archive.entries.empty());
    pfs_device_reset();
    EXPECT_EQ(vfs_device_init(&pfs_device, 0, 0), 0);
    EXPECT_EQ(vfs_open("data/small.txt", "rb"), nullptr);
  }
  // The good layout itself opens: the cases above fail for their fault only.
  testkit_write_file("data.dat", raw_archive(packed, {good}));
  pfs_device_reset();
  vfs_file* f = vfs_open("data/small.txt", "rb");
  ASSERT_NE(f, nullptr);
  vfs_close(f);
}

TEST_F(pfs_fixture, BadEntriesFailOnlyTheirOwnOpen) {
  const auto packed = zpack(small);
  const auto big = zpack(std::vector<uint8_t>(5000, 'z'));
  std::vector<uint8_t> blob = packed;
  blob.insert(blob.end(), big.begin(), big.end());
  std::vector<uint8_t> corrupt = packed;
  corrupt[corrupt.size() / 2] ^= 0x55;
  const uint32_t corrupt_at = uint32_t(blob.size());
  blob.insert(blob.end(), corrupt.begin(), corrupt.end());
  const uint32_t p = uint32_t(packed.size()), b = uint32_t(big.size());
  testkit_write_file("data.dat", raw_archive(blob, {
                                                       {0, 10, p, "good.txt"},
                                                       {p, 5000, b, "big.bin"},
                                                       {0, 11, p, "declared-bigger.txt"},
                                                       {0, 9, p, "declared-smaller.txt"},
                                                       {corrupt_at, 10, p, "corrupt.txt"},
                                                       {1u << 30, 10, p, "outside.txt"},
                                                       {0xFFFFFFF0u, 10, 0x20, "wraps.txt"},
                                                       {0, 0x7FFFFFFF, p, "implausible.txt"},
                                                       {p, 5000, 3, "cut.bin"},
                                                   }));
  for (const char* name : {"data/declared-bigger.txt", "data/declared-smaller.txt", "data/corrupt.txt",
                           "data/outside.txt", "data/wraps.txt", "data/implausible.txt", "data/cut.bin"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(vfs_open(name, "rb"), nullptr);
  }
  for (const char* name : {"data/good.txt", "data/big.bin"}) {
    vfs_file* f = vfs_open(name, "rb");
    ASSERT_NE(f, nullptr) << name;
    vfs_close(f);
  }
}

// The note the show prints before a fatal message: the archive's reason for
// the file, which a reader's later, vaguer note on the same file keeps; a
// failure of another file replaces it; a clear forgets it.
TEST_F(pfs_fixture, FailedOpensNoteTheFileAndWhy) {
  write_standard_archive();
  vfs_clear_failure();
  EXPECT_EQ(vfs_failure_text(), nullptr);
  EXPECT_EQ(vfs_open("data/intro/missing.lwo", "rb"), nullptr);
  ASSERT_NE(vfs_failure_text(), nullptr);
  EXPECT_STREQ(vfs_failure_text(), "data/intro/missing.lwo could not be loaded: no such entry in data.dat");
  vfs_note_failure("data/intro/missing.lwo", "not a LightWave object");
  EXPECT_STREQ(vfs_failure_text(), "data/intro/missing.lwo could not be loaded: no such entry in data.dat");
  vfs_file* f = vfs_open("data/small.txt", "rb");
  ASSERT_NE(f, nullptr);
  vfs_close(f);
  vfs_note_failure("data/small.txt", "not a picture");
  EXPECT_STREQ(vfs_failure_text(), "data/small.txt could not be loaded: not a picture");
  vfs_clear_failure();
  EXPECT_EQ(vfs_failure_text(), nullptr);

  const auto packed = zpack(small);
  std::vector<uint8_t> corrupt = packed;
  corrupt[corrupt.size() / 2] ^= 0x55;
  testkit_write_file("data.dat", raw_archive(corrupt, {{0, 10, uint32_t(corrupt.size()), "corrupt.txt"}}));
  pfs_device_reset();
  EXPECT_EQ(vfs_open("data/Corrupt.txt", "rb"), nullptr);
  ASSERT_NE(vfs_failure_text(), nullptr);
  EXPECT_STREQ(vfs_failure_text(), "data/Corrupt.txt could not be loaded: corrupt packed data");
  vfs_clear_failure();
}

TEST_F(pfs_fixture, DamagedArchivesNeverCrash) {
  write_standard_archive();
  const auto original = testkit_read_file("data.dat");
  const char* names[] = {"data/intro/torus.lwo", "data/small.txt", "data/empty.bin"};
  auto try_all = [&](const std::vector<uint8_t>& bytes) {
    testkit_write_file("data.dat", bytes);
    pfs_device_reset();
    for (const char* n : names) {
      vfs_file* f = vfs_open(n, "rb");
      if (!f)
        continue;
      uint8_t buf[64];
      while (vfs_read(buf, 1, sizeof buf, f) > 0) {
      }
      vfs_close(f);
    }
  };
  for (size_t len = 0; len < original.size(); len += (len < 200 || original.size() - len < 200) ? 1 : 97)
    try_all(std::vector<uint8_t>(original.begin(), original.begin() + long(len)));
  uint32_t x = 12345;
  for (int round = 0; round < 300; round++) {
    auto bytes = original;
    for (int k = 0; k < 3; k++) {
      x = x * 1103515245 + 12345;
      bytes[(x >> 8) % bytes.size()] ^= uint8_t(1 << (x % 8));
    }
    try_all(bytes);
  }
  SUCCEED() << "every damaged archive was refused or read without a fault";
}

TEST(PfsNames, MatchIgnoresCaseAndSlashesButNotLength) {
  EXPECT_EQ(pfs_names_match("intro/torus.lwo", 15, "INTRO\\TORUS.LWO", 15), 1);
  EXPECT_EQ(pfs_names_match("a/b", 3, "a/bc", 4), 0);
  EXPECT_EQ(pfs_names_match("a_b", 3, "a/b", 3), 0);
  EXPECT_STREQ(pfs_entry_name("data/intro/torus.lwo"), "intro/torus.lwo");
  EXPECT_STREQ(pfs_entry_name("data\\intro\\torus.lwo"), "intro\\torus.lwo");
  EXPECT_STREQ(pfs_entry_name("plain.txt"), "plain.txt");
}
