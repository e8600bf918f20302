#include "pfs_writer.h"

#include "pfs_archive.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>
#include <zlib.h>

namespace fs = std::filesystem;

namespace {
int fail(std::string* error, const std::string& text) {
  if (error)
    *error = text;
  return 0;
}

void put_u32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; i++)
    out.push_back(uint8_t(v >> (8 * i)));
}

// Streams entries into the archive's temporary file and keeps the directory.
struct pack_job {
  std::FILE* file = nullptr;
  std::string temp;
  uint64_t written = 0;
  std::vector<uint8_t> directory;
  uint32_t count = 0;
};

int job_add(pack_job& job, const std::string& name, const uint8_t* data, size_t size, std::string* error) {
  if (name.empty() || name.size() > size_t(PFS_NAME_MAX))
    return fail(error, "entry name '" + name + "' must have 1 to 255 bytes");
  if (name.find('\0') != std::string::npos)
    return fail(error, "entry name contains a zero byte");
  if (size > 0xFFFFFFFFu)
    return fail(error, name + ": larger than 4 GiB");
  uLongf packed_len = compressBound(uLong(size));
  std::vector<uint8_t> packed(packed_len);
  if (compress2(packed.data(), &packed_len, data, uLong(size), 9) != Z_OK)
    return fail(error, name + ": compression failed");
  if (job.written + packed_len > 0xFFFFFFF0u)
    return fail(error, "archive larger than 4 GiB");
  if (std::fwrite(packed.data(), 1, packed_len, job.file) != packed_len)
    return fail(error, "cannot write " + job.temp);
  put_u32(job.directory, uint32_t(job.written));
  put_u32(job.directory, uint32_t(size));
  put_u32(job.directory, uint32_t(packed_len));
  put_u32(job.directory, 0);
  job.directory.insert(job.directory.end(), name.begin(), name.end());
  job.directory.push_back(0);
  job.written += packed_len;
  job.count++;
  return 1;
}

int job_begin(pack_job& job, const char* path, std::string* error) {
  job.temp = std::string(path) + ".tmp" + std::to_string(getpid());
  job.file = std::fopen(job.temp.c_str(), "wb");
  if (!job.file)
    return fail(error, "cannot create " + job.temp);
  return 1;
}

int job_finish(pack_job& job, const char* path, std::string* error) {
  std::vector<uint8_t> trailer;
  put_u32(trailer, 0);
  put_u32(trailer, job.count);
  put_u32(trailer, uint32_t(job.written));
  bool ok = job.written + job.directory.size() + 12 <= 0xFFFFFFFFu;
  // An archive of no entries has an empty directory (and no block to write).
  ok = ok && (job.directory.empty() ||
              std::fwrite(job.directory.data(), 1, job.directory.size(), job.file) == job.directory.size());
  ok = ok && std::fwrite(trailer.data(), 1, trailer.size(), job.file) == trailer.size();
  ok = std::fclose(job.file) == 0 && ok;
  job.file = nullptr;
  if (!ok || std::rename(job.temp.c_str(), path) != 0) {
    std::remove(job.temp.c_str());
    return fail(error, std::string("cannot write ") + path);
  }
  return 1;
}

void job_abandon(pack_job& job) {
  if (job.file)
    std::fclose(job.file);
  job.file = nullptr;
  std::remove(job.temp.c_str());
}

bool path_inside(const fs::path& inner, const fs::path& outer) {
  auto i = inner.begin();
  for (auto o = outer.begin(); o != outer.end(); ++o, ++i) {
    if (o->empty() && std::next(o) == outer.end())
      break; // trailing separator
    if (i == inner.end() || *i != *o)
      return false;
  }
  return true;
}
} // namespace

int pfs_writer_write(const char* path, const std::vector<pfs_writer_item>& items, std::string* error) {
  pack_job job;
  if (!job_begin(job, path, error))
    return 0;
  for (const pfs_writer_item& item : items)
    if (!job_add(job, item.name, item.data.data(), item.data.size(), error)) {
      job_abandon(job);
      return 0;
    }
  return job_finish(job, path, error);
}

int pfs_writer_pack_dir(const char* dir, const char* path, std::string* error) {
  std::error_code ec;
  const fs::path root = fs::canonical(dir, ec);
  if (ec || !fs::is_directory(root, ec))
    return fail(error, std::string(dir) + ": not a directory");
  const fs::path target = fs::weakly_canonical(path, ec);
  if (ec)
    return fail(error, std::string(path) + ": bad archive path");
  if (path_inside(target, root))
    return fail(error, std::string("the archive ") + path + " lies inside " + dir);

  std::vector<std::string> names;
  fs::recursive_directory_iterator it(root, fs::directory_options::none, ec), end;
  if (ec)
    return fail(error, std::string(dir) + ": " + ec.message());
  for (; it != end; it.increment(ec)) {
    if (ec)
      return fail(error, std::string(dir) + ": " + ec.message());
    const fs::file_status st = it->symlink_status(ec);
    if (ec || !fs::is_regular_file(st))
      continue;
    names.push_back(it->path().lexically_relative(root).generic_string());
  }
  std::sort(names.begin(), names.end());
  for (const std::string& n : names)
    if (n.size() > size_t(PFS_NAME_MAX))
      return fail(error, "name longer than 255 bytes: " + n);
  // A name that equals an earlier one ignoring case and slashes could never
  // be opened: refuse it.
  std::vector<std::string> folded;
  for (const std::string& n : names) {
    std::string f = n;
    for (char& c : f)
      c = pfs_fold_char(c);
    folded.push_back(f);
  }
  std::vector<size_t> order(names.size());
  for (size_t i = 0; i < order.size(); i++)
    order[i] = i;
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return folded[a] < folded[b]; });
  for (size_t i = 1; i < order.size(); i++)
    if (folded[order[i]] == folded[order[i - 1]])
      return fail(error, "names collide ignoring case and slash direction: " + names[order[i - 1]] + " and " +
                             names[order[i]]);

  pack_job job;
  if (!job_begin(job, path, error))
    return 0;
  for (const std::string& n : names) {
    std::ifstream in(root / n, std::ios::binary);
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad() || !in.is_open()) {
      job_abandon(job);
      return fail(error, "cannot read " + (root / n).string());
    }
    if (!job_add(job, n, data.data(), data.size(), error)) {
      job_abandon(job);
      return 0;
    }
  }
  return job_finish(job, path, error);
}
