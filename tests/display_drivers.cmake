# Both drivers against a fake video layer.
vorlane_test(test_directdraw SOURCES test_directdraw.cpp fake_video.cpp LIBS display_directdraw platform_video)
vorlane_test(test_gdi SOURCES test_gdi.cpp fake_video.cpp LIBS display_gdi platform_video)
