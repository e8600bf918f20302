# The radial-blur credits: their rules in isolation, their init on the
# build's data (and on broken data), and their part of the show.
vorlane_test(test_credits SOURCES test_credits.cpp LIBS effects opening_fixtures)
vorlane_test(test_credits_show SOURCES test_credits_show.cpp
  LIBS show_run opening_fixtures effects TIMEOUT 300)
