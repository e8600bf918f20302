vorlane_test(test_shell_parts SOURCES test_shell_parts.cpp LIBS shell display_headless)
