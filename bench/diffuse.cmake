vorlane_bench(bench_diffuse SOURCES bench_diffuse.cpp LIBS effects vfs)
add_dependencies(bench_diffuse data_dat)
