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

# A pre-install script that prints a line and then raises.
kitpack_fixture(NAME failing-preinstall
  DEPENDS ${_example_files} ${CMAKE_CURRENT_LIST_DIR}/failing_preinstall.py ARGS
  --config examples/example/setup.ini --preinstall tests/e2e/failing_preinstall.py
  --tree examples/example/files)
# No pre-install script and no compile pass, with and without the post-install
# script.
kitpack_fixture(NAME no-compile DEPENDS ${_example_files} ARGS
  --config examples/example/setup.ini --tree examples/example/files
  --target-compile 0 --target-optimize 0)
kitpack_fixture(NAME no-compile-no-script DEPENDS ${_example_files} ARGS
  --config examples/example/setup.ini --tree examples/example/files
  --target-compile 0 --target-optimize 0 --install-script=)
# A post-install script that prints get_root_hkey().
file(GLOB_RECURSE _root_key_files CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/root_key_tree/*)
kitpack_fixture(NAME root-key DEPENDS ${_root_key_files} ARGS
  --config examples/example/setup.ini --tree tests/e2e/root_key_tree
  --install-script root_key_post.py --target-compile 0 --target-optimize 0)
