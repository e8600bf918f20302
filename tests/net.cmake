# The block filler, the net and the hypervoxel: their rules in isolation,
# their inits on the build's data (and on broken data), and both scenes in
# the show end to end.
vorlane_test(test_block_fill SOURCES test_block_fill.cpp LIBS effects shell opening_fixtures)
vorlane_test(test_net SOURCES test_net.cpp LIBS effects shell opening_fixtures)
vorlane_test(test_hypervoxel SOURCES test_hypervoxel.cpp LIBS effects shell opening_fixtures)
vorlane_test(test_net_show SOURCES test_net_show.cpp LIBS show_run opening_fixtures
  TIMEOUT 600)
vorlane_test(test_magnet SOURCES test_magnet.cpp LIBS effects shell opening_fixtures)
vorlane_test(test_qube SOURCES test_qube.cpp LIBS effects shell opening_fixtures)
