# The forge's job runner and its generators' handling of failures.
vorlane_test(test_forge_jobs SOURCES test_forge_jobs.cpp LIBS forge_core TIMEOUT 180)
