vorlane_bench(bench_display_drivers SOURCES bench_display_drivers.cpp ../tests/fake_video.cpp
  LIBS display_directdraw display_gdi platform_video)
target_include_directories(bench_display_drivers PRIVATE ${CMAKE_SOURCE_DIR}/tests)
