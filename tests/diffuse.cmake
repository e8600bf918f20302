# The diffuse cube and the light object: their rules in isolation, their
# inits on the build's data (and on broken data), and their part of the show.
vorlane_test(test_dcube SOURCES test_dcube.cpp LIBS effects opening_fixtures)
vorlane_test(test_diffuse_show SOURCES test_diffuse_show.cpp
  LIBS show_run opening_fixtures TIMEOUT 900)
vorlane_test(test_lobj SOURCES test_lobj.cpp LIBS effects opening_fixtures)
