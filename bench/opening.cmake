vorlane_bench(bench_opening SOURCES bench_opening.cpp LIBS effects shell)
add_dependencies(bench_opening data_dat)
