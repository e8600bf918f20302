vorlane_test(test_music SOURCES test_music.cpp music_songs.cpp LIBS music platform vfs pfs_writer xmwriter PkgConfig::OPENMPT TIMEOUT 60)
add_dependencies(test_music songinfo)
