vorlane_test(test_common SOURCES test_mem.cpp test_colour_add.cpp LIBS common)
