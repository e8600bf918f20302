vorlane_bench(bench_credits SOURCES bench_credits.cpp LIBS bench_show)
add_dependencies(bench_credits data_dat)
