# Installer images for the wizard's end-to-end tests.
file(GLOB_RECURSE _wizard_example_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/examples/example/*)

# A package that needs a Python version nobody has registered.
kitpack_fixture(NAME wizard-missing-python DEPENDS ${_wizard_example_files} ARGS
  --config examples/example/setup.ini --tree examples/example/files --target-version 9.9)

# A package with its own picture: an orange square.
set(_test_picture ${CMAKE_BINARY_DIR}/fixtures/test_picture.bmp)
add_custom_command(OUTPUT ${_test_picture}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/fixtures
  COMMAND python3 ${CMAKE_CURRENT_LIST_DIR}/make_test_picture.py ${_test_picture}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make_test_picture.py VERBATIM)
kitpack_fixture(NAME wizard-picture DEPENDS ${_wizard_example_files} ${_test_picture} ARGS
  --config examples/example/setup.ini --tree examples/example/files --bitmap ${_test_picture})

# The example without its pre-install script: no interpreter is needed before
# the files are written.
kitpack_fixture(NAME wizard-no-preinstall DEPENDS ${_wizard_example_files} ARGS
  --config examples/example/setup.ini --tree examples/example/files)
