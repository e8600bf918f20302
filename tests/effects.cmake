vorlane_test(test_blend SOURCES test_blend.cpp LIBS effects)
vorlane_test(test_credits SOURCES test_credits.cpp LIBS effects)
