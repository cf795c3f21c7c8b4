# The stand-in interpreter DLLs, each in its own folder under standin/ so that
# none lies beside a test program: the Python 2 personality (python27.dll) in
# four builds, and the Python 3 personality (python312.dll) in two. The Python 2 builds
# link the C runtime of the stub under test (KITPACK_STANDIN_RUNTIME: msvcrt, or
# msvcr71 for stub-msvcr71.exe), since the stub captures a Python 2's output
# through the standard streams of the runtime it shares with the DLL.
set(KITPACK_STANDIN_RUNTIME msvcrt CACHE STRING "C runtime of the stand-in interpreter: msvcrt or msvcr71")
if(KITPACK_STANDIN_RUNTIME STREQUAL "msvcr71")
  include(${CMAKE_SOURCE_DIR}/cmake/msvcr71.cmake)
elseif(NOT KITPACK_STANDIN_RUNTIME STREQUAL "msvcrt")
  message(FATAL_ERROR "KITPACK_STANDIN_RUNTIME is msvcrt or msvcr71, not ${KITPACK_STANDIN_RUNTIME}")
endif()
set(_standin_dir ${CMAKE_CURRENT_LIST_DIR}/standin)
set(_standin_sources ${_standin_dir}/exports.cpp ${_standin_dir}/interpreter.cpp ${_standin_dir}/objects.cpp)

# kitpack_standin(TARGET NAME dll-name FOLDER folder RUNTIME msvcrt|ucrtbase [DEFINES ...])
# RUNTIME is the C runtime the DLL writes through: msvcrt or msvcr71 is the
# stub's own (what a Python 2 prints reaches the installer's capture),
# ucrtbase one of its own, as a Python 3 has.
function(kitpack_standin target)
  cmake_parse_arguments(S "" "NAME;FOLDER;RUNTIME" "DEFINES" ${ARGN})
  add_library(${target} SHARED ${_standin_sources})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${S_NAME} PREFIX ""
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/standin/${S_FOLDER}
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/standin/lib/${S_FOLDER})
  target_compile_definitions(${target} PRIVATE ${S_DEFINES})
  if(S_RUNTIME STREQUAL "ucrtbase")
    set(_specs ${CMAKE_BINARY_DIR}/ucrtbase.specs)
    if(NOT TARGET kitpack_ucrtbase_specs)
      add_custom_command(OUTPUT ${_specs}
        COMMAND ${CMAKE_SOURCE_DIR}/cmake/crt-specs.sh ${CMAKE_C_COMPILER} ucrtbase ${_specs}
        DEPENDS ${CMAKE_SOURCE_DIR}/cmake/crt-specs.sh)
      add_custom_target(kitpack_ucrtbase_specs DEPENDS ${_specs})
    endif()
    add_dependencies(${target} kitpack_ucrtbase_specs)
    # Headers declare the universal runtime's functions.
    target_compile_definitions(${target} PRIVATE _UCRT __MSVCRT_VERSION__=0x0E00)
    # The static thread library wants msvcrt's _setjmp; the stand-in starts no
    # thread, and the universal runtime has the same function under another name.
    # (i686 names C symbols with one more leading underscore.)
    set(_c)
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
      set(_c _)
    endif()
    target_link_options(${target} PRIVATE -specs=${_specs}
      -Wl,--defsym=${_c}_setjmp=${_c}__intrinsic_setjmp)
  elseif(S_RUNTIME STREQUAL "msvcr71")
    kitpack_link_msvcr71(${target})
    target_sources(${target} PRIVATE ${_standin_dir}/msvcr71_names.c)
    target_link_libraries(${target} PRIVATE advapi32)
  elseif(NOT S_RUNTIME STREQUAL "msvcrt")
    message(FATAL_ERROR "kitpack_standin: unknown RUNTIME ${S_RUNTIME}")
  endif()
  add_dependencies(wintest_python_runtime ${target})
endfunction()

foreach(_variant full no_err_print no_set_argv no_long_from_void_ptr)
  set(_defines)
  if(NOT _variant STREQUAL "full")
    string(TOUPPER ${_variant} _switch)
    set(_defines STANDIN_${_switch})
  endif()
  kitpack_standin(standin_${_variant} NAME python27 FOLDER ${_variant} RUNTIME ${KITPACK_STANDIN_RUNTIME}
    DEFINES ${_defines})
endforeach()
kitpack_standin(standin_python3 NAME python312 FOLDER python3 RUNTIME ucrtbase DEFINES STANDIN_PYTHON3)
# A Python 3 without the two deprecated setters.
kitpack_standin(standin_python3_no_setters NAME python312 FOLDER python3_no_setters RUNTIME ucrtbase
  DEFINES STANDIN_PYTHON3 STANDIN_NO_SET_ARGV STANDIN_NO_SET_PROGRAM_NAME)

target_sources(wintest_python_runtime PRIVATE ${CMAKE_CURRENT_LIST_DIR}/python_fixture_win.cpp)
target_compile_definitions(wintest_python_runtime PRIVATE STANDIN_DIR="${CMAKE_BINARY_DIR}/standin")
