# GoogleTest from the sources that Debian's googletest package installs.
set(DRUX_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)

function(drux_enable_gtest)
  if(NOT TARGET gtest)
    add_subdirectory(${DRUX_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/gtest EXCLUDE_FROM_ALL)
    # GoogleTest's own sources are not ours to keep warning-free.
    target_compile_options(gtest PRIVATE -w)
    target_compile_options(gtest_main PRIVATE -w)
  endif()
endfunction()

# drux_add_test(<name> SOURCES ... LIBS ... [GUI])
# One console test program, one CTest entry; CTest runs it through the emulator (wine).
function(drux_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  drux_enable_gtest()
  add_executable(${name} ${T_SOURCES})
  # Every test program has the shared test support (tests/support) at hand.
  target_link_libraries(${name} PRIVATE ${T_LIBS} drux_test_support gtest gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()
