# The committed default picture must be what its script writes.
find_package(Python3 COMPONENTS Interpreter REQUIRED)
add_test(NAME native.DefaultPicture.MatchesItsScript
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/src/resources/make_default_picture.py
          --check ${CMAKE_SOURCE_DIR}/src/resources/default_picture.bmp)
