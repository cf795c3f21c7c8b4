# The native inflate benchmark: built optimised and without sanitizers (the
# test build's flags would measure the sanitizers), run by bench/run.
add_executable(bench_inflate EXCLUDE_FROM_ALL
  ${CMAKE_SOURCE_DIR}/bench/inflate_bench.cpp
  ${CMAKE_SOURCE_DIR}/src/archive/member_data.cpp)
set_target_properties(bench_inflate PROPERTIES COMPILE_OPTIONS "-O2" LINK_OPTIONS "")
target_include_directories(bench_inflate PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests
  ${CMAKE_SOURCE_DIR}/bench)
target_link_libraries(bench_inflate PRIVATE ZLIB::ZLIB)
