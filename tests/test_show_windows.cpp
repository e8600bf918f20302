// demo_gdi and demo_dd end to end, each on a virtual display of its own, on
// the test archive: the loading picture or the show appears scaled in the
// window (or full screen); the viewing keys switch between window and full
// screen and between sharp and smooth scaling while the show goes on; and
// Escape ends the program with status 0.
#include "show_archive.h"
#include "testkit.h"

#include <gtest/gtest.h>

namespace {
void run_program(const std::string& name) {
  testkit_tempdir dir;
  std::string error;
  ASSERT_EQ(show_archive_write(dir.path, {}, &error), 1) << error;
  const std::string command = "E2E_VIEW=1 " + std::string(E2E_SCRIPT) + " " + testkit_bin_dir() + "/" + name + " " +
                              dir.file("run") + " " + dir.file("data.dat") + " " + std::to_string(E2E_START_LIMIT) +
                              " " + std::to_string(E2E_EXIT_LIMIT) + " 2>&1";
  std::string output;
  const int status = testkit_run(command, &output);
  EXPECT_EQ(status, 0) << output;
  EXPECT_NE(output.find("viewing keys:"), std::string::npos) << output;
  EXPECT_NE(output.find("ended with status 0"), std::string::npos) << output;
  std::printf("%s", output.c_str());
}
} // namespace

TEST(ShowWindows, DemoGdiShowsTheFrameSwitchesViewAndEndsOnEscape) { run_program("demo_gdi"); }

TEST(ShowWindows, DemoDdShowsTheFrameSwitchesViewAndEndsOnEscape) { run_program("demo_dd"); }

// Without any display SDL would fall back to an invisible output and play the
// whole show unseen: both programs must fail to open instead.
TEST(ShowWindows, WithoutADisplayBothProgramsFailToOpen) {
  testkit_tempdir dir(true);
  std::string error;
  ASSERT_EQ(show_archive_write(dir.path, {}, &error), 1) << error;
  for (const char* name : {"demo_gdi", "demo_dd"}) {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER VORLANE_NO_MESSAGE_BOX=1 "
                                "SDL_AUDIODRIVER=dummy timeout 60 " +
                                testkit_bin_dir() + "/" + name + " 2>&1";
    std::string output;
    EXPECT_EQ(testkit_run(command, &output), 1) << name << ": " << output;
    EXPECT_NE(output.find("Unable to open graphics mode!"), std::string::npos) << name << ": " << output;
  }
}
