# The harness's decision for this build (tests/harness/decide.sh writes harness.env into the build
# tree before make configures it) as HARNESS_<KEY> variables; nothing here decides anything.
# Included by the toolchain files, for the loader that CTest runs the programs with, and by the
# project, for where the drivers of the end-to-end checks come from. A tree that no decision
# reached (a build on Windows, a plain `make`) keeps the toolchain file's own loader and drives
# its own programs.
set(harness_env ${CMAKE_BINARY_DIR}/harness.env)
if(EXISTS ${harness_env})
  file(STRINGS ${harness_env} harness_lines REGEX "^[A-Z_0-9]+=")
  foreach(line ${harness_lines})
    string(REGEX MATCH "^([A-Z_0-9]+)=(.*)$" line "${line}")
    set(HARNESS_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
  endforeach()
endif()
