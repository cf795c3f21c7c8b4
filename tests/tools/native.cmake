add_test(NAME native.Packer COMMAND python3 -m unittest -v mkpkg_kitpack_test
         WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/tools)
# Builds a wheel with pip once (tens of seconds) and installs it as the stub would.
add_test(NAME native.PackerWheel COMMAND python3 -m unittest -v mkpkg_kitpack_wheel_test
         WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/tools)
set_tests_properties(native.PackerWheel PROPERTIES TIMEOUT 600)
# Signs with throwaway certificates that openssl makes for the run.
add_test(NAME native.PackerSigning COMMAND python3 -m unittest -v mkpkg_kitpack_sign_test
         WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/tools)
