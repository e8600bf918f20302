# The end part: its rules in isolation, its init on the build's data (and on
# broken data).
vorlane_test(test_endpart SOURCES test_endpart.cpp LIBS effects opening_fixtures)
vorlane_test(test_endpart_show SOURCES test_endpart_show.cpp
  LIBS show_run opening_fixtures effects TIMEOUT 600)
