# The mirror hall: its scene, frames and feedback on the build's data (and on
# broken data), and the hall in the show through demo_render.
vorlane_test(test_mirrors SOURCES test_mirrors.cpp LIBS effects opening_fixtures TIMEOUT 300)
add_dependencies(test_mirrors demo_render)
