# Windows unit and end-to-end tests, built with the posix thread model and run
# under wine64 by tools/wine-run, in a Wine prefix inside this build tree.
# The emulator is a one-word wrapper: test discovery does not pass arguments.
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/wine-run CONTENT
  "#!/bin/sh\nexec '${CMAKE_SOURCE_DIR}/tools/wine-run' --prefix '${CMAKE_BINARY_DIR}/wineprefix' \"$@\"\n")
file(CHMOD ${CMAKE_BINARY_DIR}/wine-run PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
     GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
enable_testing()
include(GoogleTest)

if(NOT KITPACK_STUB)
  message(FATAL_ERROR "set KITPACK_STUB to the 64-bit stub the end-to-end tests drive")
endif()

# The command launchers of this build's processor, built beside the stub.
get_filename_component(KITPACK_DIST ${KITPACK_STUB} DIRECTORY)
set(_launcher_suffix "")
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(_launcher_suffix "-x64")
endif()
set(KITPACK_LAUNCHER_CONSOLE ${KITPACK_DIST}/launcher-console${_launcher_suffix}.exe)
set(KITPACK_LAUNCHER_GUI ${KITPACK_DIST}/launcher-gui${_launcher_suffix}.exe)

add_compile_options(-Wall -Wextra -g -O1)
add_link_options(-static)
find_library(ZLIB_STATIC NAMES libz.a REQUIRED)

# Everything of the program but its entry point, for the tests to link.
add_library(kitpack_core STATIC ${KITPACK_LOGIC_SOURCES} ${KITPACK_SHELL_SOURCES})
target_include_directories(kitpack_core PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(kitpack_core PUBLIC ${ZLIB_STATIC} ${KITPACK_WIN_LIBS})
if(KITPACK_RC_SOURCES)
  # Resources go into each test program through an object library.
  add_library(kitpack_resources OBJECT ${KITPACK_RC_SOURCES})
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Shared helpers of the Windows tests (box recorder, driver, paths).
file(GLOB _support CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*_win.cpp
     ${CMAKE_SOURCE_DIR}/tests/driver/*_win.cpp)
add_library(kitpack_testsupport STATIC ${_support})
target_include_directories(kitpack_testsupport PUBLIC ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(kitpack_testsupport PUBLIC kitpack_core GTest::gtest)
target_compile_definitions(kitpack_testsupport PUBLIC
  KITPACK_SOURCE_DIR="${CMAKE_SOURCE_DIR}" KITPACK_BINARY_DIR="${CMAKE_BINARY_DIR}"
  KITPACK_STUB="${KITPACK_STUB}")

# Adds a Windows GoogleTest program; its cases run one process each, one at a time,
# since they share the prefix's registry and drive.
function(kitpack_wintest target)
  add_executable(${target} ${ARGN})
  target_link_libraries(${target} kitpack_testsupport GTest::gtest_main)
  if(TARGET kitpack_resources)
    target_sources(${target} PRIVATE $<TARGET_OBJECTS:kitpack_resources>)
  endif()
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST TEST_PREFIX "wine."
    DISCOVERY_TIMEOUT 60 PROPERTIES RESOURCE_LOCK wine TIMEOUT 300)
endfunction()

# Installer images for the tests, built by the packer from the 64-bit stub into
# ${KITPACK_FIXTURES}/NAME.exe:
#   kitpack_fixture(NAME name [DEPENDS file...] ARGS packer-arguments...)
set(KITPACK_FIXTURES ${CMAKE_BINARY_DIR}/fixtures)
file(GLOB KITPACK_PACKER_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/packer/kitpack_packer/*.py)
function(kitpack_fixture)
  cmake_parse_arguments(F "" "NAME" "DEPENDS;ARGS" ${ARGN})
  set(_out ${KITPACK_FIXTURES}/${F_NAME}.exe)
  add_custom_command(OUTPUT ${_out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KITPACK_FIXTURES}
    COMMAND ${CMAKE_SOURCE_DIR}/tools/mkpkg_kitpack --stub ${KITPACK_STUB} --output ${_out} ${F_ARGS}
    DEPENDS ${KITPACK_STUB} ${CMAKE_SOURCE_DIR}/tools/mkpkg_kitpack ${KITPACK_PACKER_SOURCES} ${F_DEPENDS}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} VERBATIM)
  set_property(GLOBAL APPEND PROPERTY KITPACK_FIXTURE_FILES ${_out})
endfunction()

foreach(_dir ${KITPACK_TEST_DIRS})
  get_filename_component(_name ${_dir} NAME)
  file(GLOB _tests CONFIGURE_DEPENDS ${_dir}/*_wintest.cpp)
  if(_tests)
    kitpack_wintest(wintest_${_name} ${_tests})
  endif()
  if(EXISTS ${_dir}/wintests.cmake)
    include(${_dir}/wintests.cmake)
  endif()
endforeach()

if(EXISTS ${CMAKE_SOURCE_DIR}/bench/wintests.cmake)
  include(${CMAKE_SOURCE_DIR}/bench/wintests.cmake)
endif()

get_property(_fixtures GLOBAL PROPERTY KITPACK_FIXTURE_FILES)
add_custom_target(kitpack_fixtures ALL DEPENDS ${_fixtures})
