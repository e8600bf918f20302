# Short fuzz campaigns of every reader of untrusted input (fuzz/), so each run
# of the tests exercises them, under the sanitizers in the asan preset. The
# seed is fixed: a campaign is the same inputs every time. A failing input is
# written to build*/tests/fuzz-TARGET-*.bin.
# Iterations are sized for a few seconds each under the sanitizers on an idle
# core (about 20 s of processor time for all of them); the timeout leaves room
# for a busy machine.
set(fuzz_campaigns pcx:4000 gif:4000 tga:4000 jpeg:3000 scx:3000 lwo:4000 ase:1500 tokenizer:1000 pfs:2000 song:100 asc:2000 pcx24:3000)
foreach(campaign IN LISTS fuzz_campaigns)
  string(REPLACE ":" ";" parts ${campaign})
  list(GET parts 0 target)
  list(GET parts 1 iterations)
  add_test(NAME fuzz_${target}
    COMMAND fuzz ${target} --iterations ${iterations} --seed 1 --timeout 5 --out ${CMAKE_BINARY_DIR}/tests
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set_tests_properties(fuzz_${target} PROPERTIES TIMEOUT 150)
endforeach()
