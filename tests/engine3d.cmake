vorlane_test(test_engine3d
  SOURCES test_engine3d_maths.cpp test_engine3d_pipeline.cpp
  LIBS engine3d)
