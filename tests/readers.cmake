# Picture readers: decoding of files from independent encoders (ImageMagick,
# giflib, cjpeg), the readers' own rules, bad input, and the picture tool.
find_package(GIF REQUIRED)
find_package(JPEG REQUIRED)

add_library(picture_fixtures STATIC picture_fixtures.cpp)
target_include_directories(picture_fixtures PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(picture_fixtures PUBLIC GIF::GIF JPEG::JPEG)

vorlane_test(test_readers
  SOURCES reader_checks.cpp test_pcx.cpp test_gif.cpp test_tga.cpp test_jpeg.cpp test_scx.cpp
          test_readers_robust.cpp test_picture_tool.cpp
  LIBS image vfs pfs_writer picture_fixtures
  TIMEOUT 300)
add_dependencies(test_readers picture)
