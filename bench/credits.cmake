vorlane_bench(bench_credits SOURCES bench_credits.cpp LIBS effects vfs)
add_dependencies(bench_credits data_dat)
