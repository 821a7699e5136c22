# Makes a default data set with a cross compiler (run with cmake -P at build time), group by group:
#   the compiler preprocesses the group's header (-E -dD: every macro, in order, with its file);
#   constprobe picks the object-like macros and enumerators worth asking for and writes one
#   initialiser per name; the compiler compiles that to assembly; constprobe reads the values
#   back. A name the compiler rejects is dropped and the probe compiled again.
# Groups are headers that cannot share one translation unit. The first is the one windows.h
# programs get: its values win, and the later groups only probe the names of headers it does not
# include; a name a later group gives another value is reported. A later group that fails (a
# header missing from the toolchain above all) is left out with a warning that says why; when the
# first fails, OUTPUT is the checked-in sample, with a warning that says why, never a partial file.
#
# Variables: CC, PROBE (constprobe), HEADER (the groups' headers, first group first, separated by
# "|"), WORK (scratch directory), OUTPUT, SAMPLE, WIDE (ON: a 64-bit target, whose values wider
# than 32 bits are kept in full), LISTED (optional: DefaultDataSetHeaders.txt, the toolchain's
# headers that the groups were made from; others are reported), EVERY (optional, ON: each group
# asks for every name its headers give, those of headers an earlier group holds too, and the
# merge keeps the first group's value: what the toolchain computes, to measure the data set by).

get_filename_component(output_name ${OUTPUT} NAME)
string(REPLACE "|" ";" groups "${HEADER}")
set(wide_option "")
if(WIDE)
  set(wide_option --wide)
endif()

function(constants_fallback why)
  message(WARNING "data/${output_name}: ${why}\n"
                  "data/${output_name} is the checked-in sample (${SAMPLE}) instead.")
  configure_file(${SAMPLE} ${OUTPUT}.part COPYONLY)
  file(RENAME ${OUTPUT}.part ${OUTPUT})
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/DataSetGroup.cmake)

# Makes ${dir}/values.out from one group's header; sets ${result} to "" or to why it failed.
function(constants_group header dir names_options result)
  file(MAKE_DIRECTORY ${dir})
  file(REMOVE ${dir}/values.out)
  get_filename_component(label ${header} NAME)
  data_set_group(${CC} ${header} ${dir} flags compiled why left_out)
  if(NOT why STREQUAL "")
    set(${result} "${why}" PARENT_SCOPE)
    return()
  endif()
  # How the group was compiled, beside its preprocessed text (api.i): the data-set check routes
  # each record to its group from that text instead of preprocessing every group again.
  file(WRITE ${dir}/compiled.cmake "set(built_cc [==[${CC}]==])\n"
                                   "set(built_source [==[${header}]==])\n"
                                   "set(built_flags [==[${flags}]==])\n"
                                   "set(built_compiled [==[${compiled}]==])\n")
  foreach(missing ${left_out})
    message(WARNING "data/${output_name}: ${missing} is left out of the group of ${label}: "
                    "the header is missing from the toolchain (${CC})")
  endforeach()
  set(header ${compiled})
  execute_process(COMMAND ${PROBE} names ${dir}/api.i ${header} ${dir}/probe.c ${dir}/probe.names
                          "__*" ${names_options}
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    set(${result} "no probe of the names" PARENT_SCOPE)
    return()
  endif()
  set(compile ${CC} ${flags} -S -w -ftrack-macro-expansion=0 -fno-diagnostics-show-caret -fmax-errors=0
              ${dir}/probe.c -o ${dir}/probe.s)
  execute_process(COMMAND ${compile} RESULT_VARIABLE status ERROR_FILE ${dir}/probe.errors)
  # GCC names an undeclared identifier once: the lines that use it again fail on the next round.
  # Every name of a group reaches more such identifiers (structure members named by macros).
  set(rounds 1 2 3)
  if(EVERY)
    foreach(round RANGE 4 40)
      list(APPEND rounds ${round})
    endforeach()
  endif()
  foreach(round ${rounds})
    if(status EQUAL 0)
      break()
    endif()
    execute_process(COMMAND ${PROBE} prune ${dir}/probe.errors ${header} ${dir}/probe.c
                            ${dir}/probe.names
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      break()
    endif()
    execute_process(COMMAND ${compile} RESULT_VARIABLE status ERROR_FILE ${dir}/probe.errors)
  endforeach()
  if(NOT status EQUAL 0)
    set(${result} "${CC} failed on the probe; see ${dir}/probe.errors" PARENT_SCOPE)
    return()
  endif()
  execute_process(COMMAND ${PROBE} values ${dir}/probe.s ${dir}/probe.names ${dir}/values.out
                          ${wide_option}
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    set(${result} "no values read back from ${dir}/probe.s" PARENT_SCOPE)
    return()
  endif()
  set(${result} "" PARENT_SCOPE)
endfunction()

function(constants_make)
  file(MAKE_DIRECTORY ${WORK})
  # A header that a newer toolchain brought is in no group until DataSetGroups.sh runs again.
  if(LISTED AND NOT WIDE)
    data_set_unlisted(${CC} ${WORK} ${LISTED} unlisted)
    if(unlisted)
      string(REPLACE ";" " " unlisted "${unlisted}")
      message(WARNING "data/${output_name}: headers of the toolchain in no group of the data set "
                      "(constgen/dataset/DataSetGroups.sh would place them): ${unlisted}")
    endif()
  endif()
  file(REMOVE ${OUTPUT}.part)
  # Only the groups of this run describe what it compiled.
  file(GLOB described ${WORK}/group*/compiled.cmake)
  if(described)
    file(REMOVE ${described})
  endif()
  set(merge_arguments "")
  set(index 0)
  foreach(header ${groups})
    get_filename_component(label ${header} NAME)
    set(dir ${WORK}/group${index})
    if(index EQUAL 0)
      set(options --first winuser.h --first commctrl.h --files-out ${WORK}/first.files
                  --undeclared-out ${WORK}/first.undeclared)
    else()
      # A name of the first group's headers that it cannot compute (IP_UNSPECIFIED_USER_MTU is
      # MAXULONG, which only ntdef.h defines) is asked for where a group declares what it names.
      set(options --skip-files ${WORK}/first.files --probe-names ${WORK}/first.undeclared)
    endif()
    if(EVERY)
      set(options --every)
    endif()
    constants_group(${header} ${dir} "${options}" why)
    if(NOT why STREQUAL "" AND index EQUAL 0)
      constants_fallback("${why}")
      return()
    elseif(NOT why STREQUAL "")
      message(WARNING "data/${output_name}: the group of ${label} is left out: ${why}")
    else()
      file(STRINGS ${header} decides REGEX "^/\\* Its values decide")
      if(decides)
        list(APPEND merge_arguments --decides ${label})
      endif()
      list(APPEND merge_arguments ${label} ${dir}/values.out)
    endif()
    math(EXPR index "${index} + 1")
  endforeach()
  execute_process(COMMAND ${PROBE} merge ${OUTPUT}.part ${merge_arguments}
                  RESULT_VARIABLE status OUTPUT_VARIABLE report)
  if(NOT status EQUAL 0)
    file(REMOVE ${OUTPUT}.part)
    constants_fallback("the groups' values could not be merged")
    return()
  endif()
  message(STATUS "data/${output_name}:\n${report}")
  file(RENAME ${OUTPUT}.part ${OUTPUT})
endfunction()

constants_make()
