# The fuzz programs of fuzz/ in the tests. In the GCC presets each replays its
# seeds and the inputs of fuzz/regressions/NAME/ (every finding so far, under
# the sanitizers in the asan preset). In the clang fuzz preset each runs a
# short libFuzzer campaign from its seeds with a fixed seed and run count, so
# a run is the same every time; any finding fails it and is written to
# build-fuzz/findings/.
get_property(fuzz_targets GLOBAL PROPERTY VORLANE_FUZZ_TARGETS)
foreach(entry IN LISTS fuzz_targets)
  string(REPLACE ":" ";" parts ${entry})
  list(GET parts 0 name)
  list(GET parts 1 runs)
  if(VORLANE_FUZZ)
    add_test(NAME fuzz_${name}
      COMMAND ${PROJECT_SOURCE_DIR}/scripts/fuzz --build ${CMAKE_BINARY_DIR} --runs ${runs} --seed 1 ${name})
    set_tests_properties(fuzz_${name} PROPERTIES TIMEOUT 300)
  else()
    set(inputs "")
    if(EXISTS ${PROJECT_SOURCE_DIR}/fuzz/regressions/${name})
      set(inputs ${PROJECT_SOURCE_DIR}/fuzz/regressions/${name})
    endif()
    add_test(NAME fuzz_replay_${name} COMMAND fuzz_${name} ${inputs})
    set_tests_properties(fuzz_replay_${name} PROPERTIES TIMEOUT 120)
  endif()
endforeach()
