# The net and its block filler.
vorlane_test(test_block_fill SOURCES test_block_fill.cpp LIBS effects opening_fixtures)
