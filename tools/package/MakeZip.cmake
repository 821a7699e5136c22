# cmake -DEXE=... -DCONSTANTS=... -DCONSTANTS_X64=... -DCONSTGEN=... -DREADME=... -DVERSION=...
#       -DBITS=32|64 -DOUT=... -P MakeZip.cmake
# Stages the five files under their package names and zips them with CMake's own zip writer (no
# zip program needed). The files sit at the top of the zip, so that unpacked into any folder
# DRUX.exe starts beside its Constants.out. Beside the zip, <zip>.sha256 holds its SHA-256 in
# sha256sum's format, for checking the download (`sha256sum -c`, or certutil on Windows).
foreach(input EXE CONSTANTS CONSTANTS_X64 CONSTGEN README VERSION BITS OUT)
  if(NOT DEFINED ${input} OR "${${input}}" STREQUAL "")
    message(FATAL_ERROR "MakeZip: ${input} is not given")
  endif()
endforeach()

get_filename_component(out_dir "${OUT}" DIRECTORY)
get_filename_component(out_name "${OUT}" NAME)
set(stage "${OUT}.stage")
file(REMOVE_RECURSE "${stage}")
file(REMOVE "${OUT}.sha256")
file(MAKE_DIRECTORY "${stage}" "${out_dir}")
configure_file("${EXE}" "${stage}/DRUX.exe" COPYONLY)
configure_file("${CONSTANTS}" "${stage}/Constants.out" COPYONLY)
configure_file("${CONSTANTS_X64}" "${stage}/Constants-x64.out" COPYONLY)
configure_file("${CONSTGEN}" "${stage}/constgen.exe" COPYONLY)
set(DRUX_VERSION "${VERSION}")
set(DRUX_BITS "${BITS}")
set(DRUX_PACKAGE_NAME "${out_name}")
# Windows' Notepad before 2018 shows LF-only text as one line.
configure_file("${README}" "${stage}/README.txt" @ONLY NEWLINE_STYLE CRLF)

file(REMOVE "${OUT}")
execute_process(
  COMMAND "${CMAKE_COMMAND}" -E tar cf "${OUT}" --format=zip
          DRUX.exe Constants.out Constants-x64.out constgen.exe README.txt
  WORKING_DIRECTORY "${stage}"
  RESULT_VARIABLE zipped)
file(REMOVE_RECURSE "${stage}")
if(NOT zipped EQUAL 0)
  file(REMOVE "${OUT}")
  message(FATAL_ERROR "MakeZip: zipping ${OUT} failed (${zipped})")
endif()

file(SHA256 "${OUT}" hash)
# sha256sum's text form: the hash, two spaces, the name, a line feed.
file(WRITE "${OUT}.sha256" "${hash}  ${out_name}\n")
