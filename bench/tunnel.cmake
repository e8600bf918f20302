# The tunnel flight on the build's data: loading its scene, and its frame
# step in each section of the flight.
vorlane_bench(bench_tunnel SOURCES bench_tunnel.cpp LIBS bench_show)
add_dependencies(bench_tunnel data_dat)
