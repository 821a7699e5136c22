# The default data set's build step when it cannot finish (cmake -P): a header missing from the
# toolchain, or a helper that fails, leaves exactly the sample in the output, with a message that
# says why; a stale or partial output never survives. A later group that fails is left out with
# its reason and the rest is built; a generated group loses only the header that is missing. Variables: CC, PROBE, COMPILE (the build step's script),
# SAMPLE, WORK.

file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/missing.h "#include <windows.h>\n#include <no_such_header_here.h>\n")
file(WRITE ${WORK}/fine.h "#include <windows.h>\n")
# A group that DataSetGroups.sh made loses only the header the toolchain lacks.
file(WRITE ${WORK}/made.h "/* Made by DataSetGroups.sh */\n#include <windows.h>\n"
                          "#include <no_such_header_here.h>\n#include <shellapi.h>\n")
file(READ ${SAMPLE} sample)

# case: groups' headers (first group first, "+" between), probe helper, text the message must
# hold, whether the output is the sample ("fallback") or built
set(cases
  "missing.h|${PROBE}|the header no_such_header_here.h is missing from the toolchain|fallback"
  "fine.h|${CMAKE_COMMAND} -E false|no probe of the names|fallback"
  "fine.h+missing.h|${PROBE}|the group of missing.h is left out: the header no_such_header_here.h is missing from the toolchain|built"
  "fine.h+made.h|${PROBE}|no_such_header_here.h is left out of the group of made.h: the header is missing from the toolchain|built")
foreach(case ${cases})
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 headers)
  list(GET fields 1 command)
  list(GET fields 2 expected)
  list(GET fields 3 kind)
  string(REPLACE "+" "|${WORK}/" headers "${WORK}/${headers}")
  separate_arguments(fields UNIX_COMMAND "${command}")
  set(output ${WORK}/Constants.out)
  file(WRITE ${output} "STALE\r\n1\r\n0x1\r\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -DCC=${CC} "-DPROBE=${fields}" "-DHEADER=${headers}"
                          -DWORK=${WORK}/work -DOUTPUT=${output} -DSAMPLE=${SAMPLE}
                          -P ${COMPILE}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  file(READ ${output} made)
  if(kind STREQUAL "fallback" AND (NOT status EQUAL 0 OR NOT made STREQUAL sample))
    message(FATAL_ERROR "${headers}: status ${status}; the output is not the sample:\n${err}")
  endif()
  # The first group's constants, built in full: windows.h's, WM_PAINT among them.
  string(LENGTH "${made}" made_size)
  string(LENGTH "${sample}" sample_size)
  if(kind STREQUAL "built" AND (NOT status EQUAL 0 OR NOT made_size GREATER sample_size OR
                                NOT made MATCHES "\nWM_PAINT\r?\n15\r?\n"))
    message(FATAL_ERROR "${headers}: status ${status}; the first group was not built:\n${err}")
  endif()
  # CMake wraps the lines of a warning.
  string(REGEX REPLACE "[ \n]+" " " flat "${err}")
  string(FIND "${flat}" "${expected}" at)
  string(FIND "${flat}" "checked-in sample" sampleNamed)
  set(names_sample NO)
  if(sampleNamed GREATER_EQUAL 0)
    set(names_sample YES)
  endif()
  set(is_sample NO)
  if(kind STREQUAL "fallback")
    set(is_sample YES)
  endif()
  if(at LESS 0 OR NOT names_sample STREQUAL is_sample)
    message(FATAL_ERROR "${headers}: the message does not say \"${expected}\" or misnames "
                        "what the output is:\n${err}")
  endif()
endforeach()
message(STATUS "every failure left the sample or left out only its group, with its reason")
