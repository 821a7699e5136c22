# The same sources built for 64-bit Windows. Used to run the tests on machines whose kernel cannot
# execute 32-bit Linux programs (and so cannot run Wine's 32-bit loader); the product is i686.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Wine's 64-bit loader by its full path: /usr/bin/wine would pick the 32-bit loader whenever it
# is installed, even where the kernel cannot run it.
if(CMAKE_HOST_UNIX)
  include(${CMAKE_CURRENT_LIST_DIR}/Harness.cmake)
  if(HARNESS_DRUX_WINE)
    set(DRUX_WINE_LOADER ${HARNESS_DRUX_WINE})
  else()
    set(DRUX_WINE_LOADER /usr/lib/wine/wine64)
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${DRUX_WINE_LOADER})
endif()
