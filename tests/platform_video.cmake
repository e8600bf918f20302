vorlane_test(test_video_layer SOURCES test_video_layer.cpp LIBS platform_video PkgConfig::VIDEO_SDL2)
