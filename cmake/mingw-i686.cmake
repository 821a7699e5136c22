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
# Every Windows program of the build runs under Wine on Linux (tests, tools, benchmarks). The
# loader is named here only: CTest runs the programs with it and tests/harness/wine-env.sh reads it from
# the cache.
if(CMAKE_HOST_UNIX)
  set(DRUX_WINE_LOADER wine CACHE STRING "The Wine loader that runs this build's programs")
  set(CMAKE_CROSSCOMPILING_EMULATOR ${DRUX_WINE_LOADER})
endif()
