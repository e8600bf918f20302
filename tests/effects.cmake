vorlane_test(test_blend SOURCES test_blend.cpp LIBS effects)
