# Installer images for the wizard's end-to-end tests.
file(GLOB_RECURSE _wizard_example_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/examples/example/*)

# A package that needs a Python version nobody has registered.
kitpack_fixture(NAME wizard-missing-python DEPENDS ${_wizard_example_files} ARGS
  --config examples/example/setup.ini --tree examples/example/files --target-version 9.9)

# Packages with their own picture: an orange square with the 40-byte header,
# a green one with the 12-byte core header and a colour table of RGBTRIPLEs,
# a magenta one with the 124-byte header, bit-field masks and top-down rows.
foreach(_form info core v5)
  set(_picture ${CMAKE_BINARY_DIR}/fixtures/test_picture_${_form}.bmp)
  add_custom_command(OUTPUT ${_picture}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/fixtures
    COMMAND python3 ${CMAKE_CURRENT_LIST_DIR}/make_test_picture.py ${_picture} ${_form}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make_test_picture.py VERBATIM)
  set(_fixture wizard-picture)
  if(NOT _form STREQUAL "info")
    set(_fixture wizard-${_form}-picture)
  endif()
  kitpack_fixture(NAME ${_fixture} DEPENDS ${_wizard_example_files} ${_picture} ARGS
    --config examples/example/setup.ini --tree examples/example/files --bitmap ${_picture})
endforeach()

# The example without its pre-install script: no interpreter is needed before
# the files are written.
kitpack_fixture(NAME wizard-no-preinstall DEPENDS ${_wizard_example_files} ARGS
  --config examples/example/setup.ini --tree examples/example/files)
