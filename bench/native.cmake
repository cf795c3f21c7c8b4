# The native inflate benchmark: built optimised and without sanitizers (the
# test build's flags would measure the sanitizers), run by bench/run.
add_executable(bench_inflate EXCLUDE_FROM_ALL
  ${CMAKE_SOURCE_DIR}/bench/inflate_bench.cpp
  ${CMAKE_SOURCE_DIR}/src/archive/member_data.cpp)
set_target_properties(bench_inflate PROPERTIES COMPILE_OPTIONS "-O2" LINK_OPTIONS "")
target_include_directories(bench_inflate PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests
  ${CMAKE_SOURCE_DIR}/bench)
target_link_libraries(bench_inflate PRIVATE ZLIB::ZLIB)

# zlib's speed: Debian's shared libz against the stubs' own build from source,
# one program built twice from the same file.
include(${CMAKE_SOURCE_DIR}/cmake/zlib_source.cmake)
kitpack_zlib_library(bench_zlib_source_lib deflate.c trees.c)
foreach(_which debian source)
  add_executable(bench_zlib_${_which} EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/zlib_bench.cpp)
  set_target_properties(bench_zlib_${_which} PROPERTIES COMPILE_OPTIONS "-O2" LINK_OPTIONS "")
  target_include_directories(bench_zlib_${_which} PRIVATE ${CMAKE_SOURCE_DIR}/bench)
endforeach()
target_link_libraries(bench_zlib_debian PRIVATE ZLIB::ZLIB)
target_compile_definitions(bench_zlib_debian PRIVATE ZLIB_BENCH_LABEL="Debian's libz")
target_link_libraries(bench_zlib_source PRIVATE bench_zlib_source_lib)
target_compile_definitions(bench_zlib_source PRIVATE ZLIB_BENCH_LABEL="zlib from source, -Os")
