# The sequence zoomer and the image cube: their rules in isolation, their
# inits on the build's data (and on broken data), and both scenes in the
# show end to end.
vorlane_test(test_seqzoom SOURCES test_seqzoom.cpp LIBS effects opening_fixtures)
vorlane_test(test_icube SOURCES test_icube.cpp LIBS effects opening_fixtures)
vorlane_test(test_zoomer_show SOURCES test_zoomer_show.cpp
  LIBS show_run opening_fixtures TIMEOUT 300)
add_dependencies(test_zoomer_show demo_render)
