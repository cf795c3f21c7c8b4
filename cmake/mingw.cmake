# Cross toolchain for mingw-w64. Pick the architecture with -DMINGW_ARCH=x86_64|i686
# and the thread model with -DMINGW_VARIANT=win32|posix: the shipped stubs use the
# default win32 variant (smaller), test programs the posix one (GoogleTest needs
# std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
if(NOT MINGW_ARCH)
  set(MINGW_ARCH x86_64)
endif()
if(NOT MINGW_VARIANT)
  set(MINGW_VARIANT win32)
endif()
set(CMAKE_SYSTEM_PROCESSOR ${MINGW_ARCH})
set(_triple ${MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER   ${_triple}-gcc-${MINGW_VARIANT})
set(CMAKE_CXX_COMPILER ${_triple}-g++-${MINGW_VARIANT})
set(CMAKE_RC_COMPILER  ${_triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
