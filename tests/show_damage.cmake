# The show headless on an archive with each entry damaged in turn, and on
# random key scripts (demo_render on the build's data.dat).
vorlane_test(test_show_damage SOURCES test_show_damage.cpp LIBS pfs_writer vfs common TIMEOUT 900)
add_dependencies(test_show_damage demo_render data_dat)
