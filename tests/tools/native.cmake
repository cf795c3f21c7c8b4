add_test(NAME native.Packer COMMAND python3 -m unittest -v mkpkg_kitpack_test
         WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/tools)
