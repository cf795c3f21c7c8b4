# Native build: platform-free logic, its tests under sanitizers, fuzz targets.
enable_testing()
include(GoogleTest)

if(KITPACK_FUZZ)
  set(_san -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -g -O1)
else()
  set(_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g -O1)
endif()
add_compile_options(-Wall -Wextra ${_san})
add_link_options(-fsanitize=address,undefined)

add_library(kitpack_logic STATIC ${KITPACK_LOGIC_SOURCES} ${KITPACK_LAUNCHER_LOGIC_SOURCES})
target_include_directories(kitpack_logic PUBLIC ${CMAKE_SOURCE_DIR}/src)

find_package(ZLIB REQUIRED)
target_link_libraries(kitpack_logic PUBLIC ZLIB::ZLIB)

if(KITPACK_FUZZ)
  file(GLOB _fuzzers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
  foreach(_f ${_fuzzers})
    get_filename_component(_name ${_f} NAME_WE)
    add_executable(${_name} ${_f})
    target_link_libraries(${_name} kitpack_logic)
    target_link_options(${_name} PRIVATE -fsanitize=fuzzer)
  endforeach()
  return()
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/bench/native.cmake)
  include(${CMAKE_SOURCE_DIR}/bench/native.cmake)
endif()

find_package(GTest REQUIRED)

# Includes that cross from one subsystem folder into another must be named.
add_test(NAME native.IncludeCrossings
  COMMAND python3 ${CMAKE_SOURCE_DIR}/tools/check-includes ${CMAKE_SOURCE_DIR}/src
          ${CMAKE_SOURCE_DIR}/src/include-crossings.txt)

foreach(_dir ${KITPACK_TEST_DIRS})
  get_filename_component(_name ${_dir} NAME)
  file(GLOB _tests CONFIGURE_DEPENDS ${_dir}/*_test.cpp)
  if(_tests)
    add_executable(test_${_name} ${_tests})
    target_link_libraries(test_${_name} kitpack_logic GTest::gtest_main)
    target_include_directories(test_${_name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_compile_definitions(test_${_name} PRIVATE
      KITPACK_SOURCE_DIR="${CMAKE_SOURCE_DIR}" KITPACK_BINARY_DIR="${CMAKE_BINARY_DIR}")
    gtest_discover_tests(test_${_name} DISCOVERY_MODE PRE_TEST TEST_PREFIX "native.")
  endif()
  if(EXISTS ${_dir}/native.cmake)
    include(${_dir}/native.cmake)
  endif()
endforeach()
