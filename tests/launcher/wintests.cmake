# The stand-in python.exe and pythonw.exe that the launchers start, built into
# standin-python/ (test code); the launchers under test are the shipped ones
# of this build's processor (KITPACK_LAUNCHER_CONSOLE, KITPACK_LAUNCHER_GUI).
foreach(_kind python pythonw)
  add_executable(standin_${_kind} ${CMAKE_CURRENT_LIST_DIR}/standin_python_win.cpp)
  set_target_properties(standin_${_kind} PROPERTIES OUTPUT_NAME ${_kind}
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/standin-python)
  target_link_libraries(standin_${_kind} PRIVATE shell32)
endforeach()
set_target_properties(standin_pythonw PROPERTIES WIN32_EXECUTABLE ON)

foreach(_target wintest_launcher wintest_e2e)
  add_dependencies(${_target} standin_python standin_pythonw)
  target_compile_definitions(${_target} PRIVATE STANDIN_PYTHON_DIR="${CMAKE_BINARY_DIR}/standin-python"
    KITPACK_LAUNCHER_CONSOLE="${KITPACK_LAUNCHER_CONSOLE}" KITPACK_LAUNCHER_GUI="${KITPACK_LAUNCHER_GUI}")
endforeach()
