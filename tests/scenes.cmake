# Object and scene files: the LightWave and ASCII scene readers, the
# tokenizer, splines and the render scene, bad input, and the model tool.
vorlane_test(test_scenes
  SOURCES scene_fixtures.cpp test_lwo.cpp test_tokenizer.cpp test_ase.cpp test_spline.cpp test_render_scene.cpp test_texture_map.cpp test_scenes_robust.cpp
  LIBS engine3d vfs picture_fixtures
  TIMEOUT 300)

vorlane_test(test_model_tool
  SOURCES scene_fixtures.cpp test_model_tool.cpp
  LIBS engine3d vfs picture_fixtures)
add_dependencies(test_model_tool model data_dat)
# The forge's own objects and scenes are read as well.
target_compile_definitions(test_model_tool PRIVATE FORGE_TREE="${FORGE_TREE}")

# The forge's writers of these formats, read back through the readers.
vorlane_test(test_scene_writers
  SOURCES scene_fixtures.cpp test_scene_writers.cpp
  LIBS forge_writers forge_mesh engine3d vfs)
add_dependencies(test_scene_writers model)
