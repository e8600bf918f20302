vorlane_bench(bench_soundtrack SOURCES bench_soundtrack.cpp LIBS forge_music)
