# The default data set: ${CMAKE_BINARY_DIR}/data/Constants.out, made in every ALL build with the
# 32-bit MinGW-w64 cross compiler, which computes every value itself (ConstantsCompile.cmake),
# from the headers that DefaultDataSet.h and its groups (DefaultDataSet*.h) include; beside it
# Constants-x64.out, the same headers' values as the 64-bit compiler computes them. Their helper
# constprobe is built for the build machine. Included from constgen/CMakeLists.txt in the cross build.
#
# Tests find the files through the global properties DRUX_CONSTANTS_FILE and
# DRUX_CONSTANTS_X64_FILE and depend on the target constants_data; DRUX_CONSTANTS_GENERATED is 0
# when the build copies the checked-in sample.

include(ExternalProject)


# The cross toolchain files set CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER, so these find programs
# of the build machine.
find_program(DRUX_HOST_CXX NAMES c++ g++ clang++ DOC "C++ compiler for build-time tools")
find_program(DRUX_DATA_CC NAMES i686-w64-mingw32-gcc-posix i686-w64-mingw32-gcc
             DOC "Compiler of the 32-bit target that computes the default data set")
find_program(DRUX_DATA_CC64 NAMES x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-gcc
             DOC "Compiler of the 64-bit target that computes Constants-x64.out")

# Where that compiler's MinGW-w64 headers are: constgen's own test reads them too.
set(DRUX_MINGW_INCLUDE /usr/share/mingw-w64/include CACHE PATH
    "MinGW-w64 headers of the compiler that computes the default data set")
set_property(GLOBAL PROPERTY DRUX_MINGW_INCLUDE ${DRUX_MINGW_INCLUDE})

set(DRUX_CONSTANTS_FILE ${CMAKE_BINARY_DIR}/data/Constants.out)
set(DRUX_CONSTANTS_X64_FILE ${CMAKE_BINARY_DIR}/data/Constants-x64.out)
set(DRUX_DATA_SET_HEADER ${CMAKE_CURRENT_LIST_DIR}/DefaultDataSet.h)
# The groups, the one windows.h programs get first: its values win over the others'. Next the
# driver kit's first group, whose values the driver kit's names keep; then the hand-made groups
# and the others that DataSetGroups.sh made (DefaultDataSetGroups.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/DefaultDataSetGroups.cmake)
set(DRUX_DATA_SET_GROUPS ${DRUX_DATA_SET_HEADER})
set(hand_made DefaultDataSetWinHttp.h DefaultDataSetMedia.h DefaultDataSetD3D8.h)
foreach(group DefaultDataSetDdk1.h ${hand_made} ${DRUX_DATA_SET_MADE_GROUPS})
  if(NOT group STREQUAL "DefaultDataSetDdk1.h" OR group IN_LIST DRUX_DATA_SET_MADE_GROUPS)
    list(APPEND DRUX_DATA_SET_GROUPS ${CMAKE_CURRENT_LIST_DIR}/${group})
  endif()
endforeach()
list(REMOVE_DUPLICATES DRUX_DATA_SET_GROUPS)
set(DRUX_DATA_SET_LISTED ${CMAKE_CURRENT_LIST_DIR}/DefaultDataSetHeaders.txt)
set_property(GLOBAL PROPERTY DRUX_CONSTANTS_FILE ${DRUX_CONSTANTS_FILE})
set_property(GLOBAL PROPERTY DRUX_CONSTANTS_X64_FILE ${DRUX_CONSTANTS_X64_FILE})
set_property(GLOBAL PROPERTY DRUX_DATA_SET_HEADER ${DRUX_DATA_SET_HEADER})
set_property(GLOBAL PROPERTY DRUX_DATA_SET_GROUPS "${DRUX_DATA_SET_GROUPS}")
# All the groups in one header, for constgen's accuracy test (no compiler reads it).
set_property(GLOBAL PROPERTY DRUX_DATA_SET_ALL_HEADER ${CMAKE_CURRENT_LIST_DIR}/DefaultDataSetAll.h)
set_property(GLOBAL PROPERTY DRUX_DATA_CC "${DRUX_DATA_CC}")
set_property(GLOBAL PROPERTY DRUX_DATA_CC64 "${DRUX_DATA_CC64}")
set_property(GLOBAL PROPERTY DRUX_CONSTANTS_GENERATED 0)

# A build that stands in for the product on this machine (build-x64, see the Makefile) takes the
# product build's data set, the probe's records of it and its build-machine tools instead of
# computing them again: each data file is computed once per machine, constgen's host build made
# once. The checks of the data set (labelled host) are then the product build's alone.
set(DRUX_DATA_FROM "" CACHE PATH "A product build whose data set this build takes (empty: compute it)")
set_property(GLOBAL PROPERTY DRUX_DATA_TAKEN 0)
set_property(GLOBAL PROPERTY DRUX_DATA_DIR ${CMAKE_BINARY_DIR}/data)
if(DRUX_DATA_FROM)
  foreach(name Constants.out Constants-x64.out)
    if(NOT EXISTS ${DRUX_DATA_FROM}/data/${name})
      message(FATAL_ERROR "DRUX_DATA_FROM: ${DRUX_DATA_FROM}/data/${name} is missing; build "
                          "${DRUX_DATA_FROM} first (make build-x64 does)")
    endif()
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/data/${name}
      COMMAND ${CMAKE_COMMAND} -E copy ${DRUX_DATA_FROM}/data/${name} ${CMAKE_BINARY_DIR}/data/${name}
      DEPENDS ${DRUX_DATA_FROM}/data/${name}
      COMMENT "Taking data/${name} from ${DRUX_DATA_FROM}"
      VERBATIM)
  endforeach()
  load_cache(${DRUX_DATA_FROM} READ_WITH_PREFIX from_ DRUX_HOST_CXX DRUX_DATA_CC DRUX_DATA_CC64
             DRUX_MINGW_INCLUDE)
  set(generated 0)
  if(from_DRUX_HOST_CXX AND from_DRUX_DATA_CC)
    set(generated 1)
  endif()
  set_property(GLOBAL PROPERTY DRUX_DATA_TAKEN 1)
  set_property(GLOBAL PROPERTY DRUX_DATA_DIR ${DRUX_DATA_FROM}/data)
  set_property(GLOBAL PROPERTY DRUX_CONSTANTS_GENERATED ${generated})
  set_property(GLOBAL PROPERTY DRUX_MINGW_INCLUDE ${from_DRUX_MINGW_INCLUDE})
  add_custom_target(constants_data ALL DEPENDS ${DRUX_CONSTANTS_FILE} ${DRUX_CONSTANTS_X64_FILE})
  return()
endif()

# file name, compiler, sample, "ON" for a 64-bit target
set(data_sets "Constants.out|${DRUX_DATA_CC}|${CMAKE_SOURCE_DIR}/data/Constants.out|OFF"
              "Constants-x64.out|${DRUX_DATA_CC64}|${CMAKE_SOURCE_DIR}/data/Constants-x64.out|ON")
string(REPLACE ";" "|" groups_argument "${DRUX_DATA_SET_GROUPS}")

if(DRUX_HOST_CXX AND DRUX_DATA_CC)
  set_property(GLOBAL PROPERTY DRUX_CONSTANTS_GENERATED 1)
  set(host_dir ${CMAKE_BINARY_DIR}/constgen-host)
  set(host_probe ${host_dir}/constprobe${CMAKE_HOST_EXECUTABLE_SUFFIX})
  set_property(GLOBAL PROPERTY DRUX_CONSTPROBE ${host_probe})
  ExternalProject_Add(constgen_host
    SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/..
    BINARY_DIR ${host_dir}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=${DRUX_HOST_CXX}
    INSTALL_COMMAND ""
    # Rebuilt (a no-op when nothing changed) on every build, so source edits reach the data.
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${host_probe} ${host_dir}/constgen${CMAKE_HOST_EXECUTABLE_SUFFIX})

  foreach(data_set ${data_sets})
    string(REPLACE "|" ";" fields "${data_set}")
    list(GET fields 0 name)
    list(GET fields 1 cc)
    list(GET fields 2 sample)
    list(GET fields 3 wide)
    set(output ${CMAKE_BINARY_DIR}/data/${name})
    if(NOT cc)
      message(WARNING "No compiler for data/${name}: it is the checked-in sample")
      add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E copy ${sample} ${output}
        DEPENDS ${sample}
        VERBATIM)
      continue()
    endif()
    add_custom_command(OUTPUT ${output}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/data
      COMMAND ${CMAKE_COMMAND} -DCC=${cc} -DPROBE=${host_probe} -DHEADER=${groups_argument}
              -DWORK=${CMAKE_BINARY_DIR}/data/probe-${name} -DOUTPUT=${output}
              -DSAMPLE=${sample} -DWIDE=${wide} -DLISTED=${DRUX_DATA_SET_LISTED}
              -P ${CMAKE_CURRENT_LIST_DIR}/ConstantsCompile.cmake
      DEPENDS constgen_host ${host_probe} ${DRUX_DATA_SET_GROUPS} ${DRUX_DATA_SET_LISTED}
              ${CMAKE_CURRENT_LIST_DIR}/ConstantsCompile.cmake
              ${CMAKE_CURRENT_LIST_DIR}/DataSetGroup.cmake ${sample}
      COMMENT "Computing data/${name} with ${cc}"
      VERBATIM)
    # What the toolchain's headers give against what the data set holds (not part of the build:
    # it asks the compiler for every name of every group, several times the data set's work).
    if(name STREQUAL "Constants.out")
      set(every ${CMAKE_BINARY_DIR}/data/coverage/Every.out)
      add_custom_target(data_set_coverage
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/data/coverage
        COMMAND ${CMAKE_COMMAND} -DCC=${cc} -DPROBE=${host_probe} -DHEADER=${groups_argument}
                -DWORK=${CMAKE_BINARY_DIR}/data/coverage/probe -DOUTPUT=${every}
                -DSAMPLE=${sample} -DWIDE=${wide} -DEVERY=ON
                -P ${CMAKE_CURRENT_LIST_DIR}/ConstantsCompile.cmake
        COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/DataSetCoverage.sh ${every} ${output}
                ${CMAKE_BINARY_DIR}/data/coverage/probe
        DEPENDS ${output}
        COMMENT "Measuring data/${name} against every name the groups' headers give"
        VERBATIM)
    endif()
  endforeach()
else()
  message(WARNING "No host C++ compiler or no i686-w64-mingw32-gcc: "
                  "data/Constants.out and data/Constants-x64.out are the checked-in samples")
  foreach(name Constants.out Constants-x64.out)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/data/${name}
      COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/data/${name}
              ${CMAKE_BINARY_DIR}/data/${name}
      DEPENDS ${CMAKE_SOURCE_DIR}/data/${name}
      VERBATIM)
  endforeach()
endif()

add_custom_target(constants_data ALL DEPENDS ${DRUX_CONSTANTS_FILE} ${DRUX_CONSTANTS_X64_FILE})
