# GoogleTest from the sources that Debian's googletest package installs.
set(DRUX_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
include(${CMAKE_CURRENT_LIST_DIR}/Harness.cmake)
# A new decision (tests/harness/decide.sh rewrites the file only when it changes) configures again.
if(EXISTS ${CMAKE_BINARY_DIR}/harness.env)
  set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                                                             ${CMAKE_BINARY_DIR}/harness.env)
endif()

# Test code (the test programs, their support, the driver, GoogleTest) is compiled with -O1: at
# -O3 it took half again as long to compile (a large test file 7.1 s against 4.4 s) and it is
# compiled for both builds in every `make test`. The code under test keeps the build's own flags:
# the test programs link the same libraries DRUX.exe is made of.
function(drux_test_code target)
  target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-O1>)
endfunction()

# The headers nearly every test source includes (windows.h, GoogleTest) take most of the time of
# compiling one: the test support compiles them once, and every test program takes its
# precompiled form. A source that defines a macro these headers read before it includes them
# (OEMRESOURCE) needs them read after its own lines: its target sets DISABLE_PRECOMPILE_HEADERS.
function(drux_test_headers target)
  if(target STREQUAL "drux_test_support")
    target_precompile_headers(${target} PRIVATE <windows.h> <commctrl.h> <gtest/gtest.h> <string>
                                                <vector>)
  else()
    target_precompile_headers(${target} REUSE_FROM drux_test_support)
  endif()
endfunction()

function(drux_enable_gtest)
  if(NOT TARGET gtest)
    add_subdirectory(${DRUX_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/gtest EXCLUDE_FROM_ALL)
    # GoogleTest's own sources are not ours to keep warning-free.
    target_compile_options(gtest PRIVATE -w)
    target_compile_options(gtest_main PRIVATE -w)
    drux_test_code(gtest)
    drux_test_code(gtest_main)
  endif()
endfunction()

# What runs where is declared with each CTest entry, by its labels (tests/harness/test.sh selects
# by them):
#   windows  a Windows program run by this build's loader: natively, or emulated where the harness
#            decided that the product's 32-bit loader runs under qemu
#   driven   DRUX.exe of this build driven from outside; where the loader is emulated the driver
#            is the stand-in build's program of the same name, run natively (drux_driver_program)
#   host     a program of the build machine (no Windows code): run once, from the product build,
#            never emulated
# drux_add_test gives windows (and driven) by itself, so a new test program runs in every tier.
#
# Which entries may run at the same time is declared with each too: an entry that uses the Wine
# world's desktop (windows, focus, the pointer, the keyboard, the clipboard) holds the resource
# lock `desktop` (DRUX_DESKTOP_LOCK), so two such entries never overlap; one that opens no window,
# or brings a display and prefix of its own, does not, and CTest (test.sh runs the suites with
# -j2) runs it beside them. drux_add_test holds the lock unless told WINDOWLESS.
set(DRUX_DESKTOP_LOCK RESOURCE_LOCK desktop)

# The command that runs this build's driver program <target> (a path under this directory's
# binary folder): the program itself, or, where the harness names another build for the drivers
# (emulated 32-bit loaders cannot carry a multi-threaded driver), that build's program of the same
# name with that build's loader.
function(drux_driver_program out target)
  if(HARNESS_DRUX_DRIVER_BUILD AND NOT HARNESS_DRUX_DRIVER_BUILD STREQUAL CMAKE_BINARY_DIR)
    file(RELATIVE_PATH folder ${CMAKE_BINARY_DIR} ${CMAKE_CURRENT_BINARY_DIR})
    set(${out} ${HARNESS_DRUX_DRIVER_BUILD}/${folder}/${target}.exe PARENT_SCOPE)
  else()
    set(${out} $<TARGET_FILE:${target}> PARENT_SCOPE)
  endif()
endfunction()

# drux_add_test(<name> SOURCES ... LIBS ... [TIMEOUT s] [DRIVEN] [WINDOWLESS])
# One console test program, one CTest entry; CTest runs it through the emulator (Wine's loader).
# DRIVEN: the program drives DRUX.exe from outside (named by DRUX_EXE in its environment).
# WINDOWLESS: the program opens no window and reads no input; it may run beside the others.
function(drux_add_test name)
  cmake_parse_arguments(T "DRIVEN;WINDOWLESS" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  drux_enable_gtest()
  add_executable(${name} ${T_SOURCES})
  # One translation unit per test program: every test source pays about 2.5 s just to load the
  # precompiled headers (windows.h and GoogleTest make a 118 MB file), more than most of them take
  # to compile; compiled as one, the x86-64 build's compiling went from about 240 to 195 s of CPU.
  # Names local to one test source must therefore differ across its program.
  set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 0)
  drux_test_code(${name})
  drux_test_headers(${name})
  # Every test program has the shared test support (tests/support) at hand.
  target_link_libraries(${name} PRIVATE ${T_LIBS} drux_test_support gtest gtest_main)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(T_DRIVEN)
    drux_driver_program(program ${name})
    if(program STREQUAL "$<TARGET_FILE:${name}>")
      add_test(NAME ${name} COMMAND ${name})
    else()
      add_test(NAME ${name} COMMAND ${HARNESS_DRUX_DRIVER_WINE} ${program})
    endif()
    set_tests_properties(${name} PROPERTIES LABELS "windows;driven" TIMEOUT ${T_TIMEOUT}
                                            ENVIRONMENT "DRUX_EXE=$<TARGET_FILE:DRUX>")
  else()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS windows TIMEOUT ${T_TIMEOUT})
  endif()
  if(NOT T_WINDOWLESS)
    set_tests_properties(${name} PROPERTIES ${DRUX_DESKTOP_LOCK})
  endif()
endfunction()
