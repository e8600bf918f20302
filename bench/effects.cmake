vorlane_bench(bench_blend SOURCES bench_blend.cpp LIBS effects)
