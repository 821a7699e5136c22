# Makes the default data set with the cross compiler (run with cmake -P at build time):
#   the compiler preprocesses DefaultDataSet.h (-E -dD: every macro, in order, with its file);
#   constprobe picks the object-like macros and enumerators worth asking for and writes one
#   initialiser per name; the compiler compiles that to assembly; constprobe reads the values
#   back. A name the compiler rejects is dropped and the probe compiled again.
# Any failure (a header missing from the toolchain above all) leaves the checked-in sample in
# OUTPUT with a warning that says why, never a partial file.
#
# Variables: CC, PROBE (constprobe), HEADER, WORK (scratch directory), OUTPUT, SAMPLE.

function(constants_fallback why)
  message(WARNING "data/Constants.out: ${why}\n"
                  "data/Constants.out is the checked-in sample (${SAMPLE}) instead.")
  configure_file(${SAMPLE} ${OUTPUT}.part COPYONLY)
  file(RENAME ${OUTPUT}.part ${OUTPUT})
endfunction()

function(constants_make)
  file(MAKE_DIRECTORY ${WORK})
  file(REMOVE ${OUTPUT}.part)
  execute_process(COMMAND ${CC} -E -dD ${HEADER} -o ${WORK}/api.i
                  RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    if(errors MATCHES "fatal error: ([^:\n]+): No such file")
      constants_fallback("the header ${CMAKE_MATCH_1} is missing from the toolchain (${CC})")
    else()
      constants_fallback("${CC} could not preprocess ${HEADER}:\n${errors}")
    endif()
    return()
  endif()
  execute_process(COMMAND ${PROBE} names ${WORK}/api.i ${HEADER} ${WORK}/probe.c
                          ${WORK}/probe.names "__*" --first winuser.h --first commctrl.h
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    constants_fallback("no probe of the names")
    return()
  endif()
  set(compile ${CC} -S -w -ftrack-macro-expansion=0 -fno-diagnostics-show-caret -fmax-errors=0
              ${WORK}/probe.c -o ${WORK}/probe.s)
  execute_process(COMMAND ${compile} RESULT_VARIABLE status ERROR_FILE ${WORK}/probe.errors)
  if(NOT status EQUAL 0)
    execute_process(COMMAND ${PROBE} prune ${WORK}/probe.errors ${HEADER} ${WORK}/probe.c
                            ${WORK}/probe.names
                    RESULT_VARIABLE status)
    if(status EQUAL 0)
      execute_process(COMMAND ${compile} RESULT_VARIABLE status ERROR_FILE ${WORK}/probe.errors)
    endif()
    if(NOT status EQUAL 0)
      constants_fallback("${CC} failed on the probe; see ${WORK}/probe.errors")
      return()
    endif()
  endif()
  execute_process(COMMAND ${PROBE} values ${WORK}/probe.s ${WORK}/probe.names ${OUTPUT}.part
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    constants_fallback("no values read back from ${WORK}/probe.s")
    return()
  endif()
  file(RENAME ${OUTPUT}.part ${OUTPUT})
endfunction()

constants_make()
