vorlane_bench(bench_forge SOURCES bench_forge.cpp LIBS forge_core)
