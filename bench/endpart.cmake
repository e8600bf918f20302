vorlane_bench(bench_endpart SOURCES bench_endpart.cpp LIBS effects vfs)
add_dependencies(bench_endpart data_dat)
