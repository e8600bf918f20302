vorlane_bench(bench_vfs SOURCES bench_vfs.cpp LIBS vfs pfs_writer)
vorlane_bench(bench_pixmap SOURCES bench_pixmap.cpp LIBS image)
