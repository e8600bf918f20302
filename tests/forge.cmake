# The forge: writers, art toolkit, mesh builders and the generated data set.
find_package(GIF REQUIRED)
find_package(JPEG REQUIRED)

add_library(forge_test_decoders STATIC forge_decoders.cpp)
target_link_libraries(forge_test_decoders PUBLIC testkit)

vorlane_test(test_forge_writers SOURCES test_forge_writers.cpp LIBS forge_writers forge_test_decoders GIF::GIF JPEG::JPEG
  TIMEOUT 180)
vorlane_test(test_forge_art SOURCES test_forge_art.cpp LIBS forge_art)
vorlane_test(test_forge_mesh SOURCES test_forge_mesh.cpp LIBS forge_mesh)
# Runs the forge program and reads the tree and data.dat the build made.
vorlane_test(test_forge_data SOURCES test_forge_data.cpp LIBS forge_test_decoders image vfs common TIMEOUT 300)
add_dependencies(test_forge_data forge pfs data_dat)
vorlane_test(test_forge_readers SOURCES test_forge_readers.cpp LIBS forge_writers image vfs)
