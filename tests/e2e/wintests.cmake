file(GLOB_RECURSE _example_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/examples/example/*)
kitpack_fixture(NAME example DEPENDS ${_example_files} ARGS
  --config examples/example/setup.ini --preinstall examples/example/preinstall.py
  --tree examples/example/files)
kitpack_fixture(NAME uac-force DEPENDS ${_example_files} ARGS
  --config examples/example/setup.ini --tree examples/example/files
  --user-access-control Force)

# The wizard's end-to-end runs install into a Python whose DLL is the stand-in.
add_dependencies(wintest_e2e standin_full)
target_compile_definitions(wintest_e2e PRIVATE STANDIN_DIR="${CMAKE_BINARY_DIR}/standin")
