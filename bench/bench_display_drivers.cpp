// One 320x240 frame presented through each driver into a fake video layer:
// the cost of the pixel conversion the drivers do on every frame.
#include "directdraw.h"
#include "fake_video.h"
#include "gdi.h"

#include <benchmark/benchmark.h>

namespace {
pixmap* test_frame() {
  pixmap* p = pixmap_create(320, 240, PIXMAP_CLEAR);
  for (int32_t y = 0; y < 240; y++)
    for (int32_t x = 0; x < 320; x++)
      p->pixels[p->rows[y] + x] = pixmap_rgba(uint32_t(x), uint32_t(y), uint32_t(x ^ y), 255);
  return p;
}

void directdraw_present(benchmark::State& st) {
  fake_video_install();
  directdraw_reset();
  const uint32_t flags[] = {DISPLAY_OPEN_16_BITS, DISPLAY_OPEN_24_BITS, 0}; // 16, 24 and 32 bits
  const uint32_t masks[][3] = {{0xF800, 0x07E0, 0x001F}, {0xFF0000, 0xFF00, 0xFF}, {0xFF0000, 0xFF00, 0xFF}};
  const int i = int(st.range(0));
  fake->format = {16 + 8 * i, masks[i][0], masks[i][1], masks[i][2]};
  directdraw_driver.open(320, 240, "bench", flags[i]);
  pixmap* p = test_frame();
  for (auto _ : st)
    benchmark::DoNotOptimize(directdraw_driver.present(0, 0, p, 0, 0, 320, 240));
  st.SetItemsProcessed(int64_t(st.iterations()) * 320 * 240);
  pixmap_free(p);
  directdraw_driver.close();
  directdraw_reset();
  fake_video_remove();
}
BENCHMARK(directdraw_present)->Arg(0)->Arg(1)->Arg(2)->ArgName("depth_16_24_32");

void gdi_present(benchmark::State& st) {
  fake_video_install();
  gdi_reset();
  gdi_driver.open(320, 240, "bench", DISPLAY_OPEN_16_BITS);
  pixmap* p = test_frame();
  for (auto _ : st)
    benchmark::DoNotOptimize(gdi_driver.present(0, 0, p, 0, 0, 320, 240));
  st.SetItemsProcessed(int64_t(st.iterations()) * 320 * 240);
  pixmap_free(p);
  gdi_driver.close();
  gdi_reset();
  fake_video_remove();
}
BENCHMARK(gdi_present);
} // namespace
