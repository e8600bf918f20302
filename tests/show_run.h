// One run of the show for the show tests: the build's data.dat (or an archive
// the test wrote into dir first) in a temporary directory, the headless
// driver on the virtual clock at 60 frames a second, everything reset before
// and after.
#pragma once

#include "shell.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <vector>

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

  // Copies the build's data.dat into dir; false when there is none.
  bool copy_build_archive() const;

  // Presses Space at the current frame's time.
  static void press_space();
};

// One presented frame as the show tests see it.
struct show_frame {
  shell_frame_info info;
  int32_t ticks;     // the clock's tick count after the frame
  uint64_t hash;     // of the presented picture's colours
  double lit;        // share of pixels that are not black
  double brightness; // mean of the three channels, 0 to 255
  uint32_t first;    // the top-left pixel
  uint32_t corner;   // the bottom-left pixel
};

// A run that records every frame. Every state before skip_to is left with
// Space on its second frame; the run stops once frames_after frames of a
// state after last are recorded, or after seconds of show time.
struct show_walk : show_run {
  int32_t skip_to = -1;
  int32_t last = 13;
  int32_t frames_after = 1;
  int32_t seconds = 300;
  std::vector<show_frame> frames;
  int32_t skipped = -2; // the last state Space was pressed in

  void walk();
  // The states in the order they ran.
  std::vector<int32_t> states() const;
  int first_of(int32_t state) const;
  int last_of(int32_t state) const;
  // The music order a step saw: the one after the previous frame's update.
  uint32_t order_seen(int frame) const { return frame > 0 ? frames[size_t(frame - 1)].info.order : 0; }
};
