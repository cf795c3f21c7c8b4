# The shipped stubs must each import the runtime library their name promises.
add_test(NAME native.StubImports COMMAND ${CMAKE_SOURCE_DIR}/tools/check-imports ${CMAKE_SOURCE_DIR}/dist)
