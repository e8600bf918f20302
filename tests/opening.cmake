# The galaxy and the intro: their rules in isolation, their inits on the
# build's data (and on broken data), and the opening of the show end to end.
add_library(opening_fixtures STATIC opening_fixtures.cpp)
target_include_directories(opening_fixtures PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(opening_fixtures PUBLIC testkit pfs_writer vfs image music common)
add_dependencies(opening_fixtures data_dat)

vorlane_test(test_galaxy SOURCES test_galaxy.cpp LIBS effects opening_fixtures)
vorlane_test(test_intro SOURCES test_intro.cpp LIBS effects shell opening_fixtures)
vorlane_test(test_opening_show SOURCES test_opening_show.cpp
  LIBS show_run opening_fixtures TIMEOUT 300)
add_dependencies(test_opening_show demo_render)
