# The soundtrack: the composer's toolkit, the songs' cues on the virtual clock,
# the songs as sound, and the show on the real data.dat.
add_library(soundtrack_support STATIC soundtrack_xm.cpp soundtrack_songs.cpp)
target_include_directories(soundtrack_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(soundtrack_support PUBLIC testkit)

vorlane_test(test_soundtrack_score SOURCES test_soundtrack_score.cpp LIBS forge_music)
vorlane_test(test_soundtrack_cues SOURCES test_soundtrack_cues.cpp LIBS forge_music soundtrack_support TIMEOUT 240)
add_dependencies(test_soundtrack_cues songinfo data_dat)
vorlane_test(test_soundtrack_audio SOURCES test_soundtrack_audio.cpp
  LIBS forge_music soundtrack_support PkgConfig::OPENMPT TIMEOUT 300)
add_dependencies(test_soundtrack_audio songinfo data_dat)
vorlane_test(test_soundtrack_show SOURCES test_soundtrack_show.cpp LIBS soundtrack_support TIMEOUT 300)
add_dependencies(test_soundtrack_show demo_render data_dat)
