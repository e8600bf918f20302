# The radial-blur credits: their rules in isolation, their init on the
# build's data (and on broken data), and their part of the show.
vorlane_test(test_credits SOURCES test_credits.cpp LIBS effects opening_fixtures)
