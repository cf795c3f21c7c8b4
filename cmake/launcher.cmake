# The command launchers that the packer puts in a wheel's Scripts folder: a
# console and a GUI kind for each processor. A package brings one per command,
# so they are built for size without the C runtime: their own entry, kernel32
# (and user32 for the GUI kind's message box) and nothing else.
set(_launcher_dir ${CMAKE_SOURCE_DIR}/src/launcher)
set(_launcher_cflags -Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    -fno-threadsafe-statics -ffunction-sections -Wall -Wextra
    # The launcher's own memset and memcpy must not become calls to themselves.
    -fno-tree-loop-distribute-patterns)
set(_launcher_lflags -nostdlib -nostartfiles -s -Wl,--gc-sections)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  list(APPEND _launcher_cflags -mpreferred-stack-boundary=2)
  list(APPEND _launcher_lflags -e _launcher_entry)
  set(_launcher_suffix "")
else()
  list(APPEND _launcher_lflags -e launcher_entry)
  set(_launcher_suffix "-x64")
endif()

# kitpack_launcher(console|gui): dist name launcher-KIND[-x64].exe.
function(kitpack_launcher kind)
  set(target launcher-${kind}${_launcher_suffix})
  add_executable(${target} ${_launcher_dir}/launcher_win.cpp ${_launcher_dir}/command_line.cpp)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(${target} PRIVATE ${_launcher_cflags})
  if(kind STREQUAL "gui")
    target_compile_definitions(${target} PRIVATE LAUNCHER_GUI)
    target_link_options(${target} PRIVATE ${_launcher_lflags} -Wl,--subsystem,windows)
    target_link_libraries(${target} PRIVATE user32 kernel32 gcc)
  else()
    target_link_options(${target} PRIVATE ${_launcher_lflags} -Wl,--subsystem,console)
    target_link_libraries(${target} PRIVATE kernel32 gcc)
  endif()
  set_target_properties(${target} PROPERTIES LINKER_LANGUAGE CXX)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_SOURCE_DIR}/tools/check-imports $<TARGET_FILE:${target}> VERBATIM)
endfunction()

kitpack_launcher(console)
kitpack_launcher(gui)
