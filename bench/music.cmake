vorlane_bench(bench_music SOURCES bench_music.cpp ${CMAKE_SOURCE_DIR}/tests/music_songs.cpp LIBS music platform xmwriter)
target_include_directories(bench_music PRIVATE ${CMAKE_SOURCE_DIR}/tests)
