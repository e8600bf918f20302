// The end part in the sequencer with its own song, on the generated
// data.dat: every part of the main sequence is skipped with Space, then the
// end part runs to its song's row 61 of order 17.
#include "endpart_parts.h"
#include "headless.h"
#include "opening_fixtures.h"
#include "show_run.h"

namespace {

struct frame_record {
  shell_frame_info info;
  uint64_t hash; // of the presented picture
  double lit;    // share of pixels that are not black
  float scroll, fade;
};

struct endpart_show : show_run {
  std::vector<frame_record> frames;

  static void observe(void* self, const shell_frame_info* info) {
    endpart_show* f = static_cast<endpart_show*>(self);
    if (info->part_state < 14)
      press_space();
    const pixmap* screen = headless_screen();
    const endpart_state* s = endpart_get_state();
    f->frames.push_back({*info, opening_picture_hash(screen), opening_lit_share(screen), s->scroll, s->fade});
  }
  static int stop(void*) { return headless_retraces() > int64_t(FPS) * 400; }
};
} // namespace

TEST_F(endpart_show, TheEndPartRunsToItsSongsEndFadingInAndOut) {
  run_show(observe, stop);
  EXPECT_EQ(result.end_part_ran, 1);
  EXPECT_STREQ(result.exit_path, "end");

  size_t first = 0;
  while (first < frames.size() && frames[first].info.part_state != SHELL_END_PART)
    first++;
  ASSERT_LT(first, frames.size());
  const size_t last = frames.size() - 1;
  ASSERT_GT(last, first + 120 * FPS) << "the end song's length";
  // Left after the first step that saw row 61 of order 17.
  EXPECT_EQ(frames[last - 1].info.order, 17u);
  EXPECT_GT(frames[last - 1].info.row, 60u);
  EXPECT_LE(frames[last - 2].info.row, 60u);

  int fade_in_done = -1, scroll_done = -1, fade_out = -1;
  for (size_t i = first; i <= last; i++) {
    const frame_record& f = frames[i];
    const uint32_t order = frames[i - 1].info.order, row = frames[i - 1].info.row; // as the step saw them
    if (order < 2) {
      ASSERT_EQ(f.lit, 0.0) << "black in orders 0 and 1, frame " << i;
      ASSERT_EQ(f.scroll, 0.0f);
    }
    if (fade_in_done < 0 && f.fade <= 0)
      fade_in_done = int(i);
    if (scroll_done < 0 && f.scroll == ENDPART_LAST_SCROLL)
      scroll_done = int(i);
    if (fade_out < 0 && order == 17 && row > 32)
      fade_out = int(i);
  }
  ASSERT_GT(fade_in_done, 0);
  ASSERT_GT(scroll_done, fade_in_done);
  ASSERT_GT(fade_out, scroll_done) << "the closing page stands before the fade-out";
  for (int at = fade_in_done + FPS; at < fade_out; at += 10 * FPS) {
    EXPECT_GT(frames[size_t(at)].lit, 0.9) << "frame " << at;
    EXPECT_NE(frames[size_t(at)].hash, frames[size_t(at - 3)].hash) << "moves at frame " << at;
  }
  EXPECT_LT(frames[last].lit, 0.01) << "black at the end";
}
