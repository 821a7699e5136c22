# How a group of the default data set is compiled, for the build step (ConstantsCompile.cmake)
# and the check of its values alike (included by both, in cmake -P scripts).
#
# A group's header may ask for an include directory of the toolchain's headers with a line
#   /* Include directory: ddk */
# (the driver kit's headers include each other without their folder). The groups that
# DataSetGroups.sh makes carry the line
#   /* Made by DataSetGroups.sh */
# and lose only a header that is missing from the toolchain, with a warning, where a hand-made
# group is left out whole.

# Sets ${dir_var} to the folder of the toolchain's own headers (the one with windows.h), as the
# compiler CC searches them, or to "" when it finds none. WORK is a scratch directory.
function(data_set_toolchain_include cc work dir_var)
  file(WRITE ${work}/empty.c "")
  execute_process(COMMAND ${cc} -E -v ${work}/empty.c -o ${work}/empty.i
                  ERROR_VARIABLE search RESULT_VARIABLE status)
  set(found "")
  string(REPLACE "\n" ";" lines "${search}")
  foreach(line ${lines})
    string(STRIP "${line}" dir)
    if(NOT found AND IS_DIRECTORY "${dir}" AND EXISTS "${dir}/windows.h")
      get_filename_component(found "${dir}/windows.h" REALPATH)
      get_filename_component(found "${found}" DIRECTORY)
    endif()
  endforeach()
  set(${dir_var} "${found}" PARENT_SCOPE)
endfunction()

# data_set_group(CC HEADER WORK FLAGS_VAR HEADER_VAR WHY_VAR [LEFT_OUT_VAR])
# Preprocesses HEADER into WORK/api.i. Sets FLAGS_VAR to the compiler options the group needs,
# HEADER_VAR to the header to compile (HEADER, or for a generated group a copy in WORK without
# the headers missing from the toolchain), WHY_VAR to "" or to why the group cannot be compiled,
# and LEFT_OUT_VAR to the headers left out of it.
function(data_set_group cc header work flags_var header_var why_var)
  file(MAKE_DIRECTORY ${work})
  get_filename_component(header_dir ${header} DIRECTORY)
  file(STRINGS ${header} lines)
  set(flags "")
  set(generated OFF)
  foreach(line ${lines})
    if(line MATCHES "^/\\* Include directory: ([^ ]+) \\*/")
      data_set_toolchain_include(${cc} ${work} include)
      if(include STREQUAL "")
        set(${why_var} "${cc} has no windows.h beside ${CMAKE_MATCH_1}/" PARENT_SCOPE)
        return()
      endif()
      list(APPEND flags -I${include}/${CMAKE_MATCH_1})
    elseif(line MATCHES "^/\\* Made by DataSetGroups.sh \\*/")
      set(generated ON)
    endif()
  endforeach()
  set(compiled ${header})
  set(left_out "")
  # One header dropped per round; a toolchain that lost more than this many is no longer the one
  # the groups were made for.
  foreach(round RANGE 20)
    execute_process(COMMAND ${cc} ${flags} -E -dD ${compiled} -o ${work}/api.i
                    RESULT_VARIABLE status ERROR_VARIABLE errors)
    if(status EQUAL 0)
      break()
    endif()
    if(NOT errors MATCHES "fatal error: ([^:\n]+): No such file")
      set(${why_var} "${cc} could not preprocess ${header}:\n${errors}" PARENT_SCOPE)
      return()
    endif()
    set(missing ${CMAKE_MATCH_1})
    set(why "the header ${missing} is missing from the toolchain (${cc})")
    list(FIND lines "#include <${missing}>" at)
    if(NOT generated OR at LESS 0 OR round EQUAL 20)
      set(${why_var} "${why}" PARENT_SCOPE)
      return()
    endif()
    list(REMOVE_AT lines ${at})
    list(APPEND left_out ${missing})
    get_filename_component(name ${header} NAME)
    set(compiled ${work}/${name})
    string(REPLACE ";" "\n" text "${lines}")
    file(WRITE ${compiled} "${text}\n")
    # The copy still finds the headers beside the original.
    list(APPEND flags -iquote ${header_dir})
    list(REMOVE_DUPLICATES flags)
  endforeach()
  set(${flags_var} "${flags}" PARENT_SCOPE)
  set(${header_var} "${compiled}" PARENT_SCOPE)
  set(${why_var} "" PARENT_SCOPE)
  if(ARGC GREATER 6)
    set(${ARGV6} "${left_out}" PARENT_SCOPE)
  endif()
endfunction()

# Sets ${out_var} to the headers of the toolchain of CC that LISTED (DefaultDataSetHeaders.txt,
# which DataSetGroups.sh writes) does not name: headers that came with a newer toolchain and are
# in no group yet. WORK is a scratch directory.
function(data_set_unlisted cc work listed out_var)
  file(WRITE ${work}/empty.c "")
  execute_process(COMMAND ${cc} -E -v ${work}/empty.c -o ${work}/empty.i ERROR_VARIABLE search)
  string(REGEX MATCH "search starts here:\n ([^\n]+)" first "${search}")
  set(compiler_dir "${CMAKE_MATCH_1}")
  data_set_toolchain_include(${cc} ${work} include)
  set(present "")
  if(NOT include STREQUAL "")
    file(GLOB_RECURSE present RELATIVE ${include} ${include}/*.h)
    list(FILTER present EXCLUDE REGEX "^(wrl|sdks)/")
  endif()
  if(IS_DIRECTORY "${compiler_dir}")
    file(GLOB own RELATIVE ${compiler_dir} ${compiler_dir}/*.h)
    list(APPEND present ${own})
  endif()
  file(STRINGS ${listed} lines REGEX "^[^#]")
  set(known "")
  foreach(line ${lines})
    string(REGEX REPLACE "\t.*" "" name "${line}")
    list(APPEND known "${name}")
  endforeach()
  list(REMOVE_DUPLICATES present)
  list(REMOVE_ITEM present ${known})
  list(SORT present)
  set(${out_var} "${present}" PARENT_SCOPE)
endfunction()
