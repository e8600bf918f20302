vorlane_test(test_pixmap SOURCES test_pixmap.cpp LIBS image)
