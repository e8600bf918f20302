vorlane_bench(bench_diffuse SOURCES bench_diffuse.cpp LIBS bench_show)
add_dependencies(bench_diffuse data_dat)
