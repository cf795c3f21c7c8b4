# The uninstaller benchmark's timing program (bench/uninstall_bench.sh runs it).
add_executable(uninstall_bench ${CMAKE_SOURCE_DIR}/bench/uninstall_bench_win.cpp)
target_link_libraries(uninstall_bench kitpack_testsupport)

# The decoys that the self-removal test plants where a misread path would lead.
add_executable(mark_run ${CMAKE_CURRENT_LIST_DIR}/mark_run_win.cpp)
add_dependencies(wintest_uninstall mark_run)
target_compile_definitions(wintest_uninstall PRIVATE MARK_RUN="$<TARGET_FILE:mark_run>")
