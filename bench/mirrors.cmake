# The mirror hall on the build's data: its frame step over the camera's
# swing, and the engine's additive sprites.
vorlane_bench(bench_mirrors SOURCES bench_mirrors.cpp LIBS bench_show)
add_dependencies(bench_mirrors data_dat)
