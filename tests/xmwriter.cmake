vorlane_test(test_xmwriter SOURCES test_xmwriter.cpp music_songs.cpp LIBS xmwriter PkgConfig::OPENMPT TIMEOUT 60)
