# Checks every record of a Constants.out against the 32-bit MinGW-w64 compiler (cmake -P):
# one static assertion per name, compiled after the data set's own header. The compiler rejects
# a wrong value, a name it does not define there, a value wider than 32 bits and one that is no
# integer or handle. Variables: CC, HEADER, DATA, WORK.

file(READ ${DATA} records)
string(LENGTH "${records}" size)
if(size EQUAL 0)
  message(FATAL_ERROR "${DATA} is empty")
endif()
# name, decimal, hex -> C(name, decimal, hex). file(READ) gives CR LF as LF; the line ends
# themselves are the format test's business.
string(REGEX REPLACE "([^\n]*)\n([^\n]*)\n([^\n]*)\n" "C(\\1, \\2, \\3)\n" checks "${records}")
string(REGEX MATCHALL "C\\([^\n]*\n" lines "${checks}")
list(LENGTH lines count)

file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/check.c
  "#include \"${HEADER}\"\n"
  "/* A handle compares as the 32-bit pointer it is; an integer by its value in its own type:\n"
  "   negative ones as the signed decimal, others as the unsigned 32-bit pattern. */\n"
  "#define C(n, d, h) _Static_assert(__builtin_classify_type(n) >= 1 && "
  "__builtin_classify_type(n) <= 5 && __builtin_choose_expr(__builtin_classify_type(n) == 5, "
  "(long)(n) == d##LL, ((n) < 0 ? (long long)(n) == d##LL : "
  "(unsigned long long)(n) == h##ULL)), #n);\n"
  "${checks}")
execute_process(COMMAND ${CC} -fsyntax-only -w -ftrack-macro-expansion=0
                        -fno-diagnostics-show-caret -fmax-errors=0 ${WORK}/check.c
                RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  # Name the records the compiler disagrees with, line by line of the check.
  string(REGEX MATCHALL "check\\.c:[0-9]+" places "${errors}")
  list(REMOVE_DUPLICATES places)
  set(report "")
  set(shown 0)
  foreach(place ${places})
    string(REGEX REPLACE "check\\.c:" "" number "${place}")
    math(EXPR index "${number} - 5")
    if(index GREATER_EQUAL 0 AND index LESS count AND shown LESS 200)
      list(GET lines ${index} line)
      string(APPEND report "  ${line}")
      math(EXPR shown "${shown} + 1")
    endif()
  endforeach()
  list(LENGTH places wrong)
  message(FATAL_ERROR "${wrong} of ${count} records differ from what ${CC} computes "
                      "(C(name, decimal, hex)):\n${report}\n${errors}")
endif()
message(STATUS "${count} records, every one as ${CC} computes it")
