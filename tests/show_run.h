// One run of the show for the show tests: the build's data.dat copied into
// a temporary directory, the headless driver on the virtual clock at 60
// frames a second, everything reset before and after.
#pragma once

#include "shell.h"
#include "testkit.h"

#include <gtest/gtest.h>

struct show_run : ::testing::Test {
  static constexpr int32_t FPS = 60;
  testkit_tempdir dir{true};
  shell_result result{};

  void SetUp() override;
  void TearDown() override;

  // Runs the show to its end, or until stop returns nonzero; observe sees
  // every frame (context is the fixture). The readers' progress lines are
  // kept off standard output.
  void run_show(void (*observe)(void* context, const shell_frame_info* info), int (*stop)(void* context));

  // Presses Space at the current frame's time.
  static void press_space();
};
