# The stand-in interpreter DLL (python27.dll) in four builds, each in its own
# folder under standin/ so that none lies beside a test program. It links the
# C runtime of the stub under test (KITPACK_STANDIN_RUNTIME: msvcrt, or msvcr71
# for stub-msvcr71.exe), since the stub captures script output through the
# standard streams of the runtime it shares with the DLL.
set(KITPACK_STANDIN_RUNTIME msvcrt CACHE STRING "C runtime of the stand-in interpreter: msvcrt or msvcr71")
if(KITPACK_STANDIN_RUNTIME STREQUAL "msvcr71")
  include(${CMAKE_SOURCE_DIR}/cmake/msvcr71.cmake)
elseif(NOT KITPACK_STANDIN_RUNTIME STREQUAL "msvcrt")
  message(FATAL_ERROR "KITPACK_STANDIN_RUNTIME is msvcrt or msvcr71, not ${KITPACK_STANDIN_RUNTIME}")
endif()
set(_standin_dir ${CMAKE_CURRENT_LIST_DIR}/standin)
set(_standin_sources ${_standin_dir}/exports.cpp ${_standin_dir}/interpreter.cpp ${_standin_dir}/objects.cpp)
foreach(_variant full no_err_print no_set_argv no_long_from_void_ptr)
  add_library(standin_${_variant} SHARED ${_standin_sources})
  set_target_properties(standin_${_variant} PROPERTIES OUTPUT_NAME python27 PREFIX ""
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/standin/${_variant}
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/standin/lib/${_variant})
  if(NOT _variant STREQUAL "full")
    string(TOUPPER ${_variant} _switch)
    target_compile_definitions(standin_${_variant} PRIVATE STANDIN_${_switch})
  endif()
  if(KITPACK_STANDIN_RUNTIME STREQUAL "msvcr71")
    kitpack_link_msvcr71(standin_${_variant})
    target_sources(standin_${_variant} PRIVATE ${_standin_dir}/msvcr71_names.c)
    target_link_libraries(standin_${_variant} PRIVATE advapi32)
  endif()
  add_dependencies(wintest_python_runtime standin_${_variant})
endforeach()
target_sources(wintest_python_runtime PRIVATE ${CMAKE_CURRENT_LIST_DIR}/python_fixture_win.cpp)
target_compile_definitions(wintest_python_runtime PRIVATE STANDIN_DIR="${CMAKE_BINARY_DIR}/standin")
