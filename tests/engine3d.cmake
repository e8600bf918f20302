vorlane_test(test_engine3d
  SOURCES
    test_engine3d_maths.cpp
    test_engine3d_pipeline.cpp
    test_engine3d_drawers.cpp
    test_engine3d_textures.cpp
    test_engine3d_robust.cpp
  LIBS engine3d)
