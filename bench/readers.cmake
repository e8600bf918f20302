# Decode time of every picture reader at 320x240 and 1024x1024.
vorlane_bench(bench_readers SOURCES bench_readers.cpp LIBS image vfs picture_fixtures)
