vorlane_bench(bench_zoomer SOURCES bench_zoomer.cpp LIBS effects forge_core)
