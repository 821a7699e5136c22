# Cross toolchain: 32-bit Windows with MinGW-w64, posix thread model (GoogleTest needs std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Every Windows program of the build runs under Wine on Linux (tests, tools, benchmarks), with
# Wine's 32-bit loader; where the kernel refuses 32-bit programs, the harness's decision names the
# same loader run under qemu in the build tree instead.
if(CMAKE_HOST_UNIX)
  include(${CMAKE_CURRENT_LIST_DIR}/Harness.cmake)
  if(HARNESS_DRUX_WINE)
    set(DRUX_WINE_LOADER ${HARNESS_DRUX_WINE})
  else()
    set(DRUX_WINE_LOADER /usr/lib/wine/wine)
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${DRUX_WINE_LOADER})
endif()
