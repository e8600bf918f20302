# The net and the hypervoxel on the build's data: the block filler, the net's
# drawing in its modes, its sheet stage and the hypervoxel's frame step.
vorlane_bench(bench_net SOURCES bench_net.cpp LIBS bench_show)
add_dependencies(bench_net data_dat)
