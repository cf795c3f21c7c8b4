# The packer's tests run under pytest with Debian's Python, whose packaging,
# installer and pip the packer uses.
set(KITPACK_PYTEST /usr/bin/python3 -m pytest -q -p no:cacheprovider)
add_test(NAME native.Packer COMMAND ${KITPACK_PYTEST} mkpkg_kitpack_test.py
         WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/tools)
# Builds a wheel with pip once (tens of seconds) and installs it as the stub would.
add_test(NAME native.PackerWheel COMMAND ${KITPACK_PYTEST} mkpkg_kitpack_wheel_test.py
         WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/tools)
set_tests_properties(native.PackerWheel PROPERTIES TIMEOUT 600)
# Signs with throwaway certificates that openssl makes for the run.
add_test(NAME native.PackerSigning COMMAND ${KITPACK_PYTEST} mkpkg_kitpack_sign_test.py
         WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/tools)
# Resolves dependencies with pip offline, and installs the packer's own wheel
# into a virtual environment.
add_test(NAME native.PackerDependencies COMMAND ${KITPACK_PYTEST} mkpkg_kitpack_deps_test.py
         WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/tools)
set_tests_properties(native.PackerDependencies PROPERTIES TIMEOUT 600)
