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

# An installer made from a wheel that pip built from the tiny project of the
# packer's tests.
set(_tiny_project ${CMAKE_SOURCE_DIR}/tests/tools/tiny_project)
file(GLOB_RECURSE _tiny_project_files CONFIGURE_DEPENDS ${_tiny_project}/*)
set(_tiny_wheel ${KITPACK_FIXTURES}/wheels/tiny_pkg-1.0-py3-none-any.whl)
add_custom_command(OUTPUT ${_tiny_wheel}
  COMMAND ${CMAKE_SOURCE_DIR}/tests/tools/make_test_wheel ${KITPACK_FIXTURES}/wheels
  DEPENDS ${_tiny_project_files} ${CMAKE_SOURCE_DIR}/tests/tools/make_test_wheel VERBATIM)
kitpack_fixture(NAME wheel DEPENDS ${_tiny_wheel}
  ${KITPACK_LAUNCHER_CONSOLE} ${KITPACK_LAUNCHER_GUI}
  ARGS --wheel ${_tiny_wheel} --launcher-dir ${KITPACK_DIST})

# A package for a Python 3: pre-install script, both compile passes and a
# post-install script that calls every builtin; installed into the stand-in's
# Python 3 personality.
file(GLOB_RECURSE _python3_files CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/python3/*)
kitpack_fixture(NAME python3-example DEPENDS ${_python3_files} ARGS
  --config tests/e2e/python3/setup.ini --preinstall tests/e2e/python3/preinstall.py
  --tree tests/e2e/python3/files)
add_dependencies(wintest_e2e standin_python3)

# A post-install script that prints get_root_hkey().
file(GLOB_RECURSE _root_key_files CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/root_key_tree/*)
kitpack_fixture(NAME root-key DEPENDS ${_root_key_files} ARGS
  --config examples/example/setup.ini --tree tests/e2e/root_key_tree
  --install-script root_key_post.py --target-compile 0 --target-optimize 0)

# Signed installers: the example, and the example without its pre-install
# script, signed by the packer with a throwaway certificate that openssl makes
# for this build tree (never a real one).
set(_signing ${KITPACK_FIXTURES}/signing)
add_custom_command(OUTPUT ${_signing}/cert.pem ${_signing}/key.pem
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_signing}
  COMMAND openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=kitpack e2e test signer"
          -addext extendedKeyUsage=codeSigning -keyout ${_signing}/key.pem -out ${_signing}/cert.pem
  VERBATIM)
set(_sign_args --sign-cert ${_signing}/cert.pem --sign-key ${_signing}/key.pem)
set(_sign_deps ${_signing}/cert.pem ${_signing}/key.pem)
kitpack_fixture(NAME signed DEPENDS ${_example_files} ${_sign_deps} ARGS
  --config examples/example/setup.ini --preinstall examples/example/preinstall.py
  --tree examples/example/files ${_sign_args})
kitpack_fixture(NAME signed-no-preinstall DEPENDS ${_example_files} ${_sign_deps} ARGS
  --config examples/example/setup.ini --tree examples/example/files ${_sign_args})
# What Windows checks of them, the signature, holds for the certificate.
foreach(_name signed signed-no-preinstall)
  add_test(NAME signing.${_name}.Verifies COMMAND osslsigncode verify -CAfile ${_signing}/cert.pem
           -in ${KITPACK_FIXTURES}/${_name}.exe)
endforeach()
# Unattended runs: a post-install script that asks with message_box and then
# raises; a package that requires a Python version.
file(GLOB_RECURSE _unattended_files CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/unattended_tree/*)
kitpack_fixture(NAME unattended-post DEPENDS ${_unattended_files} ARGS
  --config examples/example/setup.ini --tree tests/e2e/unattended_tree
  --install-script unattended_post.py --target-compile 0 --target-optimize 0)
kitpack_fixture(NAME unattended-target DEPENDS ${_example_files} ARGS
  --config examples/example/setup.ini --tree examples/example/files
  --target-compile 0 --target-optimize 0 --install-script= --target-version 9.6)
# Member names outside ASCII, which the packer stores in UTF-8: a package
# folder and a file with an e acute, and a file whose omega the code page of
# the test prefix cannot hold.
file(GLOB_RECURSE _names_files CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/names_tree/*)
kitpack_fixture(NAME names DEPENDS ${_names_files} ARGS
  --config examples/example/setup.ini --tree tests/e2e/names_tree --install-script=)
kitpack_fixture(NAME unattended-requires
  DEPENDS ${_example_files} ${CMAKE_CURRENT_LIST_DIR}/python_requires_setup.ini ARGS
  --config tests/e2e/python_requires_setup.ini --tree examples/example/files
  --target-compile 0 --target-optimize 0 --install-script=)
