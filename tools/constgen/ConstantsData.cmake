# The default data set: ${CMAKE_BINARY_DIR}/data/Constants.out, made in every ALL build with the
# 32-bit MinGW-w64 cross compiler, which computes every value itself (ConstantsCompile.cmake),
# from the headers that DefaultDataSet.h includes. Its helper constprobe is built for the build
# machine. Included from tools/CMakeLists.txt in the cross build.
#
# Tests find the file through the global property DRUX_CONSTANTS_FILE and depend on the target
# constants_data; DRUX_CONSTANTS_GENERATED is 0 when the build copies the checked-in sample.

include(ExternalProject)

# The cross toolchain files set CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER, so these find programs
# of the build machine.
find_program(DRUX_HOST_CXX NAMES c++ g++ clang++ DOC "C++ compiler for build-time tools")
find_program(DRUX_DATA_CC NAMES i686-w64-mingw32-gcc-posix i686-w64-mingw32-gcc
             DOC "Compiler of the 32-bit target that computes the default data set")

# Where that compiler's MinGW-w64 headers are: constgen's own test reads them too.
set(DRUX_MINGW_INCLUDE /usr/share/mingw-w64/include CACHE PATH
    "MinGW-w64 headers of the compiler that computes the default data set")
set_property(GLOBAL PROPERTY DRUX_MINGW_INCLUDE ${DRUX_MINGW_INCLUDE})

set(DRUX_CONSTANTS_FILE ${CMAKE_BINARY_DIR}/data/Constants.out)
set(DRUX_DATA_SET_HEADER ${CMAKE_CURRENT_LIST_DIR}/DefaultDataSet.h)
set_property(GLOBAL PROPERTY DRUX_CONSTANTS_FILE ${DRUX_CONSTANTS_FILE})
set_property(GLOBAL PROPERTY DRUX_DATA_SET_HEADER ${DRUX_DATA_SET_HEADER})
set_property(GLOBAL PROPERTY DRUX_DATA_CC "${DRUX_DATA_CC}")
set_property(GLOBAL PROPERTY DRUX_CONSTANTS_GENERATED 0)

if(DRUX_HOST_CXX AND DRUX_DATA_CC)
  set_property(GLOBAL PROPERTY DRUX_CONSTANTS_GENERATED 1)
  set(host_dir ${CMAKE_BINARY_DIR}/constgen-host)
  set(host_probe ${host_dir}/constprobe${CMAKE_HOST_EXECUTABLE_SUFFIX})
  set_property(GLOBAL PROPERTY DRUX_CONSTPROBE ${host_probe})
  ExternalProject_Add(constgen_host
    SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}
    BINARY_DIR ${host_dir}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=${DRUX_HOST_CXX}
    INSTALL_COMMAND ""
    # Rebuilt (a no-op when nothing changed) on every build, so source edits reach the data.
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${host_probe} ${host_dir}/constgen${CMAKE_HOST_EXECUTABLE_SUFFIX})

  add_custom_command(OUTPUT ${DRUX_CONSTANTS_FILE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/data
    COMMAND ${CMAKE_COMMAND} -DCC=${DRUX_DATA_CC} -DPROBE=${host_probe}
            -DHEADER=${DRUX_DATA_SET_HEADER} -DWORK=${CMAKE_BINARY_DIR}/data/probe
            -DOUTPUT=${DRUX_CONSTANTS_FILE} -DSAMPLE=${CMAKE_SOURCE_DIR}/data/Constants.out
            -P ${CMAKE_CURRENT_LIST_DIR}/ConstantsCompile.cmake
    DEPENDS constgen_host ${host_probe} ${DRUX_DATA_SET_HEADER}
            ${CMAKE_CURRENT_LIST_DIR}/ConstantsCompile.cmake ${CMAKE_SOURCE_DIR}/data/Constants.out
    COMMENT "Computing data/Constants.out with ${DRUX_DATA_CC}"
    VERBATIM)
else()
  message(WARNING "No host C++ compiler or no i686-w64-mingw32-gcc: "
                  "data/Constants.out is the checked-in sample")
  add_custom_command(OUTPUT ${DRUX_CONSTANTS_FILE}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/data/Constants.out ${DRUX_CONSTANTS_FILE}
    DEPENDS ${CMAKE_SOURCE_DIR}/data/Constants.out
    VERBATIM)
endif()

add_custom_target(constants_data ALL DEPENDS ${DRUX_CONSTANTS_FILE})
