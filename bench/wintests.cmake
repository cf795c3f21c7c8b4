# The extraction benchmark, run under Wine by bench/run (never by ctest).
add_executable(bench_extract EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/extract_bench_win.cpp)
target_compile_options(bench_extract PRIVATE -O2)
target_include_directories(bench_extract PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/bench)
target_link_libraries(bench_extract PRIVATE kitpack_testsupport)
# The whole-process install benchmark's driver and floor programs, run by
# bench/install_bench.py.
add_executable(install_bench EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/install_bench_win.cpp)
target_compile_options(install_bench PRIVATE -O2)
target_link_libraries(install_bench PRIVATE kitpack_testsupport)
