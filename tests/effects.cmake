vorlane_test(test_blend SOURCES test_blend.cpp LIBS effects)
vorlane_test(test_effect_table SOURCES test_effect_table.cpp LIBS effects)
