# The shipped stubs. Every installer carries one and every installation copies
# it, so it is built for size: -Os, no exceptions or RTTI, section GC, stripped.
# No -fdata-sections: with it this compiler puts zero-initialised globals into
# .data$name sections, which take file bytes (the settings buffers alone 13 KiB).
set(_stub_cflags -Os -flto -ffunction-sections -fno-exceptions -fno-rtti
    -fno-asynchronous-unwind-tables -fno-threadsafe-statics -Wall -Wextra)
# The stub starts at its own entry (startup/entry_stub.cpp) instead of the
# compiler's start-up objects. Auto-import is off, so a data import that would
# need their run-time patching fails the link. One link-time partition: split
# in two, this compiler stops with an internal error (binds_to_current_def_p)
# in the library's string templates (sort, copy) that reading .dist-info
# folders instantiates.
set(_stub_lflags -Os -flto -flto-partition=one -s -mwindows -static -static-libgcc -static-libstdc++ -nostartfiles
    -Wl,--gc-sections -Wl,--enable-stdcall-fixup -Wl,--disable-auto-import)
# ld 2.40 crashes linking these LTO objects without start-up objects unless the
# runtime's TLS callback is kept (i686 names C symbols with one more underscore).
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  list(APPEND _stub_lflags -Wl,-u,___mingw_TLScallback)
  # 32-bit Windows promises 4-byte stack alignment and the stub has no SSE
  # data, so keeping 16 bytes only costs code.
  list(APPEND _stub_cflags -mpreferred-stack-boundary=2)
  list(APPEND _stub_lflags -mpreferred-stack-boundary=2)
else()
  list(APPEND _stub_lflags -Wl,-u,__mingw_TLScallback)
endif()
# The linker names the entry, which link-time optimisation cannot see.
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/startup/entry_stub.cpp PROPERTIES COMPILE_OPTIONS -fno-lto)

include(${CMAKE_CURRENT_LIST_DIR}/zlib_source.cmake)
kitpack_zlib_library(kitpack_zlib)
include(${CMAKE_SOURCE_DIR}/cmake/msvcr71.cmake)

# Builds one stub; RUNTIME is msvcrt or msvcr71.
function(kitpack_stub target runtime)
  add_executable(${target} WIN32
    ${KITPACK_LOGIC_SOURCES} ${KITPACK_SHELL_SOURCES} ${KITPACK_MAIN_SOURCE} ${KITPACK_RC_SOURCES})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX,C>:${_stub_cflags}>)
  target_link_options(${target} PRIVATE ${_stub_lflags} -Wl,-Map,${CMAKE_BINARY_DIR}/${target}.map)
  target_link_libraries(${target} PRIVATE kitpack_zlib ${KITPACK_WIN_LIBS})
  # A stub that imports another runtime than its name promises must not ship.
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_SOURCE_DIR}/tools/check-imports $<TARGET_FILE:${target}> VERBATIM)
  if(runtime STREQUAL "msvcr71")
    kitpack_link_msvcr71(${target})
  endif()
endfunction()

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  kitpack_stub(stub-msvcrt msvcrt)
  kitpack_stub(stub-msvcr71 msvcr71)
else()
  kitpack_stub(stub-msvcrt-x64 msvcrt)
endif()

include(${CMAKE_SOURCE_DIR}/cmake/launcher.cmake)
