vorlane_test(test_common SOURCES test_mem.cpp LIBS common)
