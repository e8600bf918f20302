# Short fuzz campaigns of every reader of untrusted input (fuzz/), so each run
# of the tests exercises them, under the sanitizers in the asan preset. The
# seed is fixed: a campaign is the same inputs every time. A failing input is
# written to build*/tests/fuzz-TARGET-*.bin.
set(fuzz_campaigns pcx:3000 gif:3000 tga:3000 jpeg:2000 scx:3000 lwo:3000 ase:2000 tokenizer:2000 pfs:1500 song:400)
foreach(campaign IN LISTS fuzz_campaigns)
  string(REPLACE ":" ";" parts ${campaign})
  list(GET parts 0 target)
  list(GET parts 1 iterations)
  add_test(NAME fuzz_${target}
    COMMAND fuzz ${target} --iterations ${iterations} --seed 1 --timeout 5 --out ${CMAKE_BINARY_DIR}/tests
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set_tests_properties(fuzz_${target} PROPERTIES TIMEOUT 60)
endforeach()
