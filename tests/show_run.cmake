# The show tests' common run: the build's data.dat, the headless driver on
# the virtual clock.
add_library(show_run STATIC show_run.cpp)
target_include_directories(show_run PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(show_run PUBLIC shell display_headless music vfs testkit GTest::gtest)
add_dependencies(show_run data_dat)
