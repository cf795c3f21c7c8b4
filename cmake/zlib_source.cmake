# zlib's inflate and crc32, built from Debian's source package, which
# tools/fetch-zlib-source fetches once into the build tree (build/zlib-source).
# Debian's static libz.a is built without function sections, so a program
# linking it keeps most of zlib; this build lets the linker keep only what raw
# inflate and crc32 reach. Its tables are made at run time instead of being
# stored (BUILDFIXED, DYNAMIC_CRC_TABLE: the program has one thread), and the
# gzip wrapper is left out. No -fdata-sections: it would move the zero-filled
# tables into file bytes.
#   kitpack_zlib_library(TARGET [more zlib sources...])
if(NOT KITPACK_ZLIB_SOURCE)
  get_filename_component(KITPACK_ZLIB_SOURCE ${CMAKE_BINARY_DIR}/../zlib-source ABSOLUTE)
endif()
execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/../tools/fetch-zlib-source ${KITPACK_ZLIB_SOURCE}
  RESULT_VARIABLE _zlib_fetched)
if(NOT _zlib_fetched EQUAL 0)
  message(FATAL_ERROR "could not fetch zlib's source package into ${KITPACK_ZLIB_SOURCE}")
endif()
set(KITPACK_ZLIB_DIR ${KITPACK_ZLIB_SOURCE}/zlib)

function(kitpack_zlib_library target)
  set(_z ${KITPACK_ZLIB_DIR})
  set(_more ${ARGN})
  list(TRANSFORM _more PREPEND ${_z}/)
  add_library(${target} STATIC EXCLUDE_FROM_ALL ${_z}/inflate.c ${_z}/inftrees.c ${_z}/inffast.c
    ${_z}/crc32.c ${_z}/zutil.c ${_z}/adler32.c ${_more})
  # These options, and none of the directory's (a native build's sanitizers).
  set_target_properties(${target} PROPERTIES COMPILE_OPTIONS
    "-Os;-ffunction-sections;-fno-asynchronous-unwind-tables;-fno-unwind-tables")
  target_compile_definitions(${target} PRIVATE NO_GZIP DYNAMIC_CRC_TABLE BUILDFIXED)
  # Its zlib.h comes before any system one for whoever links it.
  target_include_directories(${target} BEFORE PUBLIC ${_z})
endfunction()
