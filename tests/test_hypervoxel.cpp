// The hypervoxel: the box filter, the zoom table and copy, the height
// sampling, and init and frames on the build's data (and on broken data):
// the backdrop, the morph, the flag word of its first and last frames.
#include "hypervoxel.h"
#include "hypervoxel_parts.h"
#include "net.h"
#include "net_fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

TEST(HvoxelField, TheBoxFilterAveragesTheNeighboursThatExist) {
  constexpr int32_t N = HVOXEL_FIELD_SIDE;
  std::vector<float> src(N * N, 0.0f), dst(N * N, -1.0f);
  // Single ones in a corner, on an edge and inside.
  src[0] = 1.0f;
  src[60 * N + 127] = 1.0f;
  src[40 * N + 50] = 1.0f;
  hvoxel_box_filter(dst.data(), src.data());
  EXPECT_FLOAT_EQ(dst[0], 1.0f / 4) << "a corner averages 4";
  EXPECT_FLOAT_EQ(dst[1], 1.0f / 6) << "an edge averages 6";
  EXPECT_FLOAT_EQ(dst[N], 1.0f / 6);
  EXPECT_FLOAT_EQ(dst[N + 1], 1.0f / 9);
  EXPECT_FLOAT_EQ(dst[60 * N + 127], 1.0f / 6);
  EXPECT_FLOAT_EQ(dst[61 * N + 126], 1.0f / 9);
  EXPECT_FLOAT_EQ(dst[60 * N + 0], 0.0f) << "no wrap to the other side";
  EXPECT_FLOAT_EQ(dst[41 * N + 49], 1.0f / 9);
  EXPECT_FLOAT_EQ(dst[42 * N + 50], 0.0f);
  // The far corner; a constant field stays constant everywhere.
  src.assign(N * N, 0.0f);
  src[N * N - 1] = 2.0f;
  hvoxel_box_filter(dst.data(), src.data());
  EXPECT_FLOAT_EQ(dst[N * N - 1], 0.5f);
  EXPECT_FLOAT_EQ(dst[N * N - 2], 2.0f / 6);
  src.assign(N * N, 0.75f);
  hvoxel_box_filter(dst.data(), src.data());
  for (float v : dst)
    ASSERT_FLOAT_EQ(v, 0.75f);

  // Heights: scaled bytes, smoothed seven times (a lone byte spreads seven
  // cells wide and no further).
  std::vector<uint8_t> bytes(130 * 128, 0);
  bytes[64 * 130 + 64] = 255;
  std::vector<float> out(N * N), scratch(N * N);
  hvoxel_heights(out.data(), scratch.data(), bytes.data(), 130, 64.0f, 0.5f, 128.0f);
  EXPECT_FLOAT_EQ(out[0], 0.5f);
  EXPECT_GT(out[64 * N + 71], 0.5f);
  EXPECT_FLOAT_EQ(out[64 * N + 72], 0.5f);
  // The centre keeps (393 / 3^7)^2 of the spike: the middle of seven passes.
  EXPECT_NEAR(out[64 * N + 64], 0.5 + 127.5 / 128 * std::pow(393.0 / 2187, 2), 1e-5);
}

TEST(HvoxelZoom, TheTableRisesFromAnEighthToOne) {
  float table[HVOXEL_ZOOM_STEPS];
  hvoxel_build_zoom_table(table);
  EXPECT_FLOAT_EQ(table[0], 0.125f);
  EXPECT_NEAR(table[128], 0.625, 1e-6);
  for (int32_t k = 1; k < 198; k++)
    ASSERT_GT(table[k], table[k - 1]) << k;
  EXPECT_LT(table[197], 1.0f);
  for (int32_t k = 198; k < HVOXEL_ZOOM_STEPS; k++)
    ASSERT_EQ(table[k], 1.0f) << k;

  // Each step copies the picture magnified by the entry at the position.
  opening_pixmap src = opening_noise(320, 240, 7);
  opening_pixmap dst(pixmap_create(320, 240, 0));
  float at = 0.0f;
  EXPECT_EQ(hvoxel_zoom_copy(dst.get(), src.get(), table, &at, 4.0f), 1);
  EXPECT_EQ(at, 2.0f);
  for (int32_t i = 0; i < 240; i += 7)
    for (int32_t j = 0; j < 320; j += 5)
      ASSERT_EQ(dst->pixels[i * 320 + j], src->pixels[(i / 8) * 320 + j / 8]) << j << "," << i;
  // The zoom stops as soon as the entry reaches 1, before the position's end.
  at = 197.0f;
  EXPECT_EQ(hvoxel_zoom_copy(dst.get(), src.get(), table, &at, 1.0f), 1);
  at = 198.0f;
  EXPECT_EQ(hvoxel_zoom_copy(dst.get(), src.get(), table, &at, 1.0f), 0);
  EXPECT_EQ(std::vector<uint32_t>(dst->pixels, dst->pixels + 320 * 240),
            std::vector<uint32_t>(src->pixels, src->pixels + 320 * 240));
  // A source smaller than the destination is not read.
  opening_pixmap small(pixmap_create(100, 100, 0));
  pixmap_fill_rect(dst.get(), 0, 0, 320, 240, 0x123456);
  at = 0.0f;
  hvoxel_zoom_copy(dst.get(), small.get(), table, &at, 1.0f);
  EXPECT_EQ(dst->pixels[0], 0x123456u);
}

TEST(HvoxelBall, HeightRowsScrollAndWrap) {
  // Row steps of 1365/256: grid row 23 reads height row 122, column 23 column 122.
  hvoxel_sample s = hvoxel_sample_at(0.0f, 0.0f, 23, 23);
  EXPECT_EQ(s.row, 122);
  EXPECT_EQ(s.next_row, 123);
  EXPECT_EQ(s.column, 122);
  EXPECT_EQ(s.t, 0.0f);
  // Just below 256 the rows wrap modulo 128.
  s = hvoxel_sample_at(255.75f, 0.0f, 3, 1);
  EXPECT_EQ(s.row, (255 + 15) % 128);
  EXPECT_EQ(s.column, 5);
  EXPECT_FLOAT_EQ(s.t, 0.75f);
  s = hvoxel_sample_at(127.5f, 0.0f, 0, 0);
  EXPECT_EQ(s.row, 127);
  EXPECT_EQ(s.next_row, 0);

  // The ball: a sphere of radius 64 scaled by the heights, blended by t.
  hvoxel_ball ball{};
  hvoxel_ball_build(&ball);
  EXPECT_NEAR(ball.base[0].y, 64, 1e-4) << "row 0 is the top pole";
  EXPECT_EQ(ball.u[0], 128);
  EXPECT_EQ(ball.v[0], 255);
  EXPECT_NEAR(ball.v[12 * 24], 128, 1) << "the equator";
  EXPECT_EQ(ball.u[12 * 24], 255);
  std::vector<float> field(HVOXEL_FIELD_CELLS, 1.0f);
  for (int32_t c = 0; c < HVOXEL_FIELD_SIDE; c++) {
    field[5 * HVOXEL_FIELD_SIDE + c] = 0.5f;
    field[6 * HVOXEL_FIELD_SIDE + c] = 1.5f;
  }
  ball.scroll = 5.25f; // grid row 0 reads rows 5 and 6
  ball.position = {10, 20, 30};
  hvoxel_ball_draw(&ball, field.data(), nullptr);
  EXPECT_NEAR(ball.turned[0].y, 20 + 64 * 0.75, 1e-3);
  EXPECT_NEAR(ball.turned[0].x, 10, 1e-3);
  EXPECT_NEAR(ball.turned[12 * 24].x, 10 + 64, 1e-3) << "rows 68 and 69: height 1";
}

namespace {
// The net's init loads the background; then the hypervoxel's runs.
int32_t net_then_hypervoxel_init(show_context* show) { return net_init(show) && hypervoxel_init(show); }

using hvoxel_data = net_show_objects;

// An SCX file of the given size, every byte 100.
std::vector<uint8_t> scx_of(int32_t width, int32_t height) {
  std::vector<uint8_t> b(778 + size_t(width) * size_t(height), 100);
  for (int32_t i = 0; i < 778; i++)
    b[size_t(i)] = 0;
  b[4] = uint8_t(width), b[5] = uint8_t(width >> 8), b[6] = uint8_t(height), b[7] = uint8_t(height >> 8);
  return b;
}
} // namespace

TEST_F(hvoxel_data, SmallOrMissingFilesFailTheInitCleanly) {
  const opening_files all = net_build_files();
  ASSERT_EQ(all.at("hvoxel/hdata7.scx").size(), 778u + 128 * 128);
  struct variant {
    const char* what;
    std::string name;
    std::vector<uint8_t> bytes; // empty: the file is left out
  };
  const std::vector<variant> cases = {{"no first field", "hvoxel/hdata7.scx", {}},
                                      {"narrow first field", "hvoxel/hdata7.scx", scx_of(127, 200)},
                                      {"short second field", "hvoxel/hdata4.scx", scx_of(128, 100)},
                                      {"no environment map", "hvoxel/envmap.jpg", {}},
                                      {"small environment map", "hvoxel/envmap.jpg", all.at("hvoxel/bgpic.jpg")}};
  for (const variant& v : cases) {
    SCOPED_TRACE(v.what);
    opening_files files = all;
    if (v.bytes.empty())
      files.erase(v.name);
    else
      files[v.name] = v.bytes;
    EXPECT_EQ(init_with(files, net_then_hypervoxel_init), 0);
    EXPECT_EQ(show.pictures.hvoxel_backdrop, nullptr);
    EXPECT_EQ(hypervoxel_frame(), 0);
  }
  // Without the net's background there is nothing to zoom.
  ASSERT_EQ(init_with(all, net_then_hypervoxel_init), 1);
  show.pictures.hvoxel_background = nullptr;
  EXPECT_EQ(hypervoxel_init(&show), 0);
}

TEST_F(hvoxel_data, TheBallMorphsOverTheZoomUntilOrder34) {
  ASSERT_EQ(init_with(net_build_files(), net_then_hypervoxel_init), 1);
  const pixmap* bg = show.pictures.hvoxel_background;
  const pixmap* backdrop = show.pictures.hvoxel_backdrop;
  ASSERT_NE(backdrop, nullptr);
  // The backdrop: the background's top-left 40 x 30 magnified 8 times.
  for (int32_t i = 0; i < 240; i += 3)
    for (int32_t j = 0; j < 320; j += 3)
      ASSERT_EQ(backdrop->pixels[i * 320 + j], bg->pixels[(i / 8) * bg->width + j / 8]);

  hvoxel_state* s = hvoxel_get_state();
  const std::vector<float> first(s->field, s->field + HVOXEL_FIELD_CELLS);
  const std::vector<float> second(s->target, s->target + HVOXEL_FIELD_CELLS);
  double apart = 0;
  for (int32_t i = 0; i < HVOXEL_FIELD_CELLS; i++) {
    ASSERT_GE(first[size_t(i)], 0.5f);
    ASSERT_LE(first[size_t(i)], 1.5f);
    apart += std::fabs(first[size_t(i)] - second[size_t(i)]);
  }
  EXPECT_GT(apart / HVOXEL_FIELD_CELLS, 0.1) << "two clearly different shapes";

  // The first frame sets the flag word to depth only, whatever it held.
  frame->flags = PIXMAP_CLEAR;
  opening_clock_set(&clock, 2.0f, 30, 0);
  ASSERT_EQ(hypervoxel_frame(), 1);
  EXPECT_EQ(frame->flags, uint32_t(PIXMAP_DEPTH));
  const uint64_t one = opening_picture_hash(frame.get());
  // The verse is typed in the corner: its green shows over the background.
  int32_t green = 0;
  for (int32_t y = 4; y < 12; y++)
    for (int32_t x = 0; x < 8; x++)
      green += int32_t(opening_channel(frame->pixels[y * 320 + x], 1)) >=
               int32_t(opening_channel(backdrop->pixels[y * 320 + x], 1)) + 0x40;
  EXPECT_GT(green, 5);
  // The field reaches the second shape after 128 frames and the first again
  // after 256; the counter restarts after 257.
  for (int32_t f = 1; f < 128; f++)
    ASSERT_EQ(hypervoxel_frame(), 1);
  EXPECT_NE(opening_picture_hash(frame.get()), one);
  for (int32_t i = 0; i < HVOXEL_FIELD_CELLS; i += 97)
    ASSERT_NEAR(s->field[i], second[size_t(i)], 1e-4);
  for (int32_t f = 0; f < 128; f++)
    ASSERT_EQ(hypervoxel_frame(), 1);
  for (int32_t i = 0; i < HVOXEL_FIELD_CELLS; i += 97)
    ASSERT_NEAR(s->field[i], first[size_t(i)], 1e-4);
  EXPECT_EQ(s->morph, 256.0f);
  ASSERT_EQ(hypervoxel_frame(), 1);
  EXPECT_EQ(s->morph, 0.0f);
  EXPECT_EQ(frame->flags, uint32_t(PIXMAP_DEPTH));
  // The zoom ended after 396 ticks (198 frames here): the plain background.
  EXPECT_EQ(s->zooming, 0);
  // The last frame, at order 34, turns depth off again.
  opening_clock_set(&clock, 1.0f, 34, 0);
  EXPECT_EQ(hypervoxel_frame(), 0);
  EXPECT_EQ(frame->flags, 0u);
}

TEST_F(hvoxel_data, AFirstFrameAtOrder34LeavesNoFlags) {
  ASSERT_EQ(init_with(net_build_files(), net_then_hypervoxel_init), 1);
  frame->flags = PIXMAP_DEPTH | PIXMAP_CLEAR;
  opening_clock_set(&clock, 1.0f, 35, 0);
  EXPECT_EQ(hypervoxel_frame(), 0);
  EXPECT_EQ(frame->flags, 0u);
}
