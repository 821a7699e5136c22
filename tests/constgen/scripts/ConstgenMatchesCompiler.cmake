# Runs constgen over real headers and checks what it writes against the host C compiler
# (cmake -P): every value it writes must be the compiler's, and it must find at least MIN_FOUND
# percent of the integer constants that the compiler computes from the same headers.
#
# The compiler's constants: every object-like macro the headers leave defined ("cc -dM", less
# what the compiler predefines) and every name constgen met (enumerators above all), each probed
# in a program that prints its value, type class and sign; names the compiler rejects (types,
# strings, calls, names it does not define) are dropped from the probe and it is built again.
# An integer constant with a 32-bit pattern counts; pointers, floating point and wider values do
# not.
#
# Variables: CONSTGEN, PROBE (constprobe), CC, NAME (the header set's name), HEADERS (list), ARGS (constgen's options,
# list), WORK, MIN_FOUND_TENTHS (tenths of a percent: 995 is 99.5 %).

file(MAKE_DIRECTORY ${WORK})
# The compiler's own headers come first (its stddef.h, limits.h, stdint.h), as it searches them,
# and its version is pinned as it predefines it.
execute_process(COMMAND ${CC} -print-file-name=include OUTPUT_VARIABLE cc_include
                OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CC} -dumpfullversion OUTPUT_VARIABLE version
                OUTPUT_STRIP_TRAILING_WHITESPACE)
string(REGEX MATCH "^([0-9]+)\\.([0-9]+)" version "${version}")
set(cc_pins -D __GNUC__=${CMAKE_MATCH_1} -D __GNUC_MINOR__=${CMAKE_MATCH_2})
execute_process(COMMAND ${CONSTGEN} -v -I ${cc_include} ${cc_pins} ${ARGS} -o ${WORK}/out.txt
                        ${HEADERS}
                RESULT_VARIABLE status ERROR_VARIABLE messages)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "constgen failed (${status}):\n${messages}")
endif()
file(WRITE ${WORK}/constgen.log "${messages}")

set(includes "")
foreach(header ${HEADERS})
  string(APPEND includes "#include <${header}>\n")
endforeach()
file(WRITE ${WORK}/headers.h "${includes}")

# Candidate names: the compiler's object-like macros and enumerators, and every name constgen
# wrote or skipped.
execute_process(COMMAND ${CC} -dM -E ${WORK}/headers.h OUTPUT_VARIABLE defined
                RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${CC} could not preprocess ${HEADERS}:\n${errors}")
endif()
execute_process(COMMAND ${CC} -dM -E -x c /dev/null OUTPUT_VARIABLE predefined)
string(REGEX MATCHALL "#define [A-Za-z_][A-Za-z0-9_]*[ \n]" predefined_names "${predefined}")
foreach(entry ${predefined_names})
  string(REGEX REPLACE "#define ([A-Za-z0-9_]+).*" "\\1" name "${entry}")
  set(predef_${name} 1)
endforeach()
string(REGEX MATCHALL "#define [A-Za-z_][A-Za-z0-9_]*[ \n]" macro_names "${defined}")
# The compiler's enumerators, also those constgen never met (made by a macro inside the braces):
# constprobe picks them from the preprocessed text as the data set's build does.
execute_process(COMMAND ${CC} -E -dD ${WORK}/headers.h OUTPUT_FILE ${WORK}/headers.i
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${CC} could not preprocess ${HEADERS}")
endif()
execute_process(COMMAND ${PROBE} names ${WORK}/headers.i ${WORK}/headers.h ${WORK}/names.c
                        ${WORK}/names.txt
                RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "constprobe could not read the preprocessed headers:\n${errors}")
endif()
file(STRINGS ${WORK}/names.txt probe_names)
file(READ ${WORK}/out.txt records)
string(REGEX MATCHALL "[^\n]*\n[^\n]*\n[^\n]*\n" record_list "${records}")
string(REGEX MATCHALL ": [A-Za-z_][A-Za-z0-9_]* (skipped|not written)" skipped_names
       "${messages}")
set(names "")
foreach(entry ${macro_names} ${skipped_names})
  string(REGEX REPLACE "^(#define |: )([A-Za-z0-9_]+).*" "\\2" name "${entry}")
  list(APPEND names ${name})
endforeach()
foreach(record ${record_list})
  string(REGEX REPLACE "^([^\r\n]*)\r?\n.*" "\\1" name "${record}")
  list(APPEND names ${name})
endforeach()
list(APPEND names ${probe_names})
set(candidates "")
foreach(name ${names})
  if(NOT DEFINED predef_${name} AND NOT DEFINED seen_${name})
    set(seen_${name} 1)
    list(APPEND candidates ${name})
  endif()
endforeach()

# The probe: one line per name; a rejected line drops its name.
string(CONCAT probe_head
  "#include \"${WORK}/headers.h\"\n"
  "#include <stdio.h>\n"
  "struct drux_probe { const char* name; long long value; int kind; int negative; };\n"
  "static void drux_show(const struct drux_probe* p) { printf(\"%s %d %d %lld\\n\", p->name, p->kind, p->negative, p->value); }\n"
  "#define I(n) (__builtin_classify_type(n) >= 1 && __builtin_classify_type(n) <= 4)\n"
  "#define P(n) { static const struct drux_probe p = { #n, __builtin_choose_expr(I(n), (long long)(n), 0), __builtin_classify_type(n), __builtin_choose_expr(I(n), (n) < 0, 0) }; drux_show(&p); }\n"
  "int main(void) {\n")
set(head_lines 7)
foreach(attempt RANGE 4)
  set(probe "${probe_head}")
  foreach(name ${candidates})
    string(APPEND probe "P(${name})\n")
  endforeach()
  string(APPEND probe "return 0; }\n")
  file(WRITE ${WORK}/probe.c "${probe}")
  execute_process(COMMAND ${CC} -w -fmax-errors=0 -ftrack-macro-expansion=0
                          -fno-diagnostics-show-caret ${WORK}/probe.c -o ${WORK}/probe
                  RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(status EQUAL 0)
    break()
  endif()
  string(REGEX MATCHALL "probe\\.c:[0-9]+:" places "${errors}")
  list(REMOVE_DUPLICATES places)
  set(rejected "")
  foreach(place ${places})
    string(REGEX REPLACE "probe\\.c:([0-9]+):" "\\1" number "${place}")
    math(EXPR index "${number} - ${head_lines} - 1")
    list(LENGTH candidates count)
    if(index GREATER_EQUAL 0 AND index LESS count)
      list(APPEND rejected ${index})
    endif()
  endforeach()
  if(NOT rejected)
    message(FATAL_ERROR "the probe fails outside its names:\n${errors}")
  endif()
  list(REMOVE_AT candidates ${rejected})
endforeach()
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the probe still fails:\n${errors}")
endif()
execute_process(COMMAND ${WORK}/probe OUTPUT_VARIABLE values RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the probe did not run")
endif()

# The compiler's values as constgen would write them: the 32-bit pattern, signed decimal.
string(REGEX MATCHALL "[^\n]+" value_lines "${values}")
set(constants 0)
foreach(line ${value_lines})
  string(REPLACE " " ";" fields "${line}")
  list(GET fields 0 name)
  list(GET fields 1 kind)
  list(GET fields 2 negative)
  list(GET fields 3 value)
  set(cc_${name} "other")
  if(kind GREATER_EQUAL 1 AND kind LESS_EQUAL 4)
    if(negative)
      if(value GREATER_EQUAL -2147483648)
        set(cc_${name} ${value})
      endif()
    elseif(value GREATER_EQUAL 0 AND value LESS_EQUAL 4294967295)
      if(value GREATER 2147483647)
        math(EXPR value "${value} - 4294967296")
      endif()
      set(cc_${name} ${value})
    endif()
  endif()
  if(NOT cc_${name} STREQUAL "other")
    math(EXPR constants "${constants} + 1")
  endif()
endforeach()

set(right 0)
set(wrong "")
set(absent 0)
set(written 0)
foreach(record ${record_list})
  string(REGEX REPLACE "^([^\r\n]*)\r?\n([^\r\n]*)\r?\n.*" "\\1;\\2" fields "${record}")
  list(GET fields 0 name)
  list(GET fields 1 decimal)
  math(EXPR written "${written} + 1")
  if(NOT DEFINED cc_${name})
    math(EXPR absent "${absent} + 1")
  elseif(cc_${name} STREQUAL "${decimal}")
    math(EXPR right "${right} + 1")
    set(written_${name} 1)
  else()
    list(APPEND wrong "${name} (${decimal}, the compiler: ${cc_${name}})")
  endif()
endforeach()
list(LENGTH wrong wrong_count)
set(missed_names "")
foreach(line ${value_lines})
  string(REGEX REPLACE " .*" "" name "${line}")
  if(NOT cc_${name} STREQUAL "other" AND NOT DEFINED written_${name})
    string(APPEND missed_names "${name} ${cc_${name}}\n")
  endif()
endforeach()
file(WRITE ${WORK}/missed.txt "${missed_names}")
math(EXPR missed "${constants} - ${right}")
if(constants GREATER 0)
  math(EXPR found_tenths "1000 * ${right} / ${constants}")
else()
  set(found_tenths 1000)
endif()
math(EXPR found_whole "${found_tenths} / 10")
math(EXPR found_tenth "${found_tenths} % 10")
string(CONCAT report "${NAME}: ${written} written, ${right} right, ${wrong_count} wrong, ${absent} names the "
           "compiler does not define there; ${missed} of the compiler's ${constants} constants "
           "missed (${found_whole}.${found_tenth} % found)")
message(STATUS "${report}")
if(wrong_count GREATER 0)
  string(REPLACE ";" "\n  " wrong_text "${wrong}")
  message(FATAL_ERROR "values that differ from ${CC}'s:\n  ${wrong_text}")
endif()
if(found_tenths LESS MIN_FOUND_TENTHS)
  message(FATAL_ERROR "found less than ${MIN_FOUND_TENTHS} tenths of a percent; missed: see "
                      "${WORK}/missed.txt")
endif()
