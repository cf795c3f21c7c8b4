file(GLOB_RECURSE _example_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/examples/example/*)
kitpack_fixture(NAME example DEPENDS ${_example_files} ARGS
  --config examples/example/setup.ini --preinstall examples/example/preinstall.py
  --tree examples/example/files)
kitpack_fixture(NAME uac-force DEPENDS ${_example_files} ARGS
  --config examples/example/setup.ini --tree examples/example/files
  --user-access-control Force)
