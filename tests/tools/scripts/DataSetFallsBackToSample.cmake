# The default data set's build step when it cannot finish (cmake -P): a header missing from the
# toolchain, or a helper that fails, leaves exactly the sample in the output, with a message that
# says why; a stale or partial output never survives. Variables: CC, PROBE, COMPILE (the build
# step's script), SAMPLE, WORK.

file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/missing.h "#include <windows.h>\n#include <no_such_header_here.h>\n")
file(WRITE ${WORK}/fine.h "#include <windows.h>\n")
file(READ ${SAMPLE} sample)

# case: header, probe helper, text the message must hold
set(cases
  "missing.h|${PROBE}|the header no_such_header_here.h is missing from the toolchain"
  "fine.h|${CMAKE_COMMAND} -E false|no probe of the names")
foreach(case ${cases})
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 header)
  list(GET fields 1 command)
  list(GET fields 2 expected)
  separate_arguments(fields UNIX_COMMAND "${command}")
  set(output ${WORK}/Constants.out)
  file(WRITE ${output} "STALE\r\n1\r\n0x1\r\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -DCC=${CC} "-DPROBE=${fields}" -DHEADER=${WORK}/${header}
                          -DWORK=${WORK}/work -DOUTPUT=${output} -DSAMPLE=${SAMPLE}
                          -P ${COMPILE}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  file(READ ${output} made)
  if(NOT status EQUAL 0 OR NOT made STREQUAL sample)
    message(FATAL_ERROR "${header}: status ${status}; the output is not the sample:\n${err}")
  endif()
  # CMake wraps the lines of a warning.
  string(REGEX REPLACE "[ \n]+" " " flat "${err}")
  string(FIND "${flat}" "${expected}" at)
  string(FIND "${flat}" "checked-in sample" sampleNamed)
  if(at LESS 0 OR sampleNamed LESS 0)
    message(FATAL_ERROR "${header}: the message does not say \"${expected}\" and that the sample "
                        "is used:\n${err}")
  endif()
endforeach()
message(STATUS "every failure left the sample, with its reason")
