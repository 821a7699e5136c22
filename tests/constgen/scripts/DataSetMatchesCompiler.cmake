# Checks every record of a Constants.out against the MinGW-w64 compiler that made it (cmake -P):
# one static assertion per name, compiled after the header of the group the name comes from. The
# compiler rejects a wrong value, a name it does not define there, a value wider than 32 bits
# (unless WIDE), a hex line that is not the decimal line's pattern, and a value that is no
# integer or handle.
# Variables: CC, HEADER (the groups' headers, first group first, separated by "|"), DATA, WORK,
# WIDE (ON: a 64-bit target's file, whose wider values are in full), PROBE (constprobe: with more
# than one group it tells the groups' names apart; a name is checked in the first group that
# defines it, whose value the data set keeps), REQUIRED (names the data set must hold,
# separated by "|"), GROUP_SCRIPT (constgen/dataset/DataSetGroup.cmake: how a group compiles),
# BUILT (optional: the build's scratch directory of DATA, whose groupN/api.i and compiled.cmake,
# where they describe the same header and compiler, stand for preprocessing group N again: they
# only decide which group checks a record, the compiler still checks every value).

file(READ ${DATA} records)
string(LENGTH "${records}" size)
if(size EQUAL 0)
  message(FATAL_ERROR "${DATA} is empty")
endif()
string(REPLACE "|" ";" groups "${HEADER}")
include(${GROUP_SCRIPT})
list(LENGTH groups group_count)
if(WIDE)
  set(wide 1)
else()
  set(wide 0)
endif()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

string(REPLACE "|" ";" required "${REQUIRED}")
set(absent "")
foreach(name ${required})
  if(NOT records MATCHES "(^|\n)${name}\r?\n")
    list(APPEND absent ${name})
  endif()
endforeach()
if(absent)
  message(FATAL_ERROR "${DATA} lacks ${absent}")
endif()

# The records of each group in ${WORK}/groupN.out; names no group defines in none.out.
if(group_count EQUAL 1)
  configure_file(${DATA} ${WORK}/group0.out COPYONLY)
  file(WRITE ${WORK}/none.out "")
else()
  set(lists "")
  set(index 0)
  set(reused 0)
  foreach(header ${groups})
    foreach(field cc source flags compiled)
      unset(built_${field})
    endforeach()
    set(built ${BUILT}/group${index})
    if(BUILT AND EXISTS ${built}/compiled.cmake AND EXISTS ${built}/api.i)
      include(${built}/compiled.cmake)
    endif()
    if(DEFINED built_source AND built_source STREQUAL header AND built_cc STREQUAL CC
       AND EXISTS "${built_compiled}")
      set(group_flags${index} "${built_flags}")
      set(group_header${index} ${built_compiled})
      set(api ${built}/api.i)
      math(EXPR reused "${reused} + 1")
    else()
      # As the build compiles the group: its include directories, and a generated group without
      # the headers missing from the toolchain.
      data_set_group(${CC} ${header} ${WORK}/group${index} flags compiled why)
      if(NOT why STREQUAL "")
        message(FATAL_ERROR "${header}: ${why}")
      endif()
      set(group_flags${index} ${flags})
      set(group_header${index} ${compiled})
      set(api ${WORK}/api${index}.i)
      file(RENAME ${WORK}/group${index}/api.i ${api})
    endif()
    execute_process(COMMAND ${PROBE} names ${api} ${header} ${WORK}/names${index}.c
                            ${WORK}/names${index}.txt "__*"
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "constprobe found no names in ${header}")
    endif()
    list(APPEND lists ${WORK}/names${index}.txt)
    math(EXPR index "${index} + 1")
  endforeach()
  execute_process(COMMAND ${PROBE} split ${DATA} ${WORK} ${lists} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "constprobe cannot split ${DATA} by group")
  endif()
endif()

set(total 0)
set(report "")
set(index 0)
foreach(header ${groups} none)
  if(header STREQUAL "none")
    file(READ ${WORK}/none.out part)
    if(NOT part STREQUAL "")
      string(REGEX MATCHALL "[^\r\n]+\r?\n[^\r\n]+\r?\n[^\r\n]+\r?\n" strays "${part}")
      list(LENGTH strays stray_count)
      string(APPEND report "${stray_count} records name what no group defines:\n${part}\n")
    endif()
    break()
  endif()
  file(READ ${WORK}/group${index}.out part)
  if(NOT DEFINED group_header${index})
    data_set_group(${CC} ${header} ${WORK}/group${index} group_flags${index} group_header${index} why)
    if(NOT why STREQUAL "")
      message(FATAL_ERROR "${header}: ${why}")
    endif()
  endif()
  set(header ${group_header${index}})
  # name, decimal, hex -> C(name, decimal, hex). file(READ) gives CR LF as LF; the line ends
  # themselves are the format test's business.
  string(REGEX REPLACE "([^\n]*)\n([^\n]*)\n([^\n]*)\n" "C(\\1, \\2, \\3)\n" checks "${part}")
  string(REGEX MATCHALL "C\\([^\n]*\n" lines "${checks}")
  list(LENGTH lines count)
  math(EXPR total "${total} + ${count}")
  set(check ${WORK}/check${index}.c)
  file(WRITE ${check}
    "#include \"${header}\"\n"
    "/* The hex line is the decimal line's pattern: 32 bits, or 64 where it is wider. A handle\n"
    "   compares as the pointer it is; an integer by its value in its own type: negative ones as\n"
    "   the signed decimal, others as the unsigned pattern. */\n"
    "#define H(d, h) (h##ULL <= 0xFFFFFFFFULL ? (long long)(int)(unsigned)h##ULL == d##LL : "
    "${wide} && (long long)h##ULL == d##LL)\n"
    "#define C(n, d, h) _Static_assert(H(d, h) && __builtin_classify_type(n) >= 1 && "
    "__builtin_classify_type(n) <= 5 && __builtin_choose_expr(__builtin_classify_type(n) == 5, "
    "(long long)(n) == d##LL, ((n) < 0 ? (long long)(n) == d##LL : "
    "(unsigned long long)(n) == h##ULL)), #n);\n"
    "${checks}")
  set(header_lines 6)
  if(count GREATER 0)
    execute_process(COMMAND ${CC} ${group_flags${index}} -fsyntax-only -w -ftrack-macro-expansion=0
                            -fno-diagnostics-show-caret -fmax-errors=0 ${check}
                    RESULT_VARIABLE status ERROR_VARIABLE errors)
    if(NOT status EQUAL 0)
      # Name the records the compiler disagrees with, line by line of the check.
      get_filename_component(check_name ${check} NAME)
      string(REGEX MATCHALL "${check_name}:[0-9]+" places "${errors}")
      list(REMOVE_DUPLICATES places)
      set(wrong 0)
      foreach(place ${places})
        string(REGEX REPLACE ".*:" "" number "${place}")
        math(EXPR line_index "${number} - ${header_lines} - 1")
        if(line_index GREATER_EQUAL 0 AND line_index LESS count)
          if(wrong LESS 200)
            list(GET lines ${line_index} line)
            string(APPEND report "  ${line}")
          endif()
          math(EXPR wrong "${wrong} + 1")
        endif()
      endforeach()
      string(APPEND report "${wrong} of the ${count} records of ${header} differ from what "
                           "${CC} computes (C(name, decimal, hex)) ^\n${errors}\n")
    endif()
  endif()
  math(EXPR index "${index} + 1")
endforeach()
if(NOT report STREQUAL "")
  message(FATAL_ERROR "${DATA}:\n${report}")
endif()
if(group_count GREATER 1)
  message(STATUS "${reused} of the ${group_count} groups' preprocessed text taken from the build")
endif()
message(STATUS "${total} records, every one as ${CC} computes it")
