vorlane_bench(bench_opening SOURCES bench_opening.cpp LIBS bench_show)
add_dependencies(bench_opening data_dat)
