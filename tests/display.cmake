vorlane_test(test_display SOURCES test_display.cpp LIBS display display_headless)
