vorlane_bench(bench_engine3d SOURCES bench_engine3d.cpp LIBS engine3d)
