# The package's example scripts and the scripts the runtime tests give the
# stand-in interpreter are Python too: the machine's Python must accept them.
find_program(KITPACK_PYTHON3 python3)
if(KITPACK_PYTHON3)
  add_test(NAME native.python_runtime.ScriptsAreValidPython
    COMMAND ${KITPACK_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/check_scripts.py
            ${CMAKE_SOURCE_DIR}/examples/example/preinstall.py
            ${CMAKE_SOURCE_DIR}/examples/example/files/SCRIPTS/example_post.py
            ${CMAKE_SOURCE_DIR}/tests/e2e/python3/preinstall.py
            ${CMAKE_SOURCE_DIR}/tests/e2e/python3/files/SCRIPTS/example3_post.py)

  # The statements the installer runs in an interpreter, run by the machine's
  # Python with paths no literal could hold.
  add_executable(print_statements ${CMAKE_CURRENT_LIST_DIR}/print_statements.cpp)
  target_link_libraries(print_statements kitpack_logic)
  add_test(NAME native.python_runtime.StatementsWorkForAnyFolderName
    COMMAND ${KITPACK_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/check_statements.py $<TARGET_FILE:print_statements>)
endif()
