# The mirror-scene engine: its loaders (and the forge's ASC writer read back
# through them), records, emitters and renderer, and bad input.
vorlane_test(test_mirrorscene
  SOURCES test_mirror_loaders.cpp test_mirror_render.cpp reader_checks.cpp
  LIBS mirrorscene engine3d image vfs forge_writers forge_mesh picture_fixtures)
