# The uninstaller benchmark's timing program (bench/uninstall_bench.sh runs it).
add_executable(uninstall_bench ${CMAKE_SOURCE_DIR}/bench/uninstall_bench_win.cpp)
target_link_libraries(uninstall_bench kitpack_testsupport)
