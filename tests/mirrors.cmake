# The mirror hall: its scene, frames and feedback on the build's data (and on
# broken data).
vorlane_test(test_mirrors SOURCES test_mirrors.cpp LIBS effects opening_fixtures)
