# The default data set: ${CMAKE_BINARY_DIR}/data/Constants.out, made in every ALL build by
# constgen built for the build machine (a cross-built constgen.exe would need Wine to run) from
# the MinGW-w64 headers of the toolchain. Included from tools/CMakeLists.txt in the cross build.
#
# Tests find the file through the global property DRUX_CONSTANTS_FILE and depend on the target
# constants_data.

include(ExternalProject)

set(DRUX_MINGW_INCLUDE /usr/share/mingw-w64/include CACHE PATH
    "MinGW-w64 headers the default Constants.out is generated from")
# The cross toolchain files set CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER, so this finds the
# build machine's compiler, not the MinGW one.
find_program(DRUX_HOST_CXX NAMES c++ g++ clang++ DOC "C++ compiler for build-time tools")

set(DRUX_CONSTANTS_FILE ${CMAKE_BINARY_DIR}/data/Constants.out)
set_property(GLOBAL PROPERTY DRUX_CONSTANTS_FILE ${DRUX_CONSTANTS_FILE})
set_property(GLOBAL PROPERTY DRUX_CONSTANTS_GENERATED 0)

# The helpers first (their macros are needed to expand the others: __MSABI_LONG,
# __MINGW_NAME_AW), then the windows.h family and the headers of the common Win32 areas.
set(DRUX_CONSTANTS_HEADERS
    _mingw_mac.h _mingw_unicode.h
    minwindef.h windef.h winnt.h minwinbase.h winbase.h handleapi.h fileapi.h
    processthreadsapi.h synchapi.h winerror.h wingdi.h winuser.h commctrl.h winnls.h wincon.h
    winreg.h winver.h reason.h shellapi.h shlobj.h commdlg.h cderr.h dlgs.h mmsystem.h
    richedit.h winsvc.h tlhelp32.h winsock2.h ws2def.h imm.h dde.h ddeml.h winspool.h
    uxtheme.h dwmapi.h
    CACHE STRING "Headers (in the MinGW-w64 include directory) the default Constants.out is made of")

# The product's target decides the conditionals that differ by target: ANSI not Unicode, 32-bit
# x86. Every other conditional is read in all its branches (first definition wins).
set(DRUX_CONSTANTS_PINS
    -U UNICODE -U _UNICODE -U RC_INVOKED -U __WIDL__
    -D _WIN32 -D WIN32 -D _X86_ -D __i386__
    -U _WIN64 -U _AMD64_ -U __x86_64 -U __x86_64__ -U __LP64__
    -U _ARM_ -U __arm__ -U _ARM64_ -U __aarch64__ -U _IA64_ -U __ia64__)

set(constants_headers)
set(constants_paths)
foreach(header ${DRUX_CONSTANTS_HEADERS})
  if(EXISTS ${DRUX_MINGW_INCLUDE}/${header})
    list(APPEND constants_headers ${header})
    list(APPEND constants_paths ${DRUX_MINGW_INCLUDE}/${header})
  else()
    message(STATUS "constgen: ${header} not in ${DRUX_MINGW_INCLUDE}, left out")
  endif()
endforeach()

if(DRUX_HOST_CXX AND constants_headers)
  set_property(GLOBAL PROPERTY DRUX_CONSTANTS_GENERATED 1)
  set(host_dir ${CMAKE_BINARY_DIR}/constgen-host)
  set(host_constgen ${host_dir}/constgen${CMAKE_HOST_EXECUTABLE_SUFFIX})
  ExternalProject_Add(constgen_host
    SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}
    BINARY_DIR ${host_dir}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=${DRUX_HOST_CXX}
    INSTALL_COMMAND ""
    # Rebuilt (a no-op when nothing changed) on every build, so source edits reach the data.
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${host_constgen})

  add_custom_command(OUTPUT ${DRUX_CONSTANTS_FILE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/data
    COMMAND ${host_constgen} -I ${DRUX_MINGW_INCLUDE} ${DRUX_CONSTANTS_PINS} --exclude "__*"
            -o ${DRUX_CONSTANTS_FILE} ${constants_headers}
    DEPENDS constgen_host ${host_constgen} ${constants_paths}
    COMMENT "Generating data/Constants.out from the MinGW-w64 headers"
    VERBATIM)
else()
  message(WARNING "constgen: no host C++ compiler or no MinGW-w64 headers; "
                  "data/Constants.out is the checked-in sample")
  add_custom_command(OUTPUT ${DRUX_CONSTANTS_FILE}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/data/Constants.out ${DRUX_CONSTANTS_FILE}
    DEPENDS ${CMAKE_SOURCE_DIR}/data/Constants.out
    VERBATIM)
endif()

add_custom_target(constants_data ALL DEPENDS ${DRUX_CONSTANTS_FILE})
