// The registry and the file calls, on stdio_device.
#include "mem.h"
#include "testkit.h"
#include "vfs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include <sys/stat.h>

namespace {
struct stdio_fixture : ::testing::Test {
  testkit_tempdir dir{true};
  void SetUp() override { vfs_device_enable(&stdio_device, 0); }
};
} // namespace

TEST(VfsRegistry, ListsTwoDevicesInOrder) {
  int32_t count = -1;
  vfs_device** list = vfs_device_list(&count);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(list[0], &stdio_device);
  EXPECT_EQ(list[1], &pfs_device);
  EXPECT_EQ(list[2], nullptr);
  EXPECT_STREQ(list[0]->name, "stdio_device");
  EXPECT_STREQ(list[1]->name, "pfs_device");
  EXPECT_STREQ(list[1]->version, "Version 0.01b READ only");
  EXPECT_STREQ(list[1]->parameter, "data.dat");
  vfs_device_error = 0;
  EXPECT_EQ(vfs_device_list(nullptr), nullptr);
  EXPECT_EQ(vfs_device_error, 1);
}

TEST(VfsRegistry, EnableAndInitRefuseNone) {
  EXPECT_EQ(vfs_device_enable(nullptr, 0), 0);
  EXPECT_EQ(vfs_device_init(nullptr, 0, 0), 0);
  EXPECT_EQ(vfs_device_enable(&stdio_device, 0), 1);
  EXPECT_EQ(vfs_device_active(), &stdio_device);
  EXPECT_EQ(vfs_device_init(&stdio_device, 0, 0), 1);
}

TEST_F(stdio_fixture, ReadsValuesLittleEndian) {
  testkit_write_file("v.bin", {0x80, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0x00, 0x00, 0x80, 0x3F});
  vfs_file* f = vfs_open("v.bin", "rb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->device, &stdio_device);
  EXPECT_EQ(f->size, 11);
  EXPECT_EQ(vfs_size(f), 11);
  EXPECT_EQ(vfs_read_u8(f), 0x80u);
  EXPECT_EQ(vfs_read_u16(f), 0x1234u);
  EXPECT_EQ(vfs_read_u32(f), 0x12345678u);
  EXPECT_EQ(vfs_read_float(f), 1.0f);
  EXPECT_EQ(vfs_tell(f), 11);
  // At the end the single-value reads give 0, never stale bytes.
  EXPECT_EQ(vfs_read_u32(f), 0u);
  EXPECT_EQ(vfs_read_u16(f), 0u);
  EXPECT_EQ(vfs_getc(f), 0u);
  EXPECT_NE(vfs_eof(f), 0);
  EXPECT_EQ(vfs_close(f), 1);
}

TEST_F(stdio_fixture, ReadCountsWholeElements) {
  testkit_write_file("six.bin", {1, 2, 3, 4, 5, 6});
  vfs_file* f = vfs_open("six.bin", "rb");
  ASSERT_NE(f, nullptr);
  uint8_t buf[8] = {};
  EXPECT_EQ(vfs_read(buf, 4, 2, f), 1) << "6 bytes left make one 4-byte element";
  EXPECT_EQ(vfs_read(buf, 0, 5, f), 0) << "element size 0 reads nothing";
  EXPECT_EQ(vfs_read(buf, 4, -1, f), 0);
  vfs_close(f);
}

TEST_F(stdio_fixture, ReadWithOverflowingSizeTimesCount) {
  testkit_write_file("six.bin", {1, 2, 3, 4, 5, 6});
  // A heap buffer of exactly the file's size: the sanitizer build catches
  // any byte written beyond it.
  std::vector<uint8_t> buf(6, 0xEE);
  vfs_file* f = vfs_open("six.bin", "rb");
  ASSERT_NE(f, nullptr);
  // 0x10000 * 0x10000 bytes: no whole element in 6 bytes.
  EXPECT_EQ(vfs_read(buf.data(), 0x10000, 0x10000, f), 0);
  EXPECT_LE(vfs_tell(f), 6);
  vfs_close(f);
  // 4 * 0x40000000 wraps to 0 in 32 bits; the request is clamped instead,
  // so the one whole 4-byte element still arrives.
  f = vfs_open("six.bin", "rb");
  ASSERT_NE(f, nullptr);
  std::fill(buf.begin(), buf.end(), 0xEE);
  EXPECT_EQ(vfs_read(buf.data(), 4, 0x40000000, f), 1);
  EXPECT_EQ(buf[0], 1);
  EXPECT_EQ(buf[3], 4);
  EXPECT_EQ(vfs_read(buf.data(), INT32_MAX, INT32_MAX, f), 0);
  vfs_close(f);
}

TEST_F(stdio_fixture, DirectoriesAreNotFiles) {
  ASSERT_EQ(mkdir("folder.ase", 0755), 0);
  vfs_file_error = 0;
  EXPECT_EQ(vfs_open("folder.ase", "rb"), nullptr);
  EXPECT_EQ(vfs_file_error, 1);
  int32_t size = 1234;
  EXPECT_EQ(vfs_read_all("folder.ase", &size), nullptr);
  EXPECT_EQ(size, 1234);
  EXPECT_EQ(vfs_open(".", "rb"), nullptr);
  // The refused open gave its handle back: ordinary files still open.
  testkit_write_file("after.bin", {9});
  vfs_file* f = vfs_open("after.bin", "rb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(vfs_read_u8(f), 9u);
  vfs_close(f);
}

TEST_F(stdio_fixture, SeekWhenceAndPendingCommands) {
  testkit_write_file("s.bin", {10, 11, 12, 13, 14, 15, 16, 17});
  vfs_file* f = vfs_open("s.bin", "rb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(vfs_seek(f, 3, 7), 1) << "unknown whence seeks from the start";
  EXPECT_EQ(vfs_read_u8(f), 13u);
  EXPECT_EQ(vfs_seek(f, 1, 1), 1);
  EXPECT_EQ(vfs_read_u8(f), 15u);
  EXPECT_EQ(vfs_seek(f, -1, 2), 1);
  EXPECT_EQ(vfs_read_u8(f), 17u);
  // Saved position through the set-position command.
  FILE* stream = static_cast<FILE*>(f->dev_word2);
  std::fseek(stream, 2, SEEK_SET);
  fpos_t saved;
  std::fgetpos(stream, &saved);
  std::fseek(stream, 6, SEEK_SET);
  EXPECT_EQ(stdio_device.control(f, VFS_SETPOS), VFS_SETPOS - VFS_EOF);
  EXPECT_EQ(stdio_device.control(f, reinterpret_cast<intptr_t>(&saved)), 0);
  EXPECT_EQ(vfs_read_u8(f), 12u);
  EXPECT_EQ(stdio_device.control(f, 5000), 5000 - VFS_EOF) << "unknown codes answer code - 4097";
  vfs_close(f);
}

TEST_F(stdio_fixture, WriteGoesThroughAsOneBlock) {
  vfs_file* f = vfs_open("w.bin", "wb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->device->write(f, "abcd", 4), 1);
  vfs_close(f);
  EXPECT_EQ(testkit_read_file("w.bin"), (std::vector<uint8_t>{'a', 'b', 'c', 'd'}));
}

TEST_F(stdio_fixture, MissingFilesFailAndLeaveTheSizeAlone) {
  vfs_file_error = 0;
  EXPECT_EQ(vfs_open("nope.bin", "rb"), nullptr);
  EXPECT_EQ(vfs_file_error, 1);
  EXPECT_EQ(vfs_open(nullptr, "rb"), nullptr);
  int32_t size = 1234;
  EXPECT_EQ(vfs_read_all("nope.bin", &size), nullptr);
  EXPECT_EQ(size, 1234);
}

TEST_F(stdio_fixture, ReadAllReturnsTheWholeFile) {
  const auto bytes = testkit_random_bytes(100000, 7);
  testkit_write_file("all.bin", bytes);
  int32_t size = 0;
  auto* data = static_cast<uint8_t*>(vfs_read_all("all.bin", &size));
  ASSERT_NE(data, nullptr);
  ASSERT_EQ(size, 100000);
  EXPECT_EQ(std::memcmp(data, bytes.data(), bytes.size()), 0);
  mem_free(data);
  data = static_cast<uint8_t*>(vfs_read_all("all.bin", nullptr));
  ASSERT_NE(data, nullptr);
  mem_free(data);
}

TEST_F(stdio_fixture, CallsOnNoneOrClosedHandlesFailSafely) {
  EXPECT_EQ(vfs_close(nullptr), 0);
  EXPECT_EQ(vfs_tell(nullptr), -1);
  EXPECT_EQ(vfs_seek(nullptr, 0, 0), -1);
  testkit_write_file("c.bin", {1, 2, 3});
  vfs_file* f = vfs_open("c.bin", "rb");
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(vfs_close(f), 1);
  // The handle record stays valid memory: calls on it fail instead of
  // touching a released stream.
  uint8_t b;
  EXPECT_EQ(vfs_close(f), 0);
  EXPECT_LE(vfs_read(&b, 1, 1, f), 0);
  EXPECT_EQ(stdio_device.close(f), 0);
  EXPECT_EQ(stdio_device.read(f, &b, 1), -1);
  EXPECT_EQ(vfs_tell(f), -1);
}
