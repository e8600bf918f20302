# Both drivers against a fake video layer.
vorlane_test(test_directdraw SOURCES test_directdraw.cpp fake_video.cpp LIBS display_directdraw platform_video)
vorlane_test(test_gdi SOURCES test_gdi.cpp fake_video.cpp LIBS display_gdi platform_video)

# Both drivers on the real video layer under a virtual display: a probe
# program shows four coloured quadrants and ends on Escape.
add_executable(video_probe video_probe.cpp)
target_link_libraries(video_probe PRIVATE display_directdraw display_gdi platform_video)
set_target_properties(video_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
if(VORLANE_SANITIZE)
  set(e2e_start 90)
  set(e2e_exit 10)
else()
  set(e2e_start 30)
  set(e2e_exit 2)
endif()
foreach(mode gdi dd)
  add_test(NAME video_probe_${mode}
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e_display.sh $<TARGET_FILE:video_probe> ${CMAKE_BINARY_DIR}/tests/e2e_probe_${mode}
      - ${e2e_start} ${e2e_exit})
  # One virtual display at a time: xvfb-run -a can hand two servers started
  # at once the same display number.
  set_tests_properties(video_probe_${mode} PROPERTIES TIMEOUT 180 RESOURCE_LOCK xvfb
    ENVIRONMENT "E2E_QUADRANTS=1;E2E_ARGS=${mode}")
endforeach()

# The two show programs on the test archive, under virtual displays.
vorlane_test(test_show_windows SOURCES test_show_windows.cpp LIBS show_archive TIMEOUT 240 LOCK xvfb)
add_dependencies(test_show_windows demo_gdi demo_dd)
target_compile_definitions(test_show_windows PRIVATE E2E_SCRIPT="${CMAKE_CURRENT_SOURCE_DIR}/e2e_display.sh"
  E2E_START_LIMIT=${e2e_start} E2E_EXIT_LIMIT=${e2e_exit})
