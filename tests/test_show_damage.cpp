// The show headless (demo_render) on damaged data and on hostile keys. Every
// run must end by the show's own end, or with status 1, the start-up's
// message and before it a line naming the file that could not be loaded;
// never by a time limit, a crash, a hang or a sanitizer report.
#include "mem.h"
#include "pfs_archive.h"
#include "pfs_writer.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <set>

namespace {
#if defined(__SANITIZE_ADDRESS__)
// Under the sanitizers every run is several times slower: a fixed sample.
constexpr bool SANITIZED = true;
#else
constexpr bool SANITIZED = false;
#endif

// Wall-clock bound of one run: far above what a run takes, so only a hang
// reaches it (timeout's status 124 then fails the run).
constexpr int RUN_LIMIT_SECONDS = 240;

// The messages start-up ends with when a file it reads is refused.
const std::set<std::string> fatal_messages = {
    "Unable to load intro files",
    "Unable to init seqzoomer!",
    "Unable to init i_cube!",
    "Unable to init 3d-tunnel flight!",
    "Unable to init galaxy!",
    "Unable to init rimbel mirrors!",
    "Unable to init blurp!",
    "Unable to init 3d_net!",
    "Unable to load magnet files",
    "Unable to init diffuse cube!",
    "Unable to init quben!",
    "Unable to init lobj!",
    "Unable to init hypervoxel part!",
    "Unable to init endpart!",
    "Unable to load startpic!",
    "IO fetch!",
    "Fmod memload",
};

struct archive_entry {
  std::string name;
  std::vector<uint8_t> bytes;
};

// Every entry of the build's data.dat, in directory order.
std::vector<archive_entry> build_entries() {
  std::vector<archive_entry> out;
  const std::string path = testkit_bin_dir() + "/data.dat";
  pfs_archive archive;
  std::string error;
  if (!pfs_archive_open(&archive, path.c_str(), &error)) {
    ADD_FAILURE() << error;
    return out;
  }
  for (const pfs_entry& e : archive.entries) {
    uint8_t* bytes = pfs_archive_inflate(&archive, &e, &error);
    if (!bytes) {
      ADD_FAILURE() << error;
      return {};
    }
    out.push_back({e.name, std::vector<uint8_t>(bytes, bytes + e.unpacked_size)});
    mem_free(bytes);
  }
  return out;
}

enum damage_kind { DAMAGE_HALF, DAMAGE_FLIPPED, DAMAGE_EMPTIED };

// Every 61st byte from the fourth on is inverted: header fields, sizes and
// data alike.
constexpr size_t FLIP_FIRST = 3, FLIP_STRIDE = 61;

std::vector<uint8_t> damaged(std::vector<uint8_t> bytes, damage_kind kind) {
  switch (kind) {
  case DAMAGE_HALF:
    bytes.resize(bytes.size() / 2);
    break;
  case DAMAGE_FLIPPED:
    for (size_t i = FLIP_FIRST; i < bytes.size(); i += FLIP_STRIDE)
      bytes[i] ^= 0xA5;
    break;
  case DAMAGE_EMPTIED:
    bytes.clear();
    break;
  }
  return bytes;
}

// The archive's entry names use either slash and any case.
std::string plain_name(std::string name) {
  for (char& c : name)
    c = c == '\\' ? '/' : char(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> out;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = text.find('\n', at);
    out.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
    at = end == std::string::npos ? text.size() : end + 1;
  }
  return out;
}

struct render_outcome {
  int status;
  std::string err;
  nlohmann::json report;
};

// demo_render in dir (which holds data.dat) with the given arguments.
render_outcome render_in(const std::string& dir, const std::string& args) {
  const std::string cmd = "cd '" + dir + "' && rm -f report.json && timeout " + std::to_string(RUN_LIMIT_SECONDS) +
                          " '" + testkit_bin_dir() + "/demo_render' --report report.json " + args + " 2>&1 >/dev/null";
  render_outcome out;
  out.status = testkit_run(cmd, &out.err);
  const auto bytes = testkit_read_file(dir + "/report.json");
  if (!bytes.empty())
    out.report = nlohmann::json::parse(std::string(bytes.begin(), bytes.end()), nullptr, false);
  return out;
}

bool sanitizer_spoke(const std::string& err) {
  return err.find("Sanitizer") != std::string::npos || err.find("runtime error") != std::string::npos;
}

// Keys that walk the show to its end part: Space every second frame at 60
// frames a second through the fifteen states, Escape once the end part runs.
std::string walk_keys() {
  std::string keys = "--fps 60 --time-limit 60";
  for (int k = 1; k <= 15; k++)
    keys += " --key " + std::to_string(double(k) / 30) + ":space";
  return keys + " --key 0.75:escape";
}

// Runs the show once with entry `damaged_at` damaged by kind; counts the runs
// that start-up refused.
void check_damaged(const std::vector<archive_entry>& entries, size_t damaged_at, damage_kind kind, int* refused) {
  testkit_tempdir dir;
  std::vector<pfs_writer_item> items;
  for (size_t i = 0; i < entries.size(); i++)
    items.push_back({entries[i].name, i == damaged_at ? damaged(entries[i].bytes, kind) : entries[i].bytes});
  std::string error;
  ASSERT_EQ(pfs_writer_write(dir.file("data.dat").c_str(), items, &error), 1) << error;
  // The hidden mode's pass line, so the show reads its sprite too.
  testkit_write_text(dir.file("readme.txt"), "brickmoon\n");

  const std::string& name = entries[damaged_at].name;
  const render_outcome run = render_in(dir.path, walk_keys());
  SCOPED_TRACE(name + " damaged (" + std::to_string(int(kind)) + "):\n" + run.err);
  EXPECT_FALSE(sanitizer_spoke(run.err));
  if (run.status == 0) {
    // The show's own end: Escape in the end part, or its end.
    ASSERT_TRUE(run.report.is_object());
    EXPECT_EQ(run.report["end_part_ran"], true);
    const std::string path = run.report["exit_path"];
    EXPECT_TRUE(path == "escape" || path == "end") << path;
    return;
  }
  ASSERT_EQ(run.status, 1);
  ++*refused;
  const std::vector<std::string> lines = lines_of(run.err);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_TRUE(fatal_messages.count(lines.back())) << lines.back();
  const std::string note = lines[lines.size() - 2];
  EXPECT_NE(plain_name(note).find(plain_name(name) + " could not be loaded: "), std::string::npos) << note;
}

// Runs of one kind of damage: every entry in the release build; in the
// sanitized build every entry whose index falls on the kind's turn, so the
// three kinds together still reach every entry once.
void damage_campaign(damage_kind kind) {
  const std::vector<archive_entry> entries = build_entries();
  ASSERT_GT(entries.size(), 10u);
  int runs = 0, refused = 0;
  for (size_t i = 0; i < entries.size(); i++) {
    if (SANITIZED && i % 3 != size_t(kind))
      continue;
    check_damaged(entries, i, kind, &refused);
    runs++;
    if (::testing::Test::HasFatalFailure())
      return;
  }
  std::printf("%d runs: %d refused at start-up, %d played to the end part\n", runs, refused, runs - refused);
}
} // namespace

TEST(DamagedData, EveryEntryCutToHalf) { damage_campaign(DAMAGE_HALF); }
TEST(DamagedData, EveryEntryWithBytesFlipped) { damage_campaign(DAMAGE_FLIPPED); }
TEST(DamagedData, EveryEntryEmptied) { damage_campaign(DAMAGE_EMPTIED); }

// ---- hostile keys ----

namespace {
// splitmix64: the same scripts on every machine.
struct key_rng {
  uint64_t state;
  uint64_t next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  size_t below(size_t n) { return size_t(next() % n); }
  double unit() { return double(next() >> 11) / double(1ull << 53); }
};

constexpr int key_rates[] = {24, 30, 60, 144};
// Space most often, so scripts reach the later states and the end part.
constexpr const char* key_names[] = {"space", "space", "space", "space", "p", "p", "escape", "a", "P", "1", "+", "-"};
constexpr double KEY_SCRIPT_SECONDS = 3.0; // longest run of simulated time

// A random script: frame rate, length and up to 30 keys at random times.
std::string key_script(key_rng* rng) {
  const double seconds = 0.25 + rng->unit() * (KEY_SCRIPT_SECONDS - 0.25);
  std::string args =
      "--fps " + std::to_string(key_rates[rng->below(std::size(key_rates))]) + " --seconds " + std::to_string(seconds);
  const size_t keys = rng->below(31);
  for (size_t k = 0; k < keys; k++) {
    const char* key = key_names[rng->below(std::size(key_names))];
    // Escape is rare: one in four scripts may end early.
    if (std::string(key) == "escape" && rng->below(8))
      key = "space";
    args += " --key " + std::to_string(rng->unit() * seconds) + ":" + key;
  }
  return args;
}

// The states a report lists, the end part as 15.
std::vector<int> report_states(const nlohmann::json& report) {
  std::vector<int> out;
  for (const auto& s : report["states"])
    out.push_back(s["state"].is_string() ? 15 : s["state"].get<int>());
  return out;
}
} // namespace

TEST(HostileKeys, RandomScriptsAtEveryFrameRateEndCleanlyWithTheStatesInOrder) {
  testkit_tempdir dir;
  std::filesystem::copy_file(testkit_bin_dir() + "/data.dat", dir.file("data.dat"));
  key_rng rng{2024};
  const int scripts = SANITIZED ? 24 : 240;
  for (int i = 0; i < scripts; i++) {
    const std::string args = key_script(&rng);
    const render_outcome run = render_in(dir.path, args);
    SCOPED_TRACE(args + "\n" + run.err);
    ASSERT_EQ(run.status, 0);
    EXPECT_FALSE(sanitizer_spoke(run.err));
    ASSERT_TRUE(run.report.is_object());
    const std::string path = run.report["exit_path"];
    EXPECT_TRUE(path == "limit" || path == "escape" || path == "end") << path;
    // From the galaxy on, each state after the one before (a Space in the
    // frame a state begins skips it), the end part last.
    const std::vector<int> states = report_states(run.report);
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(states.front(), -1);
    EXPECT_TRUE(std::is_sorted(states.begin(), states.end()) &&
                std::adjacent_find(states.begin(), states.end()) == states.end())
        << ::testing::PrintToString(states);
    if (HasFailure())
      return;
  }
}
