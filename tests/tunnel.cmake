# The tunnel flight: its rules in isolation and its init and frames on the
# build's data (and on broken data), the generated world, and the flight in
# the show end to end.
vorlane_test(test_tunnel SOURCES test_tunnel.cpp LIBS effects opening_fixtures)
vorlane_test(test_tunnel_world SOURCES test_tunnel_world.cpp LIBS forge_core)
vorlane_test(test_tunnel_show SOURCES test_tunnel_show.cpp LIBS show_run opening_fixtures
  TIMEOUT 300)
add_dependencies(test_tunnel_show demo_render)
