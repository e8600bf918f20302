vorlane_test(test_platform SOURCES test_platform.cpp music_songs.cpp LIBS platform xmwriter TIMEOUT 60)
