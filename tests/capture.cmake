# demo_render --video: the capture's plan and progress, short captures into
# both containers checked with ffprobe, and the ways a capture fails.
vorlane_test(test_capture SOURCES test_capture.cpp LIBS render_support show_archive TIMEOUT 300)
add_dependencies(test_capture demo_render)
