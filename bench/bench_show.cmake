# What the effects' benchmarks share: the archive, the frame and the show
# context, and the readers' lines kept quiet.
add_library(bench_show STATIC bench_show.cpp)
target_include_directories(bench_show PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(bench_show PUBLIC effects shell vfs)
