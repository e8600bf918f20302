vorlane_bench(bench_scenes SOURCES bench_scenes.cpp LIBS engine3d vfs forge_writers forge_mesh)
