vorlane_test(test_shell_parts SOURCES test_shell_parts.cpp LIBS shell display_headless)

add_library(show_archive STATIC show_archive.cpp music_songs.cpp)
target_include_directories(show_archive PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(show_archive PUBLIC picture_fixtures pfs_writer xmwriter vfs common testkit)
# The effects' files come from the build's data.dat.
add_dependencies(show_archive data_dat)

vorlane_test(test_show SOURCES test_show.cpp LIBS shell display_headless music show_archive render_support TIMEOUT 300)
add_dependencies(test_show demo_render)

# The installed show runs from any directory, and every program answers
# --version and --help.
add_test(NAME install_check
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/install_check.sh ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/tests/install_check)
set_tests_properties(install_check PROPERTIES TIMEOUT 120)
